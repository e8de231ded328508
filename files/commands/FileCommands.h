#pragma once

#include <QString>

class FileCommandsHost;
struct TpdReadResult;

// The File menu: New, Open, Save and Save as, with their questions, the
// caption and status texts, and the unsaved-changes flag. Talks to the
// window only through FileCommandsHost.
class FileCommands
{
public:
    static const QString Filter;           // "TemperatureProgData(*.tpd)|*.tpd"
    static const QString DefaultExtension; // "tpd"

    explicit FileCommands(FileCommandsHost &host);

    // New: asks first when there are unsaved changes.
    void N1Click();
    // Open: asks first when there are unsaved changes.
    void Open1Click();
    // Save: to the current file without a dialog, else as Save as.
    void Save1Click();
    // Save as: the save dialog, and the overwrite question for an existing file.
    void SaveAs1Click();

    // Opens the file at `path` as Open does once its dialog has given one:
    // asks first when there are unsaved changes, and a file that cannot be
    // loaded leaves the editor as it was.
    void OpenPath(const QString &path);
    // The same without the question: for a file named when the editor starts.
    void LoadFile(const QString &path);

    // Resets the editor to an empty program.
    void New();
    // Lets the person choose a file and loads it. A file that cannot be
    // loaded leaves the editor as it was.
    void FileOpen();
    // Writes the program to `path` and makes it the current file. Returns
    // whether the file was written.
    bool FileSaveExecution(const QString &path);

private:
    // Asks whether unsaved changes may go, when there are any.
    bool mayReplaceProgram();
    void applyLoaded(const QString &path, const TpdReadResult &loaded);
    void showFileInCaption(const QString &path);
    bool askYesNo(const QString &question);
    void showFailure(const QString &what, const QString &detail);

    FileCommandsHost &m_host;
};
