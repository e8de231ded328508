#include "files/IniDocument.h"

#include <QStringDecoder>

namespace {

const QByteArray utf8Bom("\xEF\xBB\xBF");

// A value's text. QString::fromUtf8 would drop a byte order mark at its
// start, but only the one at the start of the file is a mark: inside a
// line it is a character of the value.
QString valueText(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

} // namespace

IniDocument::IniDocument(const QByteArray &bytes)
{
    QByteArray rest = bytes;
    if (rest.startsWith(utf8Bom)) {
        m_bom = utf8Bom;
        rest.remove(0, utf8Bom.size());
    }

    qsizetype start = 0;
    bool lineEndChosen = false;
    while (start < rest.size()) {
        const qsizetype newline = rest.indexOf('\n', start);
        Line line;
        if (newline < 0) {
            line.text = rest.mid(start);
            start = rest.size();
        } else {
            line.text = rest.mid(start, newline - start);
            line.end = "\n";
            if (line.text.endsWith('\r')) {
                line.text.chop(1);
                line.end = "\r\n";
            }
            start = newline + 1;
            if (!lineEndChosen) {
                m_newLineEnd = line.end;
                lineEndChosen = true;
            }
        }
        m_lines.append(line);
    }
}

IniDocument::Parsed IniDocument::parse(const QByteArray &text)
{
    Parsed parsed;
    const QByteArray trimmed = text.trimmed();
    if (trimmed.startsWith('[')) {
        qsizetype close = trimmed.indexOf(']');
        if (close < 0)
            close = trimmed.size();
        parsed.kind = Kind::Section;
        parsed.name = QString::fromUtf8(trimmed.mid(1, close - 1).trimmed());
        return parsed;
    }
    if (trimmed.startsWith(';'))
        return parsed;
    const qsizetype equals = trimmed.indexOf('=');
    if (equals <= 0)
        return parsed;
    parsed.kind = Kind::Key;
    parsed.name = QString::fromUtf8(trimmed.left(equals).trimmed());
    parsed.value = trimmed.mid(equals + 1).trimmed();
    return parsed;
}

qsizetype IniDocument::findSection(QStringView section) const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const Parsed parsed = parse(m_lines[i].text);
        if (parsed.kind == Kind::Section && parsed.name.compare(section, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

qsizetype IniDocument::sectionEnd(qsizetype header) const
{
    qsizetype i = header + 1;
    while (i < m_lines.size() && parse(m_lines[i].text).kind != Kind::Section)
        ++i;
    return i;
}

std::optional<QString> IniDocument::value(QStringView section, QStringView key) const
{
    const qsizetype header = findSection(section);
    if (header < 0)
        return std::nullopt;
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const Parsed parsed = parse(m_lines[i].text);
        if (parsed.kind == Kind::Key && parsed.name.compare(key, Qt::CaseInsensitive) == 0)
            return valueText(parsed.value);
    }
    return std::nullopt;
}

void IniDocument::insertLine(qsizetype index, const QByteArray &text)
{
    // The line before the new one may be a last line without a line end.
    if (index > 0 && m_lines[index - 1].end.isEmpty())
        m_lines[index - 1].end = m_newLineEnd;
    m_lines.insert(index, Line{text, m_newLineEnd});
}

void IniDocument::setValue(const QString &section, const QString &key, const QString &value)
{
    const QByteArray keyLine = key.toUtf8() + '=' + value.toUtf8();

    const qsizetype header = findSection(section);
    if (header < 0) {
        const bool needsGap = !m_lines.isEmpty() && !m_lines.last().text.trimmed().isEmpty();
        if (needsGap)
            insertLine(m_lines.size(), QByteArray());
        insertLine(m_lines.size(), '[' + section.toUtf8() + ']');
        insertLine(m_lines.size(), keyLine);
        return;
    }

    const qsizetype end = sectionEnd(header);
    qsizetype lastContent = header;
    for (qsizetype i = header + 1; i < end; ++i) {
        const Parsed parsed = parse(m_lines[i].text);
        if (parsed.kind == Kind::Key && parsed.name.compare(key, Qt::CaseInsensitive) == 0) {
            m_lines[i].text = keyLine;
            return;
        }
        if (!m_lines[i].text.trimmed().isEmpty())
            lastContent = i;
    }
    // New keys go after the section's last non-blank line, so blank lines
    // that separate it from the next section stay where they are.
    insertLine(lastContent + 1, keyLine);
}

QByteArray IniDocument::toBytes() const
{
    QByteArray bytes = m_bom;
    for (const Line &line : m_lines)
        bytes += line.text + line.end;
    return bytes;
}
