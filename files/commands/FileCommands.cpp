#include "files/commands/FileCommands.h"

#include "editor/EditorHost.h"
#include "files/commands/FileCommandsHost.h"
#include "files/FileQuestions.h"
#include "model/Numbers.h"
#include "model/Prompts.h"
#include "files/RegularFile.h"
#include "editor/SegmentGridModel.h"
#include "model/TemperatureProgram.h"
#include "files/TpdFormat.h"

#include <QFileInfo>

const QString FileCommands::Filter = QStringLiteral("TemperatureProgData(*.tpd)|*.tpd");
const QString FileCommands::DefaultExtension = QStringLiteral("tpd");

namespace {
const QString ZeroTotalTime = QStringLiteral("Total time:0min0sec(0.00min)");

// The folder of a file, ending with "/".
QString folderOf(const QString &path)
{
    QString folder = QFileInfo(path).absolutePath();
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}
}

FileCommands::FileCommands(FileCommandsHost &host)
    : m_host(host)
{
}

bool FileCommands::askYesNo(const QString &question)
{
    return m_host.prompts().box(ConfirmationCaption, question, Prompts::Icon::Question, Prompts::Yes | Prompts::No)
           == Prompts::Yes;
}

void FileCommands::showFailure(const QString &what, const QString &detail)
{
    m_host.prompts().message(detail.isEmpty() ? what : what + u'\n' + detail);
}

void FileCommands::N1Click()
{
    if (m_host.editorState().DataModified
        && !askYesNo(QStringLiteral("Are you sure you want to initialize this parameters?")))
        return;
    New();
    m_host.editorState().DataModified = false;
}

void FileCommands::New()
{
    EditorState &state = m_host.editorState();
    m_host.endGridEdit();
    m_host.setStatusText(0, QString());
    m_host.setStatusText(1, QString());
    m_host.setStatusText(2, ZeroTotalTime);
    m_host.setInitialTempText(QStringLiteral("0.0"));
    state.InitialTemp = 0;
    m_host.resetModeCombo();
    m_host.segmentModel().clearSlots();
    m_host.clearChart();
    m_host.setCommentLines({});
    state.DataModified = false;
    m_host.currentFileName().clear();
    // A change of the program number counts as an edit; New's own does not.
    m_host.setProgramNo(0);
    state.DataModified = false;
    m_host.showGridCell(1, TemperatureProgram::ModeRow);
    m_host.programReplaced();
}

bool FileCommands::mayReplaceProgram()
{
    return !m_host.editorState().DataModified
        || askYesNo(QStringLiteral("Are you sure you want to delete the data you are editing ? "));
}

void FileCommands::Open1Click()
{
    if (!mayReplaceProgram())
        return;
    FileOpen();
}

void FileCommands::OpenPath(const QString &path)
{
    if (!mayReplaceProgram())
        return;
    LoadFile(path);
}

void FileCommands::FileOpen()
{
    const QString chosen = m_host.prompts().openFileName(QStringLiteral("Open"), m_host.fileDir(), Filter);
    if (chosen.isEmpty())
        return;
    LoadFile(chosen);
}

void FileCommands::LoadFile(const QString &chosen)
{
    const QString path = QFileInfo(chosen).absoluteFilePath();
    // The whole file is read and checked before anything in the editor
    // changes, so a refused file leaves the program as it was.
    const TpdReadResult loaded = TpdFormat::readFile(path, m_host.segmentModel().columnCount());
    if (loaded.status != TpdReadResult::Loaded) {
        showFailure(QStringLiteral("Loading error"), loaded.detail);
        return;
    }
    applyLoaded(path, loaded);
}

void FileCommands::applyLoaded(const QString &path, const TpdReadResult &loaded)
{
    EditorState &state = m_host.editorState();
    m_host.endGridEdit();
    state.InitialTemp = loaded.initialTemp;
    SegmentGridModel &model = m_host.segmentModel();
    for (int r = 0; r < TpdFormat::RowCount; ++r)
        model.setRow(TemperatureProgram::ModeRow + r, loaded.rows[r]);
    m_host.setCommentLines(loaded.comment);

    m_host.commentCaretToStart();
    m_host.setProgramNo(loaded.programNo);
    m_host.setInitialTempText(formatFixed(state.InitialTemp, 2));
    m_host.showGridCell(1, TemperatureProgram::TempRow);
    try {
        m_host.ChardDraw();
    } catch (const ConversionError &e) {
        // The values stay in the editor, but a program that cannot be drawn
        // does not become the current file; nor does the file loaded before
        // stay current, or Save would write this program over it.
        m_host.currentFileName().clear();
        m_host.programReplaced();
        m_host.prompts().error(e.message());
        return;
    }
    m_host.fileDir() = folderOf(path);
    m_host.currentFileName() = path;
    showFileInCaption(path);
    m_host.setStatusText(0, QStringLiteral("Loading was completed"));
    state.DataModified = false;
    m_host.programReplaced();
    m_host.fileUsed(path);
}

void FileCommands::Save1Click()
{
    m_host.InitTempCheck();
    if (m_host.editorState().InitTempError)
        return;
    // The cell typed in last may still be open and unchecked: a refused
    // value stops the save before anything is written.
    m_host.CellCheck();
    if (m_host.currentFileName().isEmpty()) {
        SaveAs1Click();
        return;
    }
    FileSaveExecution(m_host.currentFileName());
}

void FileCommands::SaveAs1Click()
{
    // "No" to the overwrite question starts over, dialog included.
    for (;;) {
        m_host.InitTempCheck();
        if (m_host.editorState().InitTempError)
            return;
        m_host.CellCheck();
        QString chosen = m_host.prompts().saveFileName(QStringLiteral("Save as"), m_host.currentFileName(), Filter,
                                                       DefaultExtension);
        if (chosen.isEmpty())
            return;
        if (QFileInfo(chosen).suffix().isEmpty())
            chosen += u'.' + DefaultExtension;
        const QString path = QFileInfo(chosen).absoluteFilePath();
        // Nothing is asked about a name that will not be replaced (a folder,
        // a FIFO, a device): the save refuses it and says why.
        if (!QFileInfo::exists(path) || !RegularFile::replaceRefusal(path).isEmpty()) {
            FileSaveExecution(path);
            return;
        }
        const Prompts::Button answer = m_host.prompts().box(
            ConfirmationCaption, overwriteQuestion(path), Prompts::Icon::Question, Prompts::Yes | Prompts::No | Prompts::Cancel);
        if (answer == Prompts::Yes) {
            FileSaveExecution(path);
            return;
        }
        if (answer != Prompts::No)
            return;
    }
}

bool FileCommands::FileSaveExecution(const QString &path)
{
    // The normalised cells stay in the grid whatever the write gives.
    m_host.closeGridEditor();
    SegmentGridModel &model = m_host.segmentModel();
    model.normaliseForSave();

    TpdProgram program;
    program.programNo = m_host.programNo();
    program.initialTempText = m_host.initialTempText();
    for (int row = TemperatureProgram::ModeRow; row <= TemperatureProgram::TimeRow; ++row) {
        QStringList cells;
        for (int col = 0; col < model.columnCount(); ++col)
            cells << model.cell(row, col);
        program.rows << cells;
    }
    program.comment = m_host.commentLines();

    // Nothing is written unless every line can be stored as it is, and the
    // file on disk is replaced in one step.
    QString error;
    const QByteArray bytes = TpdFormat::write(program, &error);
    if (bytes.isEmpty() || !TpdFormat::saveToFile(path, bytes, &error)) {
        showFailure(QStringLiteral("Save error"), error);
        return false;
    }
    m_host.fileDir() = folderOf(path);
    showFileInCaption(path);
    m_host.setStatusText(0, QStringLiteral("Save was completed"));
    m_host.editorState().DataModified = false;
    m_host.programSaved();
    m_host.currentFileName() = path;
    m_host.fileUsed(path);
    return true;
}

void FileCommands::showFileInCaption(const QString &path)
{
    m_host.setCaption(TpdFormat::captionName(path) + QStringLiteral(" - ") + m_host.titleText());
}
