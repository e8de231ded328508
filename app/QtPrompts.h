#pragma once

#include "model/Prompts.h"

class QWidget;

// The prompts as Qt shows them: QMessageBox and Qt's own QFileDialog.
class QtPrompts : public Prompts
{
public:
    explicit QtPrompts(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

    void message(const QString &text, const QString &further = {}) override;
    Button box(const QString &caption, const QString &text, Icon icon, int buttons,
               const QString &further = {}) override;
    void error(const QString &text, const QString &further = {}) override;
    QString openFileName(const QString &title, const QString &folder, const QString &filter) override;
    QString saveFileName(const QString &title, const QString &fileName, const QString &filter,
                         const QString &defaultSuffix) override;

    // Texts keep their line feed + carriage return pairs; a person sees one break.
    static QString displayText(const QString &text);
    // "TemperatureProgData(*.tpd)|*.tpd" as Qt writes a filter: the label,
    // with its patterns in parentheses unless it ends with them already.
    static QString qtFilter(const QString &filter);

private:
    QWidget *m_parent;
};
