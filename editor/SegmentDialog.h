#pragma once

#include "editor/EditorContext.h"
#include "model/LabTerms.h"
#include "model/TemperatureProgram.h"

#include <QDialog>
#include <QObject>
#include <optional>

class GridEditor;
class QAction;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class SegmentGrid;

// "Segment N": one segment given in the lab's terms. A Ramp is given by its
// rate, its duration or the time it ends at, the other two following; a Hold
// by its duration or end, of any length. Before OK it shows what the
// controller gets at its steps, and the segments it will write (a long hold
// as several, a ramp that no one rate makes in time as two).
class SegmentDialog : public QDialog
{
    Q_OBJECT
public:
    // The slot in column `col` of the table, starting where the profile from
    // `initialTemp` puts it.
    SegmentDialog(const TemperatureProgram &table, double initialTemp, int col, QWidget *parent = nullptr);

    // The segments OK writes in place of the slot.
    QList<SegmentTable::Segment> segments() const;
    // Why OK is refused now; empty when it is not.
    QString problem() const { return m_problem; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    enum class Given { Rate, Duration, End };
    void given(Given what);
    void makeFields();
    // What the slot holds now, in the fields.
    void showSlot(const TemperatureProgram &table, int col);
    void connectFields();
    // The refusal and OK follow the segments chosen to be written.
    void choiceChanged();
    void update();
    void updateHold();
    void updateRamp();
    // The time given as a duration or an end, in whole seconds; none (with
    // the refusal shown) when it cannot be read.
    std::optional<long long> askedSeconds();
    void showPlans(const QList<LabTerms::Plan> &plans, const QString &asked);
    void refuse(const QString &problem);
    void follow(QLineEdit *field, double seconds);

    TemperatureProgram m_table;
    int m_col;
    double m_startMinutes = 0;
    double m_startTemp = 0;
    Given m_given = Given::Rate;
    QList<LabTerms::Plan> m_plans;
    QString m_problem;

    QComboBox *m_mode;
    QLineEdit *m_target;
    QLineEdit *m_rate;
    QLineEdit *m_duration;
    QLineEdit *m_end;
    QLabel *m_start;
    QLabel *m_asked;
    QComboBox *m_choice;
    QLabel *m_refusal;
    QDialogButtonBox *m_buttons;
};

// Edit, "Segment..." and the segment number's context menu item: opens the
// dialog for the current segment (or the one right-clicked) and writes what
// it gives as one step of the history.
class SegmentDialogCommand : public QObject
{
    Q_OBJECT
public:
    SegmentDialogCommand(SegmentGrid *grid, GridEditor &gridEditor, const EditorContext &context);

    QAction *editAction() const { return m_edit; }
    // Opens the dialog for the slot in column `col` (not modal to the
    // program: it is window-modal and returns at once).
    void open(int col);

signals:
    // Status panel 0: why a segment past the last one sent is not opened.
    void hintChanged(const QString &text);

private:
    void write(int col, const QList<SegmentTable::Segment> &segments);

    SegmentGrid *m_grid;
    GridEditor &m_gridEditor;
    EditorContext m_context;
    QAction *m_edit;
};
