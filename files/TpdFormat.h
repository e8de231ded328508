#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// A temperature program as it goes into a program file.
struct TpdProgram
{
    int programNo = 0;
    QString initialTempText;
    QList<QStringList> rows; // grid rows 1 to 4, each every cell from column 0 on
    QStringList comment;

    bool operator==(const TpdProgram &) const = default;
};

// What reading a program file gave. Only a Loaded result carries values;
// anything else means the file was refused as a whole.
struct TpdReadResult
{
    enum Status { Loaded, LoadingError, NotVersion };

    Status status = LoadingError;
    QString detail;    // why the file was refused, for diagnostics
    int programNo = 0; // kept within 0 to 7
    double initialTemp = 0.0;
    QList<QStringList> rows; // four rows of exactly gridColCount cells
    QStringList comment;

    // Why a file was refused, as a tool shows it after the file's name.
    QString reason() const { return status == NotVersion ? QStringLiteral("not a program file: ") + detail : detail; }
};

// The ".tpd" program file: CR LF lines "Ver1.00", program number, initial
// temperature, the grid's Mode, Temp., Rate and Time rows as comma lists,
// then the comment lines. Text is stored in code page 932.
class TpdFormat
{
public:
    static constexpr int RowCount = 4;
    static constexpr int MaximumProgramNo = 7;
    static constexpr qint64 MaximumFileSize = 16 * 1024 * 1024;

    // The file's bytes. Refuses (empty result, *error set) a program whose
    // row count is not four, a line break inside a cell or comment line, or
    // a character that code page 932 cannot hold: nothing is ever dropped or
    // replaced quietly.
    static QByteArray write(const TpdProgram &program, QString *error);

    // Reads a whole file at once; either everything loads or nothing does.
    // Lines end at CR LF, CR or LF, and a byte 0 ends the text. Row cells
    // beyond the file's last item stay empty, items beyond gridColCount are
    // dropped and an empty item becomes " ". The rows and the comment are
    // decoded together as code page 932; when their bytes are not valid there
    // but are valid UTF-8, as UTF-8; when neither, as code page 932 with
    // U+FFFD for each byte that does not start a valid character.
    static TpdReadResult read(const QByteArray &bytes, int gridColCount);

    // read() on a file's content, read by RegularFile::read: a file that
    // cannot be read, is not a regular file or is larger than
    // MaximumFileSize is a LoadingError naming the file and the reason.
    static TpdReadResult readFile(const QString &path, int gridColCount);

    // Replaces the file at `path` in one step, so that a failed save leaves
    // the old file whole. On failure *error names the file and the reason.
    static bool saveToFile(const QString &path, const QByteArray &bytes, QString *error);

    // The file name without its folder and its last extension:
    // "/data/run.old.tpd" gives "run.old".
    static QString captionName(const QString &path);
};
