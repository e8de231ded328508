#include "editor/CommentMemo.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextDocumentFragment>

CommentMemo::CommentMemo(QWidget *parent) : QPlainTextEdit(parent) { setTabChangesFocus(true); }

QString CommentMemo::insertableText(const QMimeData *source)
{
    // The text control of Qt 6.4 reads the first of the offered formats
    // without looking whether there is one, so data without formats (an
    // empty clipboard, an owner that has gone) must never reach it.
    if (!source || source->formats().isEmpty())
        return {};
    if (source->hasText())
        return source->text();
    // Rich text alone is taken as its plain text: the comment holds no markup.
    if (source->hasHtml())
        return QTextDocumentFragment::fromHtml(source->html()).toPlainText();
    return {};
}

bool CommentMemo::canInsertFromMimeData(const QMimeData *source) const { return !insertableText(source).isEmpty(); }

void CommentMemo::insertFromMimeData(const QMimeData *source)
{
    const QString text = insertableText(source);
    if (text.isEmpty())
        return;
    textCursor().insertText(text);
    ensureCursorVisible();
}

void CommentMemo::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Tab && event->modifiers() == Qt::ControlModifier) {
        textCursor().insertText(QStringLiteral("\t"));
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}
