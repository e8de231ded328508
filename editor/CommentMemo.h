#pragma once

#include <QPlainTextEdit>

class QMimeData;

// Memo1: the program's comment, a plain memo. Tab and Shift+Tab move the
// focus to the next or previous control, as in any form; Ctrl+Tab types a
// tab. Pasting and dropping take plain text only, and only when the data
// offers some: an empty clipboard, or one whose owner has gone, pastes nothing.
class CommentMemo : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit CommentMemo(QWidget *parent = nullptr);

    // The text a paste or drop of this data inserts; empty when it inserts nothing.
    static QString insertableText(const QMimeData *source);

protected:
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    void keyPressEvent(QKeyEvent *event) override;
};
