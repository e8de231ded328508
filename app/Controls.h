#pragma once

#include <QLabel>
#include <QSpinBox>

// SpinEdit1: the program number, changed only with its arrows.
class TSpinEdit : public QSpinBox
{
    Q_OBJECT
public:
    explicit TSpinEdit(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
};

// Panel1's caption: its run of blanks leaves room for Edit1, laid over the
// panel. Fonts differ in the width of a blank, so the text after the blanks
// is drawn where the field ends.
class PanelCaption : public QLabel
{
public:
    PanelCaption(const QString &text, int gapEnd, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_gapEnd;
};
