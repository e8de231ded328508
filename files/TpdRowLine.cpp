#include "files/TpdRowLine.h"

namespace {

bool isBlank(QChar c) { return c.unicode() >= 1 && c.unicode() <= 32; }

bool needsQuotes(const QString &cell)
{
    for (QChar c : cell) {
        if (c.unicode() <= 32 || c == u'"' || c == u',')
            return true;
    }
    return false;
}

} // namespace

namespace TpdRowLine {

QString join(const QStringList &cells)
{
    QString line;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            line += u',';
        const QString &cell = cells[i];
        if (needsQuotes(cell)) {
            QString quoted = cell;
            quoted.replace(u'"', QStringLiteral("\"\""));
            line += u'"' + quoted + u'"';
        } else {
            line += cell;
        }
    }
    return line;
}

QStringList split(QStringView line)
{
    QStringList items;
    // A character of code 0 ends the text.
    const qsizetype nul = line.indexOf(QChar(0));
    const qsizetype size = nul < 0 ? line.size() : nul;
    items.reserve(line.left(size).count(u',') + 1);
    qsizetype pos = 0;
    auto skipBlanks = [&] {
        while (pos < size && isBlank(line[pos]))
            ++pos;
    };

    skipBlanks();
    while (pos < size) {
        QString item;
        if (line[pos] == u'"') {
            ++pos;
            while (pos < size) {
                if (line[pos] == u'"') {
                    if (pos + 1 < size && line[pos + 1] == u'"') {
                        item += u'"';
                        pos += 2;
                        continue;
                    }
                    ++pos; // the closing quote
                    break;
                }
                item += line[pos++];
            }
        } else {
            const qsizetype start = pos;
            while (pos < size && line[pos].unicode() > 32 && line[pos] != u',')
                ++pos;
            item = line.mid(start, pos - start).toString();
        }
        items.append(item);

        skipBlanks();
        if (pos < size && line[pos] == u',') {
            if (pos + 1 == size)
                items.append(QString());
            ++pos;
            skipBlanks();
        }
    }
    return items;
}

} // namespace TpdRowLine
