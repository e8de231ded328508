#include "editor/SegmentDialog.h"

#include "editor/EditorContext.h"
#include "editor/GridEditor.h"
#include "editor/ProgramHistory.h"
#include "editor/SegmentGrid.h"
#include "model/CellRules.h"
#include "model/Numbers.h"
#include "model/Profile.h"
#include "model/ProgramDocument.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <cmath>

namespace {
using Row = TemperatureProgram::Row;
const QString DegC = QStringLiteral(" \u00B0C");

QLineEdit *field(const QString &name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}
} // namespace

SegmentDialog::SegmentDialog(const TemperatureProgram &table, double initialTemp, int col, QWidget *parent)
    : QDialog(parent)
    , m_table(table)
    , m_col(col)
{
    setObjectName(QStringLiteral("SegmentDialog"));
    setWindowTitle(QStringLiteral("Segment %1").arg(col - 1));
    // Room for "asked 2:00:00; 0.9 °C/min gives 2:02:13, 1.0 gives 1:50:00" on one line.
    setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 72);

    const Profile profile = computeProfile(initialTemp, table);
    const int index = std::min(col, int(TemperatureProgram::LastUsedColumn)) - 1;
    const QPointF start =
        col <= TemperatureProgram::LastUsedColumn ? profile.segments[index].start : profile.segments[index].end;
    m_startMinutes = start.x();
    m_startTemp = start.y();
    makeFields();
    showSlot(table, col);
    connectFields();
    update();
}

void SegmentDialog::makeFields()
{
    m_mode = new QComboBox(this);
    m_mode->setObjectName(QStringLiteral("Mode"));
    m_mode->addItems({TemperatureProgram::ModeRamp, TemperatureProgram::ModeHold});
    m_target = field(QStringLiteral("Target"), this);
    m_rate = field(QStringLiteral("Rate"), this);
    m_duration = field(QStringLiteral("Duration"), this);
    m_end = field(QStringLiteral("EndsAt"), this);
    m_start = new QLabel(
        QStringLiteral("%1 at %2").arg(valueText(m_startTemp, 1) + DegC, LabTerms::durationText(m_startMinutes)), this);
    m_start->setObjectName(QStringLiteral("Start"));
    m_asked = new QLabel(this);
    m_asked->setObjectName(QStringLiteral("Gives"));
    m_asked->setWordWrap(true);
    m_choice = new QComboBox(this);
    m_choice->setObjectName(QStringLiteral("Writes"));
    m_refusal = new QLabel(this);
    m_refusal->setObjectName(QStringLiteral("Refusal"));
    m_refusal->setWordWrap(true);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("Starts from"), m_start);
    // Alt and the underlined letter reach each field.
    form->addRow(QStringLiteral("&Mode"), m_mode);
    form->addRow(QStringLiteral("&Target (\u00B0C)"), m_target);
    form->addRow(QStringLiteral("&Rate (\u00B0C/min)"), m_rate);
    form->addRow(QStringLiteral("&Duration (h:mm:ss)"), m_duration);
    form->addRow(QStringLiteral("&Ends at (h:mm:ss)"), m_end);
    form->addRow(QStringLiteral("Controller"), m_asked);
    form->addRow(QStringLiteral("&Writes"), m_choice);
    form->addRow(m_refusal);
    form->addRow(m_buttons);
    for (QWidget *w : std::initializer_list<QWidget *>{m_mode, m_target, m_rate, m_duration, m_end, m_choice})
        if (auto *label = qobject_cast<QLabel *>(form->labelForField(w)))
            w->setAccessibleName(label->text().remove(u'&'));
}

void SegmentDialog::showSlot(const TemperatureProgram &table, int col)
{
    const QString mode = table.cell(Row::ModeRow, col);
    const double time = toDouble(table.cell(Row::TimeRow, col));
    if (mode == TemperatureProgram::ModeHold) {
        m_mode->setCurrentIndex(1);
        m_target->setText(valueText(m_startTemp, 1));
        m_duration->setText(LabTerms::durationText(LabTerms::secondsOfMinSec(time)));
        m_given = Given::Duration;
    } else {
        m_target->setText(table.cell(Row::TempRow, col));
        m_rate->setText(table.cell(Row::RateRow, col));
        m_given = Given::Rate;
    }
}

void SegmentDialog::connectFields()
{
    connect(m_mode, &QComboBox::currentIndexChanged, this, [this] {
        if (m_mode->currentIndex() == 1 && m_given == Given::Rate)
            m_given = Given::Duration;
        update();
    });
    connect(m_target, &QLineEdit::textEdited, this, [this] { update(); });
    connect(m_rate, &QLineEdit::textEdited, this, [this] { given(Given::Rate); });
    connect(m_duration, &QLineEdit::textEdited, this, [this] { given(Given::Duration); });
    connect(m_end, &QLineEdit::textEdited, this, [this] { given(Given::End); });
    connect(m_choice, &QComboBox::currentIndexChanged, this, &SegmentDialog::choiceChanged);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void SegmentDialog::choiceChanged()
{
    m_problem.clear();
    const QList<SegmentTable::Segment> chosen = segments();
    for (const SegmentTable::Segment &s : chosen)
        for (int row : {int(Row::TempRow), int(Row::RateRow), int(Row::TimeRow)}) {
            const QString &text = row == Row::TempRow ? s.temp : row == Row::RateRow ? s.rate : s.time;
            if (CellRules::checkCell(row, text).outcome != CellRules::CellCheckResult::Accepted)
                m_problem = QStringLiteral("%1 is out of range %2.").arg(text, CellRules::rangeText(row));
        }
    if (m_problem.isEmpty() && !chosen.isEmpty())
        m_problem = LabTerms::replaceRefusal(m_table, m_col, int(chosen.size()));
    if (chosen.isEmpty() && m_problem.isEmpty())
        m_problem = m_refusal->text();
    m_refusal->setText(m_problem);
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(m_problem.isEmpty());
}

void SegmentDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The field a person most likely changes: a Hold's duration, a Ramp's target.
    QLineEdit *first = m_mode->currentIndex() == 1 ? m_duration : m_target;
    first->setFocus(Qt::OtherFocusReason);
    first->selectAll();
}

QList<SegmentTable::Segment> SegmentDialog::segments() const
{
    const int index = m_choice->currentIndex();
    return index >= 0 && index < m_plans.size() ? m_plans[index].segments : QList<SegmentTable::Segment>();
}

void SegmentDialog::given(Given what)
{
    m_given = what;
    update();
}

void SegmentDialog::follow(QLineEdit *field, double seconds)
{
    const bool givenHere = (field == m_rate && m_given == Given::Rate)
        || (field == m_duration && m_given == Given::Duration) || (field == m_end && m_given == Given::End);
    if (!givenHere)
        field->setText(LabTerms::durationText(std::llround(seconds)));
}

void SegmentDialog::refuse(const QString &problem)
{
    m_refusal->setText(problem);
    showPlans({}, QString());
}

void SegmentDialog::showPlans(const QList<LabTerms::Plan> &plans, const QString &asked)
{
    m_plans = plans;
    m_asked->setText(asked);
    {
        const QSignalBlocker quiet(m_choice);
        m_choice->clear();
        for (const LabTerms::Plan &plan : plans)
            m_choice->addItem(QStringLiteral("%1 segment%2: %3")
                                  .arg(plan.segments.size())
                                  .arg(plan.segments.size() == 1 ? "" : "s", plan.text));
        m_choice->setEnabled(plans.size() > 1);
        if (plans.isEmpty())
            m_choice->setCurrentIndex(-1);
    }
    // The refusal and OK follow the choice now shown.
    emit m_choice->currentIndexChanged(m_choice->currentIndex());
}

void SegmentDialog::update()
{
    const bool ramp = m_mode->currentIndex() == 0;
    m_target->setEnabled(ramp);
    m_rate->setEnabled(ramp);
    if (ramp)
        updateRamp();
    else
        updateHold();
}

std::optional<long long> SegmentDialog::askedSeconds()
{
    const double startSeconds = m_startMinutes * 60;
    if (m_given == Given::End) {
        const std::optional<long long> end = LabTerms::parseDuration(m_end->text());
        if (!end) {
            refuse(QStringLiteral("Ends at: write h:mm:ss, h:mm or minutes."));
            return std::nullopt;
        }
        const long long seconds = *end - std::llround(startSeconds);
        if (seconds < 0) {
            refuse(QStringLiteral("Ends at: the segment starts at %1.").arg(LabTerms::durationText(m_startMinutes)));
            return std::nullopt;
        }
        m_duration->setText(LabTerms::durationText(seconds));
        return seconds;
    }
    const std::optional<long long> seconds = LabTerms::parseDuration(m_duration->text());
    if (!seconds) {
        refuse(QStringLiteral("Duration: write h:mm:ss, h:mm or minutes."));
        return std::nullopt;
    }
    m_end->setText(LabTerms::durationText(*seconds + std::llround(startSeconds)));
    return seconds;
}

void SegmentDialog::updateHold()
{
    m_target->setText(valueText(m_startTemp, 1));
    const std::optional<long long> seconds = askedSeconds();
    if (!seconds)
        return;
    const LabTerms::Plan plan = LabTerms::holdPlan(*seconds);
    m_refusal->clear();
    showPlans({plan}, QStringLiteral("asked %1; %2").arg(LabTerms::durationText(*seconds), plan.text));
}

void SegmentDialog::updateRamp()
{
    const double startSeconds = m_startMinutes * 60;
    const CellRules::CellCheckResult target = CellRules::checkCell(Row::TempRow, m_target->text().trimmed());
    if (target.outcome != CellRules::CellCheckResult::Accepted) {
        refuse(QStringLiteral("Target: \"%1\" is not a temperature of %2.")
                   .arg(m_target->text(), CellRules::rangeText(Row::TempRow)));
        return;
    }
    const double to = toDouble(target.text);
    if (m_given == Given::Rate) {
        const CellRules::CellCheckResult rate = CellRules::checkCell(Row::RateRow, m_rate->text().trimmed());
        if (rate.outcome != CellRules::CellCheckResult::Accepted || toDouble(rate.text) == 0) {
            refuse(QStringLiteral("Rate: \"%1\" is not a rate of 0.1 - 20.0.").arg(m_rate->text()));
            return;
        }
        const LabTerms::Plan plan = LabTerms::rampAtRate(m_startTemp, to, toDouble(rate.text));
        follow(m_duration, plan.seconds);
        follow(m_end, startSeconds + plan.seconds);
        m_refusal->clear();
        showPlans({plan}, plan.text);
        return;
    }
    const std::optional<long long> seconds = askedSeconds();
    if (!seconds)
        return;
    const QList<LabTerms::Plan> plans = LabTerms::rampPlans(m_startTemp, to, *seconds);
    if (plans.isEmpty()) {
        refuse(std::llround(m_startTemp * 10) == std::llround(to * 10)
                   ? QStringLiteral("A ramp to the temperature it starts at takes no time: give a Hold.")
                   : QStringLiteral("No rate up to 20.0 \u00B0C/min gets from %1 to %2 in %3.")
                         .arg(valueText(m_startTemp, 1), valueText(to, 1) + DegC, LabTerms::durationText(*seconds)));
        return;
    }
    QStringList rates;
    for (const SegmentTable::Segment &s : plans.first().segments)
        rates << s.rate;
    m_rate->setText(rates.join(QStringLiteral(", then ")));
    m_refusal->clear();
    showPlans(plans, LabTerms::askedText(*seconds, plans));
}

SegmentDialogCommand::SegmentDialogCommand(SegmentGrid *grid, GridEditor &gridEditor, const EditorContext &context)
    : QObject(grid)
    , m_grid(grid)
    , m_gridEditor(gridEditor)
    , m_context(context)
{
    m_edit = new QAction(QStringLiteral("Segment..."), this);
    m_edit->setObjectName(QStringLiteral("SegmentDialog1"));
    // Queued: the dialog opens once the menu it was chosen from has closed and
    // given the keyboard back, or the window system may keep the keys from it.
    connect(
        m_edit, &QAction::triggered, this, [this] { m_context.guarded([this] { open(m_grid->currentCol()); }); },
        Qt::QueuedConnection);
    QMenu *popup = m_gridEditor.contextMenu();
    popup->addSeparator();
    QAction *item = popup->addAction(QStringLiteral("Segment..."));
    item->setObjectName(QStringLiteral("SegmentDialog2"));
    connect(
        item, &QAction::triggered, this, [this] { m_context.guarded([this] { open(m_gridEditor.popupCol); }); },
        Qt::QueuedConnection);
}

void SegmentDialogCommand::open(int col)
{
    if (col < 1 || !m_grid->isEnabled())
        return;
    if (col > TemperatureProgram::LastUsedColumn) {
        emit hintChanged(QStringLiteral("Segment %1 is never sent; the dialog edits segments 0 to %2.")
                             .arg(col - 1)
                             .arg(TemperatureProgram::LastUsedColumn - 1));
        return;
    }
    m_grid->closeEditorNow();
    m_gridEditor.checkEditedCell();
    auto *dialog =
        new SegmentDialog(m_context.document.table(), m_context.document.initialTemp(), col, m_grid->window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this,
            [this, dialog, col] { m_context.guarded([this, dialog, col] { write(col, dialog->segments()); }); });
    dialog->open();
}

void SegmentDialogCommand::write(int col, const QList<SegmentTable::Segment> &segments)
{
    TemperatureProgram table = m_context.document.table();
    if (segments.isEmpty() || !LabTerms::replaceRefusal(table, col, int(segments.size())).isEmpty())
        return;
    LabTerms::replace(table, col, segments);
    m_context.document.restore(table);
    m_context.history.segmentsWritten(col, int(segments.size()));
    m_grid->setCurrentCell(col, TemperatureProgram::ModeRow);
    m_grid->viewport()->update();
    m_context.redraw();
    m_context.document.setModified(true);
}
