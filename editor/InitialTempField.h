#pragma once

#include "editor/EditorContext.h"

#include <QLineEdit>

// Edit1: the initial temperature. Filters keys, checks and rewrites the text
// with two decimals when the field is left, and offers the same check to
// Save, Save as and Send.
class InitialTempField : public QLineEdit
{
    Q_OBJECT
public:
    InitialTempField(const EditorContext &context, QWidget *parent = nullptr);

    // Sets the document's initial-temperature error when the text is not a number or out of range,
    // after telling the person and taking them back to the field.
    void checkInitialTempField();

    void fieldEntered();
    void fieldLeft();

    // The window reports every focus change here, after the grid's: coming
    // into the field runs fieldEntered, leaving it for another control of the
    // same window runs fieldLeft (a message box taking the focus does not).
    void focusChanged(QWidget *old, QWidget *now);

signals:
    // Status panel 0: the field's range while it is worked in, empty after.
    void hintChanged(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    // Steps shared by the exit check and checkInitialTempField; false on a failure.
    bool checkText();
    void backToField(const QString &message);

    EditorContext m_context;
};
