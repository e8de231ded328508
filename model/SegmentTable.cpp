#include "model/SegmentTable.h"

#include "model/CellRules.h"
#include "model/LabTerms.h"
#include "model/Numbers.h"

#include <QRegularExpression>
#include <algorithm>
#include <optional>

namespace SegmentTable {

namespace {
using Row = TemperatureProgram::Row;

// The table's columns in their order, as grid rows.
constexpr int ColumnRows[] = {Row::ModeRow, Row::TempRow, Row::RateRow, Row::TimeRow};
constexpr int ColumnCount = 4;
// A table read may also give a Duration (LabTerms::parseDuration) for a Ramp
// without its Rate or a Hold without its Time.
constexpr int DurationColumn = 4;
constexpr int ReadColumnCount = 5;

QStringList readColumnNames() { return columnNames() << QStringLiteral("Duration"); }
// More lines than this are no program's table.
constexpr int MaximumSegments = 1000;

bool isSet(const QString &mode) { return mode == TemperatureProgram::ModeRamp || mode == TemperatureProgram::ModeHold; }

QString field(const QString &text, QChar separator)
{
    if (!text.contains(separator) && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

// The fields of one line; nothing when a quote is left open.
std::optional<QStringList> splitFields(const QString &line, QChar separator)
{
    QStringList fields;
    qsizetype i = 0;
    const qsizetype n = line.size();
    for (;;) {
        QString text;
        if (i < n && line[i] == u'"') {
            bool closed = false;
            for (++i; i < n; ++i) {
                if (line[i] != u'"') {
                    text += line[i];
                } else if (i + 1 < n && line[i + 1] == u'"') {
                    text += u'"';
                    ++i;
                } else {
                    closed = true;
                    ++i;
                    break;
                }
            }
            if (!closed)
                return std::nullopt;
        }
        while (i < n && line[i] != separator)
            text += line[i++];
        fields << text;
        if (i >= n)
            return fields;
        ++i;
    }
}

bool isText(const QString &line)
{
    return std::none_of(line.cbegin(), line.cend(), [](QChar c) {
        return (c.unicode() < 0x20 && c != Tab) || c.unicode() == 0x7F || c == QChar::ReplacementCharacter
            || c.isNonCharacter();
    });
}

// The column a header field names: 0 Mode, 1 Temp., 2 Rate, 3 Time,
// 4 Duration; -1 none.
int namedColumn(const QString &name)
{
    QString letters;
    for (QChar c : name)
        if (c.isLetter())
            letters += c.toLower();
    const char *const prefixes[] = {"mode", "temp", "rate", "time", "duration"};
    for (int column = 0; column < ReadColumnCount; ++column)
        if (letters.startsWith(QLatin1String(prefixes[column])))
            return column;
    return -1;
}

bool isModeWord(const QString &text)
{
    const QString word = text.trimmed();
    return word.compare(TemperatureProgram::ModeRamp, Qt::CaseInsensitive) == 0
        || word.compare(TemperatureProgram::ModeHold, Qt::CaseInsensitive) == 0;
}

// A header names a column somewhere and holds no mode.
bool isHeader(const QStringList &fields)
{
    return std::none_of(fields.cbegin(), fields.cend(), isModeWord)
        && std::any_of(fields.cbegin(), fields.cend(), [](const QString &f) { return namedColumn(f) >= 0; });
}

QString refusal(int line, int column, const QString &name, const QString &reason)
{
    return name.isEmpty() ? QStringLiteral("Line %1, column %2: %3.").arg(line).arg(column).arg(reason)
                          : QStringLiteral("Line %1, column %2 (%3): %4.").arg(line).arg(column).arg(name, reason);
}

QString quoted(const QString &text) { return u'"' + text + u'"'; }

// A decimal comma as the point, where it cannot be a thousands separator.
QString withDecimalPoint(const QString &text, int row)
{
    const qsizetype comma = text.indexOf(u',');
    if (comma < 0 || text.contains(u'.') || text.count(u',') != 1)
        return text;
    const qsizetype decimals = text.size() - comma - 1;
    if (decimals < 1 || decimals > CellRules::decimalsOf(row))
        return text;
    QString point = text;
    point[comma] = u'.';
    return point;
}

// The cell text a value takes, or the reason it is refused.
struct Value
{
    QString text;
    QString reason;
};

Value checkValue(const QString &fieldText, int row)
{
    const QString given = fieldText.trimmed();
    const CellRules::CellCheckResult check = CellRules::checkCell(row, withDecimalPoint(given, row));
    switch (check.outcome) {
    case CellRules::CellCheckResult::Accepted:
        return {check.text, {}};
    case CellRules::CellCheckResult::OutOfRange:
        if (row == Row::TimeRow)
            return {{},
                    QStringLiteral("%1 is not a time of %2 (min.sec, seconds below 60)")
                        .arg(quoted(given), CellRules::rangeText(row))};
        return {{}, QStringLiteral("%1 is out of range %2").arg(quoted(given), CellRules::rangeText(row))};
    default:
        return {{}, QStringLiteral("%1 is not a number").arg(quoted(given))};
    }
}

// Which field of a line holds each column; -1 where the table has none.
struct Layout
{
    int fieldOf[ReadColumnCount] = {0, 1, 2, 3, -1};
    qsizetype fieldCount = ColumnCount; // of the header, or the four columns
};

std::optional<Layout> headerLayout(const QStringList &fields, int line, QString *error)
{
    Layout layout;
    std::fill(std::begin(layout.fieldOf), std::end(layout.fieldOf), -1);
    const QStringList names = readColumnNames();
    for (int i = 0; i < fields.size(); ++i) {
        const QString name = fields[i].trimmed();
        if (name.isEmpty())
            continue;
        const int column = namedColumn(name);
        if (column < 0) {
            *error =
                refusal(line, i + 1, {},
                        QStringLiteral("%1 names no column of a segment (%2)").arg(quoted(name), names.join(u", ")));
            return std::nullopt;
        }
        if (layout.fieldOf[column] >= 0) {
            *error =
                refusal(line, i + 1, {}, QStringLiteral("%1 is a second %2 column").arg(quoted(name), names[column]));
            return std::nullopt;
        }
        layout.fieldOf[column] = i;
    }
    layout.fieldCount = fields.size();
    if (layout.fieldOf[0] < 0) {
        *error = QStringLiteral("Line %1: the header has no Mode column.").arg(line);
        return std::nullopt;
    }
    return layout;
}

using FieldTexts = QString[ReadColumnCount];

// Why a line's fields do not fit the table's columns; empty when they do.
QString strayFields(const QStringList &fields, const Layout &layout, QChar separator, int line)
{
    // A spreadsheet's selection may carry empty cells past the table, but
    // between commas an extra field is more likely a decimal comma left
    // unquoted ("Ramp,150,5,10,"), which would shift every value after it.
    if (separator == Comma && fields.size() > layout.fieldCount)
        return QStringLiteral(
                   "Line %1: %2 fields where the table has %3 (a decimal comma between commas must be quoted).")
            .arg(line)
            .arg(fields.size())
            .arg(layout.fieldCount);
    for (int i = 0; i < fields.size(); ++i) {
        if (fields[i].trimmed().isEmpty()
            || std::find(std::begin(layout.fieldOf), std::end(layout.fieldOf), i) != std::end(layout.fieldOf))
            continue;
        return refusal(line, i + 1, {},
                       QStringLiteral("%1 is in no column of a segment").arg(quoted(fields[i].trimmed())));
    }
    return {};
}

// Reads the mode into segment; the refusal, or empty.
QString readMode(const FieldTexts &texts, const Layout &layout, int line, Segment &segment)
{
    const QString mode = texts[0].trimmed();
    if (mode.isEmpty())
        segment.mode = TemperatureProgram::ModeUnset;
    else if (isModeWord(mode))
        segment.mode = mode.compare(TemperatureProgram::ModeRamp, Qt::CaseInsensitive) == 0
            ? TemperatureProgram::ModeRamp
            : TemperatureProgram::ModeHold;
    else
        return refusal(line, layout.fieldOf[0] + 1, readColumnNames()[0],
                       QStringLiteral("%1 is not Ramp or Hold").arg(quoted(mode)));
    return {};
}

// Reads the temperature, rate and time into segment; the refusal, or empty.
QString readValues(const FieldTexts &texts, const Layout &layout, int line, Segment &segment)
{
    const QStringList names = readColumnNames();
    QString *cells[] = {nullptr, &segment.temp, &segment.rate, &segment.time};
    for (int column = 1; column < ColumnCount; ++column) {
        const Value value = checkValue(texts[column], ColumnRows[column]);
        if (!value.reason.isEmpty())
            return refusal(line, layout.fieldOf[column] + 1, names[column], value.reason);
        // The grid's unset slot holds zeros: a value other than 0 on a line
        // without a mode is a segment whose mode was left out, not an unset one.
        if (segment.mode == TemperatureProgram::ModeUnset && parseDecimal(value.text).value_or(0) != 0)
            return refusal(line, layout.fieldOf[column] + 1, names[column],
                           QStringLiteral("%1 is given without a mode (Ramp or Hold); an unset segment holds 0")
                               .arg(quoted(texts[column].trimmed())));
        *cells[column] = value.text;
    }
    return {};
}

// Why a segment's duration cannot stand; empty when it can (or is not given).
QString durationRefusal(const FieldTexts &texts, const Layout &layout, int line, const Segment &segment,
                        const QString &duration)
{
    if (duration.isEmpty())
        return {};
    const QStringList names = readColumnNames();
    // The cell a duration stands for: a Ramp's rate or a Hold's time.
    const int column = segment.mode == TemperatureProgram::ModeRamp ? 2 : 3;
    QString reason;
    if (!LabTerms::parseDuration(duration))
        reason = QStringLiteral("%1 is not a duration (h:mm:ss, or minutes)").arg(quoted(duration));
    else if (segment.mode == TemperatureProgram::ModeUnset)
        reason = QStringLiteral("%1 is given without a mode (Ramp or Hold)").arg(quoted(duration));
    else if (!texts[column].trimmed().isEmpty())
        reason = QStringLiteral("a %1 takes its %2 or a Duration, not both").arg(segment.mode, names[column]);
    if (reason.isEmpty())
        return {};
    return refusal(line, layout.fieldOf[DurationColumn] + 1, names[DurationColumn], reason);
}

// One segment line and its duration text; on a refusal *error is set.
Segment readSegment(const QStringList &fields, const Layout &layout, QChar separator, int line, QString *duration,
                    QString *error)
{
    if (const QString problem = strayFields(fields, layout, separator, line); !problem.isEmpty()) {
        *error = problem;
        return {};
    }
    FieldTexts texts;
    for (int column = 0; column < ReadColumnCount; ++column)
        texts[column] = fields.value(layout.fieldOf[column]);

    Segment segment;
    QString problem = readMode(texts, layout, line, segment);
    if (problem.isEmpty())
        problem = readValues(texts, layout, line, segment);
    if (problem.isEmpty()) {
        *duration = texts[DurationColumn].trimmed();
        problem = durationRefusal(texts, layout, line, segment, *duration);
    }
    if (!problem.isEmpty()) {
        *error = problem;
        return {};
    }
    return segment;
}
} // namespace

QStringList columnNames()
{
    return {QStringLiteral("Mode"), QStringLiteral("Temp.(deg C)"), QStringLiteral("Rate(deg C/min)"),
            QStringLiteral("Time(min.sec)")};
}

QString write(const TemperatureProgram &table, int firstCol, int lastCol, QChar separator)
{
    QString text = columnNames().join(separator) + u'\n';
    for (int col = firstCol; col <= lastCol; ++col) {
        const QString mode = table.cell(Row::ModeRow, col);
        QStringList fields{mode == TemperatureProgram::ModeUnset ? QString() : field(mode, separator)};
        for (int column = 1; column < ColumnCount; ++column) {
            const int row = ColumnRows[column];
            fields << (CellRules::isInactive(row, mode) ? QString() : field(table.cell(row, col), separator));
        }
        text += fields.join(separator) + u'\n';
    }
    return text;
}

int lastSetColumn(const TemperatureProgram &table)
{
    int last = 0;
    for (int col = 1; col <= TemperatureProgram::LastUsedColumn; ++col)
        if (isSet(table.cell(Row::ModeRow, col)))
            last = col;
    return last;
}

ReadResult read(const QString &text)
{
    if (text.size() > MaximumTextSize)
        return {{}, QStringLiteral("The text is too long for a table of segments (%1 characters).").arg(text.size())};
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    const QStringList lines = text.split(lineBreak);
    const QChar separator = text.contains(Tab) ? Tab : Comma;

    ReadResult result;
    std::optional<Layout> layout;
    for (int i = 0; i < lines.size(); ++i) {
        const int line = i + 1;
        if (lines[i].trimmed().isEmpty() && !lines[i].contains(Tab))
            continue;
        if (!isText(lines[i]))
            return {{}, QStringLiteral("Line %1 holds characters that are not text.").arg(line)};
        const std::optional<QStringList> fields = splitFields(lines[i], separator);
        if (!fields)
            return {{}, QStringLiteral("Line %1: a quote is not closed.").arg(line)};
        if (!layout) {
            QString error;
            layout = isHeader(*fields) ? headerLayout(*fields, line, &error) : Layout();
            if (!layout)
                return {{}, error};
            if (isHeader(*fields))
                continue;
        }
        if (result.segments.size() == MaximumSegments)
            return {{},
                    QStringLiteral("The text has more than %1 lines of segments; a program holds %2.")
                        .arg(MaximumSegments)
                        .arg(TemperatureProgram::LastUsedColumn)};
        QString error, duration;
        const Segment segment = readSegment(*fields, *layout, separator, line, &duration, &error);
        if (!error.isEmpty())
            return {{}, error};
        result.segments << segment;
        result.lines << line;
        result.durations << duration;
    }
    if (result.segments.isEmpty())
        return {{}, QStringLiteral("The text holds no segments.")};
    return result;
}

int room(const TemperatureProgram &table, int col)
{
    int lastSet = 0;
    for (int c = 1; c <= TemperatureProgram::LastSlotColumn; ++c)
        if (isSet(table.cell(Row::ModeRow, c)))
            lastSet = c;
    const int room =
        lastSet >= col ? TemperatureProgram::LastUsedColumn - lastSet : TemperatureProgram::LastUsedColumn - col + 1;
    return std::max(room, 0);
}

QString fitRefusal(const TemperatureProgram &table, int col, int count)
{
    const int fit = room(table, col);
    if (count <= fit)
        return {};
    return QStringLiteral("%1 segment%2 cannot go in before segment %3: %4 fit there without pushing a set "
                          "segment past segment %5.")
        .arg(count)
        .arg(count == 1 ? "" : "s")
        .arg(col - 1)
        .arg(fit)
        .arg(TemperatureProgram::LastUsedColumn - 1);
}

QString fromFileBytes(const QByteArray &bytes)
{
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

void insert(TemperatureProgram &table, int col, const QList<Segment> &segments)
{
    const int n = int(segments.size());
    for (int row = Row::ModeRow; row <= Row::TimeRow; ++row)
        for (int c = TemperatureProgram::LastSlotColumn; c >= col + n; --c)
            table.setCell(row, c, table.cell(row, c - n));
    for (int i = 0; i < n && col + i <= TemperatureProgram::LastSlotColumn; ++i) {
        table.setCell(Row::ModeRow, col + i, segments[i].mode);
        table.setCell(Row::TempRow, col + i, segments[i].temp);
        table.setCell(Row::RateRow, col + i, segments[i].rate);
        table.setCell(Row::TimeRow, col + i, segments[i].time);
    }
}

void remove(TemperatureProgram &table, int firstCol, int lastCol)
{
    for (int col = firstCol; col <= lastCol; ++col)
        table.deleteSlot(firstCol);
}

} // namespace SegmentTable
