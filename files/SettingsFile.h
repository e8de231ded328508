#pragma once

#include <QString>

#include <functional>

class IniDocument;

// What the application remembers between runs.
struct AppSettings
{
    int left = 0;
    int top = 0;
    int width = 770;
    int height = 490;
    int comPortNo = 0;
    int comPortIndex = 0;
    int prgNo = 0;
    QString fileDir;

    bool operator==(const AppSettings &) const = default;
};

// The per-user settings file, an INI file with the sections "Window" (Left,
// Top, Width, Height) and "System" (ComPortNo, ComPortIndex, PrgNo, FileDir).
class SettingsFile
{
public:
    static constexpr int MinimumWidth = 770;
    static constexpr int MinimumHeight = 490;
    static constexpr int MaximumProgramNo = 7;
    static constexpr int MaximumStringLength = 2047;
    // A larger file is not a settings file of ours: it is not read, and
    // not replaced either.
    static constexpr qint64 MaximumFileSize = 1024 * 1024;

    // <config folder>/Orrisan/VantrelAssistant/VantrelAssistant.ini, where the
    // config folder is $XDG_CONFIG_HOME or ~/.config.
    static QString defaultPath();

    // Never fails: a missing or unreadable file, section or key, or a value
    // that is not a valid integer, gives that key's default. Width and height
    // are raised to the window's minimum size, PrgNo is kept within 0 to 7.
    static AppSettings read(const QString &path);

    // Writes the eight keys as decimal text (FileDir as given), creating
    // missing folders and keeping every other line of an existing file. The
    // file is replaced in one step, so a failure leaves the old file as it
    // was; then returns false and sets *error to a message naming the file.
    static bool write(const QString &path, const AppSettings &settings, QString *error);

    // The settings file as it is; empty when missing, unreadable, larger
    // than MaximumFileSize or not a regular file (a FIFO is never waited on).
    static IniDocument load(const QString &path);
    // Reads the file, lets `change` set values, and writes it back as write()
    // does: every other line kept, replaced in one step, folders created.
    static bool update(const QString &path, const std::function<void(IniDocument &)> &change, QString *error);
    // Whether a value can be stored in an INI line as it is.
    static bool fitsOnOneLine(const QString &value);
};
