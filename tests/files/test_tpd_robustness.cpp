#include "files/TpdFormat.h"
#include "tests/support/TpdTestData.h"

#include <QTest>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

namespace {

// Bytes that steer the reader into its corners: line ends, the end of text,
// quotes, separators, digits and signs, and lead bytes of two-byte
// characters (CP932 and UTF-8).
constexpr std::array<char, 18> interesting = {'\r', '\n', '\0',       '"',        ',',        ' ',
                                              '\t', '0',  '9',        '-',        '.',        'e',
                                              'x',  '$',  char(0x81), char(0xE3), char(0x80), char(0xFF)};

class Mutator
{
public:
    explicit Mutator(std::uint32_t seed) : m_random(seed) {}

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }

    QByteArray mutate(QByteArray bytes)
    {
        // Most files keep their version line so that the deeper steps run.
        const int from = below(5) == 0 ? 0 : 9;
        const int steps = 1 + below(4);
        for (int i = 0; i < steps; ++i) {
            const int size = int(bytes.size());
            // Without the guard, aim at the head of the file half the time.
            const int end = from == 0 && below(2) == 0 ? std::min(size, 16) : size;
            const int pos = end > from ? from + below(end - from) : size;
            switch (below(7)) {
            case 0:
                bytes.truncate(pos);
                break;
            case 1:
                if (pos < size)
                    bytes[pos] = char(below(256));
                break;
            case 2:
                if (pos < size)
                    bytes[pos] = interesting[below(int(interesting.size()))];
                break;
            case 3:
                bytes.insert(pos, interesting[below(int(interesting.size()))]);
                break;
            case 4:
                bytes.remove(pos, below(40));
                break;
            case 5:
                if (pos < size) {
                    const QByteArray piece = bytes.mid(pos, below(60));
                    bytes.insert(from + below(int(bytes.size()) - from + 1), piece);
                }
                break;
            default:
                // Replace one whole line with another line of the file.
                bytes = swapLines(bytes);
                break;
            }
        }
        return bytes;
    }

private:
    QByteArray swapLines(const QByteArray &bytes)
    {
        QList<QByteArray> lines = bytes.split('\n');
        if (lines.size() < 3)
            return bytes;
        const int a = 1 + below(int(lines.size()) - 1);
        const int b = 1 + below(int(lines.size()) - 1);
        lines[a] = lines[b];
        return lines.join('\n');
    }

    std::mt19937 m_random;
};

bool startsWithVersionLine(const QByteArray &bytes)
{
    return bytes.startsWith("Ver1.00")
        && (bytes.size() == 7 || bytes[7] == '\r' || bytes[7] == '\n' || bytes[7] == '\0');
}

bool holdsLineBreak(const QString &text)
{
    return text.contains(u'\r') || text.contains(u'\n') || text.contains(QChar(0));
}

} // namespace

class TpdRobustnessTest : public QObject
{
    Q_OBJECT

private slots:
    // Every mutated or cut file either loads with a well-formed result or is
    // refused; what loads and can be written again reads back the same.
    void mutatedFiles()
    {
        QList<QByteArray> seeds;
        for (const QString &name : goldenFileNames())
            seeds << goldenBytes(name);

        constexpr int fileCount = 100000;
        constexpr std::array<int, 6> columnCounts = {0, 1, 5, 33, 34, 40};
        Mutator mutator(20261207u);
        int loaded = 0, refused = 0, notVersion = 0, rewritten = 0;

        for (int i = 0; i < fileCount; ++i) {
            const QByteArray bytes = mutator.mutate(seeds[mutator.below(int(seeds.size()))]);
            const int columns = columnCounts[mutator.below(int(columnCounts.size()))];
            const TpdReadResult result = TpdFormat::read(bytes, columns);

            switch (result.status) {
            case TpdReadResult::NotVersion:
                ++notVersion;
                QVERIFY2(!startsWithVersionLine(bytes), bytes.toHex().constData());
                continue;
            case TpdReadResult::LoadingError:
                ++refused;
                QVERIFY(result.rows.isEmpty() && result.comment.isEmpty());
                continue;
            case TpdReadResult::Loaded:
                ++loaded;
                break;
            }

            QVERIFY2(startsWithVersionLine(bytes), bytes.toHex().constData());
            QVERIFY(result.programNo >= 0 && result.programNo <= TpdFormat::MaximumProgramNo);
            QVERIFY(std::isfinite(result.initialTemp));
            QCOMPARE(result.rows.size(), TpdFormat::RowCount);
            for (const QStringList &row : result.rows) {
                QCOMPARE(row.size(), columns);
                for (const QString &cell : row)
                    QVERIFY(!holdsLineBreak(cell));
            }
            for (const QString &line : result.comment)
                QVERIFY(!holdsLineBreak(line));

            TpdProgram again;
            again.programNo = result.programNo;
            again.initialTempText = QStringLiteral("0.00");
            again.rows = result.rows;
            again.comment = result.comment;
            const QByteArray written = TpdFormat::write(again, nullptr);
            if (written.isEmpty())
                continue; // text the code page cannot hold, refused on purpose
            ++rewritten;
            const TpdReadResult reread = TpdFormat::read(written, columns);
            QCOMPARE(reread.status, TpdReadResult::Loaded);
            // An empty cell is written as an empty item and comes back as " ",
            // except in a row of one cell: its line is empty and holds no item.
            QList<QStringList> expected = result.rows;
            for (QStringList &row : expected) {
                for (QString &cell : row) {
                    if (cell.isEmpty() && row.size() > 1)
                        cell = QStringLiteral(" ");
                }
            }
            QCOMPARE(reread.rows, expected);
            QCOMPARE(reread.comment, result.comment);
        }

        qInfo("%d files: %d loaded (%d written again), %d refused, %d without version line", fileCount, loaded,
              rewritten, refused, notVersion);
        // The mutations must reach every outcome, or the test proves little.
        QVERIFY(loaded > fileCount / 10);
        QVERIFY(refused > fileCount / 20);
        QVERIFY(notVersion > fileCount / 50);
        QVERIFY(rewritten > loaded / 2);
    }
};

QTEST_GUILESS_MAIN(TpdRobustnessTest)
#include "test_tpd_robustness.moc"
