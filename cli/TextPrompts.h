#pragma once

#include "model/Prompts.h"

// The download's messages and its question on a text console. Plain messages
// go to standard output, boxes and errors to standard error; the Yes/No
// question is answered by --yes or asked on the terminal. Every line carries
// the prefix (the unit, when several are addressed).
class TextPrompts : public Prompts
{
public:
    explicit TextPrompts(bool assumeYes) : m_assumeYes(assumeYes) {}
    void setPrefix(const QString &prefix) { m_prefix = prefix; }

    // Further text goes to standard error, on a line of its own after the text.
    void message(const QString &text, const QString &further = {}) override;
    Button box(const QString &caption, const QString &text, Icon icon, int buttons,
               const QString &further = {}) override;
    void error(const QString &text, const QString &further = {}) override;
    // No file dialogs on a console: always cancelled.
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &, const QString &) override { return {}; }

private:
    void furtherText(const QString &further) const;

    bool m_assumeYes;
    QString m_prefix;
};
