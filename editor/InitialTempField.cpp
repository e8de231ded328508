#include "editor/InitialTempField.h"

#include "editor/EditorContext.h"
#include "editor/ProgramHistory.h"
#include "model/CellRules.h"
#include "model/ProgramDocument.h"
#include "model/Prompts.h"

#include <QKeyEvent>

InitialTempField::InitialTempField(const EditorContext &context, QWidget *parent)
    : QLineEdit(parent)
    , m_context(context)
{
    setObjectName(QStringLiteral("Edit1"));
    setAccessibleName(QStringLiteral("Initial temp."));
    // The field shows the document's text, and what is typed is the document's.
    ProgramDocument &document = m_context.document;
    setText(document.initialTempText());
    connect(this, &QLineEdit::textChanged, &document, &ProgramDocument::setInitialTempText);
    connect(&document, &ProgramDocument::initialTempTextChanged, this, [this](const QString &text) {
        if (this->text() != text)
            setText(text);
    });
}

void InitialTempField::fieldEntered() { emit hintChanged(CellRules::rangeHint(TemperatureProgram::TempRow)); }

void InitialTempField::mouseReleaseEvent(QMouseEvent *event)
{
    // Edit1Click: the whole text selected.
    QLineEdit::mouseReleaseEvent(event);
    setFocus(Qt::MouseFocusReason);
    selectAll();
}

void InitialTempField::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QString text = event->text();
    if (!enter && text.isEmpty()) {
        QLineEdit::keyPressEvent(event); // arrows, Delete, Home: not characters
        return;
    }
    m_context.document.setModified(true);
    switch (CellRules::initialTempKey(enter ? CellRules::Enter : text.front())) {
    case CellRules::InitialTempKey::Pass:
        QLineEdit::keyPressEvent(event);
        break;
    case CellRules::InitialTempKey::Tab:
        // Enter moves on to the next control, which runs the exit check.
        focusNextPrevChild(true);
        break;
    case CellRules::InitialTempKey::Discard:
        break;
    }
}

void InitialTempField::focusChanged(QWidget *old, QWidget *now)
{
    if (old == this && now && now != this && now->window() == window())
        m_context.guarded([this] { fieldLeft(); });
    else if (now == this && old != this)
        m_context.guarded([this] { fieldEntered(); });
}

void InitialTempField::backToField(const QString &message)
{
    m_context.prompts.message(message);
    setFocus(Qt::OtherFocusReason);
    emit hintChanged(CellRules::rangeHint(TemperatureProgram::TempRow));
    selectAll();
}

bool InitialTempField::checkText()
{
    emit hintChanged(QString());
    const CellRules::InitialTempCheck check = CellRules::checkInitialTemp(text());
    if (!check.isNumber) {
        backToField(QStringLiteral("This value is not appropriate."));
        return false;
    }
    m_context.document.setInitialTemp(check.value);
    setText(check.text);
    if (!check.inRange) {
        backToField(QStringLiteral(" Exceeding the input range."));
        return false;
    }
    m_context.history.initialTempAccepted();
    return true;
}

void InitialTempField::fieldLeft()
{
    checkText();
    m_context.redraw();
}

void InitialTempField::checkInitialTempField()
{
    m_context.document.setInitialTempError(false);
    if (!checkText())
        m_context.document.setInitialTempError(true);
}
