#include "tests/support/ScriptedPrompts.h"

void ScriptedPrompts::record(const Shown &s)
{
    shown << s;
    if (onShow)
        onShow(s);
}

void ScriptedPrompts::message(const QString &text, const QString &further)
{
    record({Kind::Message, applicationTitle(), text, Icon::None, Ok, further});
}

Prompts::Button ScriptedPrompts::box(const QString &caption, const QString &text, Icon icon, int buttons,
                                     const QString &further)
{
    record({Kind::Box, caption, text, icon, buttons, further});
    if (!boxAnswers.isEmpty())
        return boxAnswers.takeFirst();
    return (buttons & Cancel) ? Cancel : (buttons & No) ? No : Ok;
}

void ScriptedPrompts::error(const QString &text, const QString &further)
{
    record({Kind::Error, applicationTitle(), errorDisplayText(text), Icon::Error, Ok, further});
}

QString ScriptedPrompts::openFileName(const QString &title, const QString &folder, const QString &filter)
{
    lastDialogStart = folder;
    lastDialogFilter = filter;
    record({Kind::OpenDialog, title, folder, Icon::None, 0, {}});
    return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
}

QString ScriptedPrompts::saveFileName(const QString &title, const QString &fileName, const QString &filter,
                                      const QString &defaultSuffix)
{
    lastDialogStart = fileName;
    lastDialogFilter = filter + QLatin1Char('/') + defaultSuffix;
    record({Kind::SaveDialog, title, fileName, Icon::None, 0, {}});
    return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
}

QStringList ScriptedPrompts::texts() const
{
    QStringList list;
    for (const Shown &s : shown)
        list << s.text;
    return list;
}
