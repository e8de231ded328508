#pragma once

#include <QString>

class FileView;
class ProgramDocument;
class Prompts;
struct TpdReadResult;
struct SentProgram;

// The File menu: New, Open, Save and Save as, with their questions, the
// caption and status texts, and the unsaved-changes flag. Changes the
// program through its document, and talks to the window only through FileView.
class FileCommands
{
public:
    static const QString Filter;           // "TemperatureProgData(*.tpd)|*.tpd"
    static const QString DefaultExtension; // "tpd"

    FileCommands(ProgramDocument &document, Prompts &prompts, FileView &view);

    // The folder the open dialog starts in, ending with "/": the folder of
    // the file last opened or saved.
    QString startFolder;

    // The File menu's items (the window's N1Click, Open1Click, Save1Click and
    // SaveAs1Click call these).
    // New: asks first when there are unsaved changes.
    void newProgram();
    // Open: asks first when there are unsaved changes.
    void openProgram();
    // Save: to the current file without a dialog, else as Save as.
    void saveProgram();
    // Save as: the save dialog, and the overwrite question for an existing file.
    void saveProgramAs();

    // "Import segments from CSV...": asks first when there are unsaved
    // changes, lets the person choose a table of segments and makes a new,
    // unsaved program of it. A table with a refused value is reported with
    // its line and column and leaves the editor as it was.
    void importSegments();
    void importSegmentsFrom(const QString &path);

    // Opens the file at `path` as Open does once its dialog has given one:
    // asks first when there are unsaved changes, and a file that cannot be
    // loaded leaves the editor as it was.
    void openPath(const QString &path);
    // The same without the question: for a file named when the editor starts.
    void loadFile(const QString &path);

    // A program kept elsewhere (a transfer record) as a new program that
    // has no file yet and counts as changed: asks first when there are
    // unsaved changes, as Open does.
    void openAsNewProgram(const SentProgram &program);

    // Resets the editor to an empty program.
    void clearProgram();
    // Lets the person choose a file and loads it. A file that cannot be
    // loaded leaves the editor as it was.
    void chooseAndOpen();
    // Writes the program to `path` and makes it the current file. Returns
    // whether the file was written.
    bool saveTo(const QString &path);

private:
    // Asks whether unsaved changes may go, when there are any.
    bool mayReplaceProgram();
    void applyLoaded(const QString &path, const TpdReadResult &loaded);
    void showFileInCaption(const QString &path);
    bool askYesNo(const QString &question);
    void showFailure(const QString &what, const QString &detail);

    ProgramDocument &m_document;
    Prompts &m_prompts;
    FileView &m_view;
};
