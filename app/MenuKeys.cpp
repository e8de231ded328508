#include "app/MenuKeys.h"

#include <QAction>
#include <QHash>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace MenuKeys {

namespace {

bool hasMnemonic(const QString &text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (text[i + 1] != u'&')
            return true;
        ++i; // "&&" is a written ampersand
    }
    return false;
}

// Conventional letters where the first free one would be an odd choice.
QChar preferredLetter(const QString &objectName)
{
    static const QHash<QString, QChar> letters{
        {QStringLiteral("SaveAs1"), u'a'},
        {QStringLiteral("Exit1"), u'x'},
        {QStringLiteral("PrintPreview1"), u'v'},
    };
    return letters.value(objectName);
}

void equipMenu(QMenu *menu)
{
    QString taken;
    for (QAction *action : menu->actions())
        if (hasMnemonic(action->text()))
            taken += QKeySequence::mnemonic(action->text()).toString().toLower();
    for (QAction *action : menu->actions()) {
        if (action->isSeparator())
            continue;
        // A greyed placeholder such as "(none)" is never chosen.
        if (!hasMnemonic(action->text()) && !action->text().isEmpty() && action->isEnabled())
            action->setText(withMnemonic(action->text(), taken, preferredLetter(action->objectName())));
        if (QMenu *sub = action->menu())
            equipMenu(sub);
    }
}

} // namespace

QString withMnemonic(const QString &caption, QString &taken, QChar preferred)
{
    if (hasMnemonic(caption))
        return caption;
    // Positions that can carry the mark: not the characters of a written "&&".
    QList<qsizetype> letters;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&') {
            ++i;
            continue;
        }
        if (caption[i].isLetterOrNumber() && !taken.contains(caption[i].toLower()))
            letters << i;
    }
    auto startsWord = [&caption](qsizetype i) { return i == 0 || !caption[i - 1].isLetterOrNumber(); };
    qsizetype chosen = -1;
    for (qsizetype i : letters)
        if (chosen < 0 && !preferred.isNull() && caption[i].toLower() == preferred.toLower())
            chosen = i;
    for (qsizetype i : letters)
        if (chosen < 0 && startsWord(i))
            chosen = i;
    if (chosen < 0 && !letters.isEmpty())
        chosen = letters.first();
    if (chosen < 0)
        return caption;
    taken += caption[chosen].toLower();
    return caption.left(chosen) + u'&' + caption.mid(chosen);
}

QString plainCaption(const QString &text)
{
    QString plain;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size())
            ++i;
        plain += text[i];
    }
    return plain;
}

void equip(QMenuBar *bar)
{
    static const QHash<QString, QKeySequence> shortcuts{
        {QStringLiteral("N1"), QKeySequence(Qt::CTRL | Qt::Key_N)},
        {QStringLiteral("Open1"), QKeySequence(Qt::CTRL | Qt::Key_O)},
        {QStringLiteral("Save1"), QKeySequence(Qt::CTRL | Qt::Key_S)},
        {QStringLiteral("SaveAs1"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
        {QStringLiteral("Print1"), QKeySequence(Qt::CTRL | Qt::Key_P)},
        {QStringLiteral("Exit1"), QKeySequence(Qt::CTRL | Qt::Key_Q)},
        {QStringLiteral("N4"), QKeySequence(Qt::CTRL | Qt::Key_T)}, // Send: T for transmit
    };
    QString taken;
    for (QAction *top : bar->actions()) {
        if (!hasMnemonic(top->text()))
            top->setText(withMnemonic(top->text(), taken));
        if (QMenu *menu = top->menu()) {
            equipMenu(menu);
            for (QAction *action : menu->findChildren<QAction *>())
                if (shortcuts.contains(action->objectName()))
                    action->setShortcut(shortcuts.value(action->objectName()));
        }
    }
}

} // namespace MenuKeys
