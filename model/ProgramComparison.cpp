#include "model/ProgramComparison.h"

#include "model/Numbers.h"

#include <QHash>

namespace {
const QString None = QStringLiteral("(none)");

bool same(const QString &a, const QString &b)
{
    const auto x = parseDecimal(a);
    const auto y = parseDecimal(b);
    if (x && y)
        return *x == *y;
    return a.trimmed() == b.trimmed();
}
} // namespace

QList<ProgramComparison::Difference> ProgramComparison::compare(const SentProgram &recorded, const SentProgram &now)
{
    QList<Difference> differences;
    if (recorded.programNo != now.programNo)
        differences << Difference{ProgramNo, QStringLiteral("Program No."), QString::number(recorded.programNo),
                                  QString::number(now.programNo)};
    if (!same(recorded.initialTemp, now.initialTemp))
        differences << Difference{InitialTemperature, QStringLiteral("Initial temp."), recorded.initialTemp,
                                  now.initialTemp};
    const qsizetype count = std::max(recorded.segments.size(), now.segments.size());
    for (qsizetype k = 0; k < count; ++k) {
        const bool inRecorded = k < recorded.segments.size();
        const bool inNow = k < now.segments.size();
        const SentProgram::Segment a = inRecorded ? recorded.segments[k] : SentProgram::Segment{};
        const SentProgram::Segment b = inNow ? now.segments[k] : SentProgram::Segment{};
        const std::pair<QString, QString SentProgram::Segment::*> fields[] = {
            {QStringLiteral("Mode"), &SentProgram::Segment::mode},
            {QStringLiteral("Temp."), &SentProgram::Segment::temp},
            {QStringLiteral("Rate"), &SentProgram::Segment::rate},
            {QStringLiteral("Time"), &SentProgram::Segment::time},
        };
        for (const auto &[name, member] : fields) {
            if (inRecorded && inNow && same(a.*member, b.*member))
                continue;
            differences << Difference{int(k), name, inRecorded ? a.*member : None, inNow ? b.*member : None};
        }
    }
    return differences;
}

QList<int> ProgramComparison::segmentsOf(const QList<Difference> &differences)
{
    QList<int> segments;
    for (const Difference &d : differences)
        if (d.segment >= 0 && !segments.contains(d.segment))
            segments << d.segment;
    return segments;
}

int ProgramComparison::changedSegments(const QList<Difference> &differences)
{
    return int(segmentsOf(differences).size());
}

QList<QPoint> ProgramComparison::cellsOf(const QList<Difference> &differences)
{
    static const QHash<QString, int> rows{{QStringLiteral("Mode"), TemperatureProgram::ModeRow},
                                          {QStringLiteral("Temp."), TemperatureProgram::TempRow},
                                          {QStringLiteral("Rate"), TemperatureProgram::RateRow},
                                          {QStringLiteral("Time"), TemperatureProgram::TimeRow}};
    QList<QPoint> cells;
    for (const Difference &d : differences) {
        if (d.segment < 0)
            continue;
        const int col = d.segment + 1;
        for (const QPoint cell : {QPoint(col, TemperatureProgram::NumberRow), QPoint(col, rows.value(d.field))})
            if (!cells.contains(cell))
                cells << cell;
    }
    return cells;
}
