#pragma once

#include <QString>

// Every message box, plain message and file dialog the editor shows goes
// through this interface: the window uses the Qt implementation, tests a
// scripted one that records each prompt and answers as the test says.
class Prompts
{
public:
    enum class Icon { None, Question, Error, Information, Warning };
    enum Button { Ok = 0x1, Yes = 0x2, No = 0x4, Cancel = 0x8 };

    virtual ~Prompts() = default;

    // Each prompt may carry further text: shown in the same box, below the
    // text, for what the person should know beyond it.

    // A plain message: the application title as caption, the text, OK, no icon.
    virtual void message(const QString &text, const QString &further = {}) = 0;
    // A message box with the caller's caption, icon and buttons; returns the
    // button pressed (Cancel, or No when there is no Cancel, if closed otherwise).
    virtual Button box(const QString &caption, const QString &text, Icon icon, int buttons,
                       const QString &further = {}) = 0;
    // The default error display for an error a command did not handle.
    virtual void error(const QString &text, const QString &further = {}) = 0;

    // File dialogs; an empty result means cancelled.
    virtual QString openFileName(const QString &title, const QString &folder, const QString &filter) = 0;
    virtual QString saveFileName(const QString &title, const QString &fileName, const QString &filter,
                                 const QString &defaultSuffix) = 0;
};

// The application title, caption of plain messages and error boxes.
inline const QString &applicationTitle()
{
    static const QString title = QStringLiteral("Vantrel Assistant");
    return title;
}

// The title with the program's version: the main window's caption, and the
// maker named on a program sheet.
inline const QString &applicationTitleAndVersion()
{
    static const QString text = QStringLiteral("Vantrel Assistant Ver.1.01");
    return text;
}

// The text the default error display shows: a full stop is appended when the
// last character sorts after ".".
QString errorDisplayText(const QString &text);
