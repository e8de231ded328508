// A table of segments from its bytes, read as File, Import reads a file and
// as Paste reads the clipboard. Every segment read is one the grid could hold
// (its values pass the cell check, an unset one holds zeros), and so is every
// segment its durations make; the table written back with tabs and with
// commas reads as the same segments.

#include "fuzz/FuzzCheck.h"

#include "model/CellRules.h"
#include "model/LabTerms.h"
#include "model/Numbers.h"
#include "model/SegmentTable.h"

#include <QCoreApplication>
#include <cstdint>

namespace {

using Row = TemperatureProgram::Row;
using SegmentTable::Segment;

QString describe(const QList<Segment> &segments)
{
    QStringList parts;
    for (const Segment &s : segments)
        parts << QStringList{s.mode, s.temp, s.rate, s.time}.join(u';');
    return shown(parts.join(u'|'));
}

// A segment as the controller gets it: the cells its mode does not use are
// not written to a table, so they read back as 0.
Segment used(Segment s)
{
    if (CellRules::isInactive(Row::TempRow, s.mode))
        s.temp = QStringLiteral("0.0");
    if (CellRules::isInactive(Row::RateRow, s.mode))
        s.rate = QStringLiteral("0.0");
    if (CellRules::isInactive(Row::TimeRow, s.mode))
        s.time = QStringLiteral("0.00");
    return s;
}

QList<Segment> usedOf(const QList<Segment> &segments)
{
    QList<Segment> result;
    for (const Segment &s : segments)
        result << used(s);
    return result;
}

void checkCells(const QList<Segment> &segments)
{
    for (const Segment &s : segments) {
        FUZZ_CHECK(s.mode == TemperatureProgram::ModeRamp || s.mode == TemperatureProgram::ModeHold
                       || s.mode == TemperatureProgram::ModeUnset,
                   describe({s}));
        const QString *cells[] = {&s.temp, &s.rate, &s.time};
        for (int i = 0; i < 3; ++i) {
            const int row = Row::TempRow + i;
            const CellRules::CellCheckResult check = CellRules::checkCell(row, *cells[i]);
            // Accepted as it stands: the text is already the cell's text form.
            FUZZ_CHECK(check.outcome == CellRules::CellCheckResult::Accepted && check.text == *cells[i], describe({s}));
            if (s.mode == TemperatureProgram::ModeUnset)
                FUZZ_CHECK(parseDecimal(*cells[i]) == 0.0, describe({s}));
        }
    }
}

// The segments put in a program from slot 0 on, written with the separator
// and read again.
void checkWrittenBack(const QList<Segment> &segments, QChar separator)
{
    TemperatureProgram table;
    const int count = int(std::min<qsizetype>(segments.size(), TemperatureProgram::LastSlotColumn));
    SegmentTable::insert(table, 1, segments.first(count));
    const QString text = SegmentTable::write(table, 1, count, separator);
    const SegmentTable::ReadResult again = SegmentTable::read(text);
    FUZZ_CHECK(again.error.isEmpty(), again.error + QStringLiteral(" in ") + shown(text));
    FUZZ_CHECK(again.segments == usedOf(segments.first(count)),
               describe(again.segments) + QStringLiteral(" != ") + describe(usedOf(segments.first(count))));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***argv)
{
    makeApplication<QCoreApplication>(*argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    // A file may start with a byte-order mark; the clipboard's text does not.
    const SegmentTable::ReadResult imported = SegmentTable::read(SegmentTable::fromFileBytes(bytes));
    const SegmentTable::ReadResult pasted = SegmentTable::read(QString::fromUtf8(bytes));
    if (!bytes.startsWith("\xEF\xBB\xBF"))
        FUZZ_CHECK(imported.error == pasted.error && imported.segments == pasted.segments,
                   imported.error + QStringLiteral(" / ") + pasted.error);

    for (const SegmentTable::ReadResult *read : {&imported, &pasted}) {
        FUZZ_CHECK(read->error.isEmpty() != read->segments.isEmpty(), read->error + describe(read->segments));
        if (!read->error.isEmpty())
            continue;
        checkCells(read->segments);
        checkWrittenBack(read->segments, SegmentTable::Tab);
        checkWrittenBack(read->segments, SegmentTable::Comma);
        // Durations made into segments give segments the grid could hold too.
        const LabTerms::Resolved resolved = LabTerms::resolveDurations(*read, 25.0);
        FUZZ_CHECK(resolved.error.isEmpty() || resolved.segments.isEmpty(), resolved.error);
        checkCells(resolved.segments);
    }
    return 0;
}
