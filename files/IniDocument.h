#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// An INI file held as its lines, byte for byte, so that changing one value
// rewrites only that value's line and every other line (comments, unknown
// sections and keys, blank lines, line ends) comes out exactly as it went in.
//
// Lookup follows the Windows private-profile functions: section and key names
// compare case-insensitively, names and values are trimmed, the first of
// several equal sections or keys wins, and lines starting with ';' are
// comments. Text is UTF-8.
class IniDocument
{
public:
    IniDocument() = default;
    explicit IniDocument(const QByteArray &bytes);

    std::optional<QString> value(QStringView section, QStringView key) const;

    // Sets a value, adding the key (at the end of its section) or the section
    // (at the end of the file) when missing. A line break in `value` would
    // split the line, so the caller must not pass one.
    void setValue(const QString &section, const QString &key, const QString &value);

    QByteArray toBytes() const;

private:
    struct Line
    {
        QByteArray text; // without its line end
        QByteArray end;  // "\n", "\r\n", or empty for a last line without one
    };
    enum class Kind { Other, Section, Key };
    struct Parsed
    {
        Kind kind = Kind::Other;
        QString name;     // section or key name, trimmed
        QByteArray value; // key value, trimmed
    };

    static Parsed parse(const QByteArray &text);
    qsizetype findSection(QStringView section) const;
    qsizetype sectionEnd(qsizetype header) const;
    void insertLine(qsizetype index, const QByteArray &text);

    QList<Line> m_lines;
    QByteArray m_bom;
    QByteArray m_newLineEnd = "\n";
};
