// The settings file from its bytes: read, written back, read again. Values
// written must read back as written, and a file is only ever changed in the
// lines of the values written.

#include "fuzz/FuzzCheck.h"

#include "files/IniDocument.h"
#include "files/RecentFiles.h"
#include "files/SettingsFile.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

QString settingsPath;

void writeFile(const QByteArray &bytes)
{
    QFile file(settingsPath);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size(),
               file.errorString());
}

QByteArray readFile()
{
    QFile file(settingsPath);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly), file.errorString());
    return file.readAll();
}

QString describe(const AppSettings &s)
{
    return QStringLiteral("Left=%1 Top=%2 Width=%3 Height=%4 ComPortNo=%5 ComPortIndex=%6 PrgNo=%7 FileDir=%8")
        .arg(s.left)
        .arg(s.top)
        .arg(s.width)
        .arg(s.height)
        .arg(s.comPortNo)
        .arg(s.comPortIndex)
        .arg(s.prgNo)
        .arg(shown(s.fileDir));
}

// Writes the settings over the current file and reads them back.
AppSettings writeAndRead(const AppSettings &settings)
{
    QString error;
    FUZZ_CHECK(SettingsFile::write(settingsPath, settings, &error), error);
    return SettingsFile::read(settingsPath);
}

// Settings of a person's choosing: any position and port, a window at least
// of the smallest size, a program number of 0 to 7, and a folder name that
// an INI line holds as it is (one line, no blank at either end, not too long).
AppSettings chosenSettings(FuzzedDataProvider &input)
{
    AppSettings s;
    s.left = input.ConsumeIntegral<int>();
    s.top = input.ConsumeIntegral<int>();
    s.width = input.ConsumeIntegralInRange<int>(SettingsFile::MinimumWidth, 1 << 20);
    s.height = input.ConsumeIntegralInRange<int>(SettingsFile::MinimumHeight, 1 << 20);
    s.comPortNo = input.ConsumeIntegral<int>();
    s.comPortIndex = input.ConsumeIntegral<int>();
    s.prgNo = input.ConsumeIntegralInRange<int>(0, SettingsFile::MaximumProgramNo);
    const QByteArray folder = QByteArray::fromStdString(input.ConsumeRandomLengthString(3000));
    s.fileDir = QString::fromUtf8(folder);
    const bool storable = SettingsFile::fitsOnOneLine(s.fileDir) && s.fileDir.toUtf8().trimmed() == s.fileDir.toUtf8()
        && s.fileDir.size() <= SettingsFile::MaximumStringLength;
    if (!storable)
        s.fileDir.clear();
    return s;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***argv)
{
    makeApplication<QCoreApplication>(*argv);
    settingsPath = scratchFolder() + QStringLiteral("/VantrelAssistant.ini");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    // Held as its lines, the file comes out byte for byte as it went in.
    const IniDocument document(bytes);
    FUZZ_CHECK(document.toBytes() == bytes, shown(document.toBytes()) + QStringLiteral(" != ") + shown(bytes));

    // The recent files survive a trip through the file.
    const RecentFiles recent = RecentFiles::fromIni(document);
    FUZZ_CHECK(recent.paths().size() <= RecentFiles::MaximumCount, QString::number(recent.paths().size()));
    IniDocument withRecent = document;
    recent.toIni(withRecent);
    const QStringList recentAgain = RecentFiles::fromIni(IniDocument(withRecent.toBytes())).paths();
    FUZZ_CHECK(recentAgain == recent.paths(),
               shown(recentAgain.join(u'|')) + QStringLiteral(" != ") + shown(recent.paths().join(u'|')));
    FUZZ_CHECK(recent.menuTexts().size() == recent.paths().size(), QString::number(recent.menuTexts().size()));

    // What the editor reads at start, within the limits it keeps.
    writeFile(bytes);
    const AppSettings first = SettingsFile::read(settingsPath);
    FUZZ_CHECK(first.width >= SettingsFile::MinimumWidth && first.height >= SettingsFile::MinimumHeight
                   && first.prgNo >= 0 && first.prgNo <= SettingsFile::MaximumProgramNo
                   && first.fileDir.size() <= SettingsFile::MaximumStringLength,
               describe(first));

    // Written back unchanged at the end of a session, it reads the same; a
    // folder name that cannot be stored on one line is dropped.
    AppSettings expected = first;
    if (!SettingsFile::fitsOnOneLine(expected.fileDir))
        expected.fileDir.clear();
    const AppSettings kept = writeAndRead(first);
    FUZZ_CHECK(kept == expected, describe(kept) + QStringLiteral(" != ") + describe(expected));
    const QByteArray once = readFile();
    FUZZ_CHECK(writeAndRead(first) == expected && readFile() == once,
               shown(readFile()) + QStringLiteral(" != ") + shown(once));

    // Other values written over the same file read back as written, and
    // the recent files in it stay as they were.
    FuzzedDataProvider input(data, size);
    const AppSettings chosen = chosenSettings(input);
    const AppSettings read = writeAndRead(chosen);
    FUZZ_CHECK(read == chosen, describe(read) + QStringLiteral(" != ") + describe(chosen));
    const QStringList recentAfter = RecentFiles::fromIni(SettingsFile::load(settingsPath)).paths();
    FUZZ_CHECK(recentAfter == recent.paths(),
               shown(recentAfter.join(u'|')) + QStringLiteral(" != ") + shown(recent.paths().join(u'|')));
    return 0;
}
