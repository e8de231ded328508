#pragma once

#include "model/Prompts.h"

#include <QList>
#include <QStringList>
#include <functional>

// Prompts for tests: records every prompt shown and answers from a script.
// An unscripted box answers its safest button (Cancel, else No, else OK) and
// an unscripted file dialog answers "cancelled".
class ScriptedPrompts : public Prompts
{
public:
    enum class Kind { Message, Box, Error, OpenDialog, SaveDialog };
    struct Shown
    {
        Kind kind;
        QString caption;
        QString text;
        Icon icon = Icon::None;
        int buttons = 0;
        QString further;
    };

    QList<Shown> shown;
    QList<Button> boxAnswers; // taken in order by box()
    QStringList fileAnswers;  // taken in order by the file dialogs
    // Runs while a prompt is "open", as a person could act meanwhile.
    std::function<void(const Shown &)> onShow;

    void message(const QString &text, const QString &further = {}) override;
    Button box(const QString &caption, const QString &text, Icon icon, int buttons,
               const QString &further = {}) override;
    void error(const QString &text, const QString &further = {}) override;
    QString openFileName(const QString &title, const QString &folder, const QString &filter) override;
    QString saveFileName(const QString &title, const QString &fileName, const QString &filter,
                         const QString &defaultSuffix) override;

    // The texts shown, in order, for compact assertions.
    QStringList texts() const;
    // Folder and file name the last file dialog started from.
    QString lastDialogStart;
    QString lastDialogFilter;

private:
    void record(const Shown &s);
};
