#include "files/TpdFormat.h"

#include "files/AtomicFile.h"
#include "files/Cp932.h"
#include "files/IntegerText.h"
#include "files/RegularFile.h"
#include "files/TpdRowLine.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

namespace {

const QByteArray versionTag("Ver1.00");
const QByteArray lineEnd("\r\n");
constexpr int firstRowLine = 3;     // zero-based index of the Mode row line
constexpr int firstCommentLine = 7; // zero-based index of the first comment line

QString describeLine(qsizetype index)
{
    if (index == 1)
        return QStringLiteral("The program number");
    if (index == 2)
        return QStringLiteral("The initial temperature");
    if (index < firstCommentLine)
        return QStringLiteral("Grid row %1").arg(index - firstRowLine + 1);
    return QStringLiteral("Comment line %1").arg(index - firstCommentLine + 1);
}

QString describeCharacter(const QString &text, qsizetype index)
{
    const QChar c = text.at(index);
    char32_t code = c.unicode();
    QString shown(c);
    if (c.isHighSurrogate() && index + 1 < text.size() && text.at(index + 1).isLowSurrogate()) {
        code = QChar::surrogateToUcs4(c, text.at(index + 1));
        shown = text.mid(index, 2);
    } else if (c.isSurrogate()) {
        shown = QStringLiteral("?");
    }
    const QString hex = QString::number(uint(code), 16).toUpper().rightJustified(4, u'0');
    return QStringLiteral("\"%1\" (U+%2)").arg(shown, hex);
}

QList<QByteArray> splitLines(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    const qsizetype nul = bytes.indexOf('\0');
    const qsizetype size = nul < 0 ? bytes.size() : nul;
    qsizetype start = 0;
    qsizetype pos = 0;
    while (pos < size) {
        const char c = bytes[pos];
        if (c == '\r' || c == '\n') {
            lines.append(bytes.mid(start, pos - start));
            pos += (c == '\r' && pos + 1 < size && bytes[pos + 1] == '\n') ? 2 : 1;
            start = pos;
        } else {
            ++pos;
        }
    }
    if (start < size)
        lines.append(bytes.mid(start, size - start));
    return lines;
}

std::optional<double> parseNumber(const QByteArray &line)
{
    QByteArray text = line.trimmed();
    if (text.startsWith('+') && text.size() > 1 && text[1] != '-')
        text.remove(0, 1);
    double value = 0.0;
    const char *begin = text.constData();
    const char *end = begin + text.size();
    const auto [ptr, ec] = std::from_chars(begin, end, value, std::chars_format::general);
    if (text.isEmpty() || ec != std::errc() || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool isValidUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString ignored = decoder.decode(bytes);
    return !decoder.hasError();
}

// Decodes the text lines of one file with one code page chosen for all of
// them together. Neither code page uses the byte of a line feed inside a
// character, so the lines are decoded as one text and split again.
QStringList decodeTextLines(const QList<QByteArray> &lines)
{
    const QByteArray all = QByteArray(lines.join('\n'));

    // Code page 932 first: it is what this program and Windows machines
    // write. UTF-8 is the fallback for files edited elsewhere.
    std::optional<QString> text = Cp932::decode(all);
    if (!text && isValidUtf8(all))
        text = QString::fromUtf8(all);
    if (!text)
        text = Cp932::decodeLossy(all);
    return text->split(u'\n');
}

TpdReadResult refused(TpdReadResult::Status status, const QString &detail)
{
    TpdReadResult result;
    result.status = status;
    result.detail = detail;
    return result;
}

} // namespace

QByteArray TpdFormat::write(const TpdProgram &program, QString *error)
{
    auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return QByteArray();
    };

    if (program.rows.size() != RowCount)
        return fail(
            QStringLiteral("A program file needs %1 grid rows, not %2.").arg(RowCount).arg(program.rows.size()));

    QStringList lines;
    lines << QString::fromLatin1(versionTag) << QString::number(program.programNo) << program.initialTempText;
    for (const QStringList &row : program.rows)
        lines << TpdRowLine::join(row);
    lines << program.comment;

    QByteArray bytes;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (line.contains(u'\r') || line.contains(u'\n') || line.contains(QChar(0)))
            return fail(
                QStringLiteral("%1 contains a line break or a null character, which a program file cannot hold.")
                    .arg(describeLine(i)));
        const Cp932::EncodeResult encoded = Cp932::encode(line);
        if (!encoded.ok)
            return fail(QStringLiteral("%1 contains the character %2, which a program file cannot hold "
                                       "(its text is stored in the Japanese code page 932).")
                            .arg(describeLine(i), describeCharacter(line, encoded.badIndex)));
        bytes += encoded.bytes + lineEnd;
    }
    return bytes;
}

TpdReadResult TpdFormat::read(const QByteArray &bytes, int gridColCount)
{
    const QList<QByteArray> lines = splitLines(bytes);
    if (lines.isEmpty())
        return refused(TpdReadResult::LoadingError, QStringLiteral("The file is empty."));
    if (lines[0] != versionTag)
        return refused(TpdReadResult::NotVersion, QStringLiteral("The first line is not \"Ver1.00\"."));
    if (lines.size() < 2)
        return refused(TpdReadResult::LoadingError, QStringLiteral("The program number is missing."));
    const std::optional<int> programNo = parseIntegerText(QString::fromLatin1(lines[1].trimmed()));
    if (!programNo)
        return refused(TpdReadResult::LoadingError, QStringLiteral("The program number is not an integer."));
    if (lines.size() < 3)
        return refused(TpdReadResult::LoadingError, QStringLiteral("The initial temperature is missing."));
    const std::optional<double> initialTemp = parseNumber(lines[2]);
    if (!initialTemp)
        return refused(TpdReadResult::LoadingError, QStringLiteral("The initial temperature is not a number."));
    if (lines.size() < firstCommentLine)
        return refused(TpdReadResult::LoadingError,
                       QStringLiteral("The file has %1 lines, fewer than %2.").arg(lines.size()).arg(firstCommentLine));

    const QStringList text = decodeTextLines(lines.mid(firstRowLine));
    const qsizetype columns = std::max(gridColCount, 0);

    TpdReadResult result;
    result.status = TpdReadResult::Loaded;
    result.programNo = std::clamp(*programNo, 0, MaximumProgramNo);
    result.initialTemp = *initialTemp;
    for (int r = 0; r < RowCount; ++r) {
        const QStringList items = TpdRowLine::split(text[r]);
        QStringList row(columns);
        for (qsizetype c = 0; c < std::min(columns, items.size()); ++c)
            row[c] = items[c].isEmpty() ? QStringLiteral(" ") : items[c];
        result.rows.append(row);
    }
    result.comment = text.mid(RowCount);
    return result;
}

TpdReadResult TpdFormat::readFile(const QString &path, int gridColCount)
{
    QString reason;
    const std::optional<QByteArray> bytes = RegularFile::read(path, MaximumFileSize, &reason);
    if (!bytes)
        return refused(TpdReadResult::LoadingError,
                       QStringLiteral("\"%1\" %2.").arg(QDir::toNativeSeparators(path), reason));
    return read(*bytes, gridColCount);
}

bool TpdFormat::saveToFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QString reason;
    if (writeFileAtomically(path, bytes, &reason))
        return true;
    if (error)
        *error = QStringLiteral("\"%1\" could not be saved: %2.").arg(QDir::toNativeSeparators(path), reason);
    return false;
}

QString TpdFormat::captionName(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}
