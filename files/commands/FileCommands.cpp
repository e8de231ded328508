#include "files/commands/FileCommands.h"

#include "model/SentProgram.h"

#include "files/FileQuestions.h"
#include "files/RegularFile.h"
#include "files/TpdFormat.h"
#include "files/commands/FileView.h"
#include "model/LabTerms.h"
#include "model/Numbers.h"
#include "model/ProgramDocument.h"
#include "model/Prompts.h"
#include "model/SegmentTable.h"
#include "model/StatusPanel.h"
#include "model/TemperatureProgram.h"

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

FileCommands::FileCommands(ProgramDocument &document, Prompts &prompts, FileView &view)
    : m_document(document)
    , m_prompts(prompts)
    , m_view(view)
{}

bool FileCommands::askYesNo(const QString &question)
{
    return m_prompts.box(ConfirmationCaption, question, Prompts::Icon::Question, Prompts::Yes | Prompts::No)
        == Prompts::Yes;
}

void FileCommands::showFailure(const QString &what, const QString &detail)
{
    m_prompts.message(detail.isEmpty() ? what : what + u'\n' + detail);
}

void FileCommands::newProgram()
{
    if (m_document.isModified() && !askYesNo(QStringLiteral("Are you sure you want to initialize this parameters?")))
        return;
    clearProgram();
    m_document.setModified(false);
}

void FileCommands::clearProgram()
{
    m_view.endGridEdit();
    m_view.setStatusText(StatusPanel::Hint, QString());
    m_view.setStatusText(StatusPanel::Transfer, QString());
    m_view.setStatusText(StatusPanel::TotalTime, ZeroTotalTime);
    m_document.setInitialTempText(QStringLiteral("0.0"));
    m_document.setInitialTemp(0);
    m_view.resetModeCombo();
    m_document.clearSlots();
    m_view.clearChart();
    m_document.setCommentLines({});
    m_document.setModified(false);
    m_document.setFileName(QString());
    // A change of the program number counts as an edit; New's own does not.
    m_document.setProgramNo(0);
    m_document.setModified(false);
    m_view.showGridCell(1, TemperatureProgram::ModeRow);
    m_view.programReplaced();
}

bool FileCommands::mayReplaceProgram()
{
    return !m_document.isModified()
        || askYesNo(QStringLiteral("Are you sure you want to delete the data you are editing ? "));
}

void FileCommands::openProgram()
{
    if (!mayReplaceProgram())
        return;
    chooseAndOpen();
}

void FileCommands::openPath(const QString &path)
{
    if (!mayReplaceProgram())
        return;
    loadFile(path);
}

void FileCommands::openAsNewProgram(const SentProgram &program)
{
    if (!mayReplaceProgram())
        return;
    clearProgram();
    const TemperatureProgram table = program.toTable();
    for (int row = TemperatureProgram::ModeRow; row <= TemperatureProgram::TimeRow; ++row)
        for (int col = 1; col <= TemperatureProgram::LastUsedColumn; ++col)
            m_document.setCell(row, col, table.cell(row, col));
    m_document.setProgramNo(program.programNo);
    m_document.setInitialTempText(program.initialTemp);
    m_document.setInitialTemp(parseDecimal(program.initialTemp).value_or(0));
    m_view.showGridCell(1, TemperatureProgram::ModeRow);
    try {
        m_view.redrawProfile();
    } catch (const ConversionError &e) {
        m_prompts.error(e.message());
    }
    m_document.setModified(true);
    m_view.programReplaced();
}

void FileCommands::chooseAndOpen()
{
    const QString chosen = m_prompts.openFileName(QStringLiteral("Open"), startFolder, Filter);
    if (chosen.isEmpty())
        return;
    loadFile(chosen);
}

void FileCommands::loadFile(const QString &chosen)
{
    const QString path = QFileInfo(chosen).absoluteFilePath();
    // The whole file is read and checked before anything in the editor
    // changes, so a refused file leaves the program as it was.
    const TpdReadResult loaded = TpdFormat::readFile(path, m_document.colCount());
    if (loaded.status != TpdReadResult::Loaded) {
        showFailure(QStringLiteral("Loading error"), loaded.detail);
        return;
    }
    applyLoaded(path, loaded);
}

void FileCommands::applyLoaded(const QString &path, const TpdReadResult &loaded)
{
    m_view.endGridEdit();
    m_document.setInitialTemp(loaded.initialTemp);
    for (int r = 0; r < TpdFormat::RowCount; ++r)
        m_document.setRow(TemperatureProgram::ModeRow + r, loaded.rows[r]);
    m_document.setCommentLines(loaded.comment);

    m_view.commentCaretToStart();
    m_document.setProgramNo(loaded.programNo);
    m_document.setInitialTempText(formatFixed(m_document.initialTemp(), 2));
    m_view.showGridCell(1, TemperatureProgram::TempRow);
    try {
        m_view.redrawProfile();
    } catch (const ConversionError &e) {
        // The values stay in the editor, but a program that cannot be drawn
        // does not become the current file; nor does the file loaded before
        // stay current, or Save would write this program over it.
        m_document.setFileName(QString());
        m_view.programReplaced();
        m_prompts.error(e.message());
        return;
    }
    startFolder = folderOf(path);
    m_document.setFileName(path);
    showFileInCaption(path);
    m_view.setStatusText(StatusPanel::Hint, QStringLiteral("Loading was completed"));
    m_document.setModified(false);
    m_view.programReplaced();
    m_view.fileUsed(path);
}

void FileCommands::importSegments()
{
    if (!mayReplaceProgram())
        return;
    const QString chosen = m_prompts.openFileName(QStringLiteral("Import segments from CSV"), startFolder,
                                                  QStringLiteral("CSV text(*.csv)|*.csv"));
    if (!chosen.isEmpty())
        importSegmentsFrom(chosen);
}

void FileCommands::importSegmentsFrom(const QString &path)
{
    QString reason;
    const std::optional<QByteArray> bytes = RegularFile::read(path, SegmentTable::MaximumTextSize, &reason);
    const SegmentTable::ReadResult read = bytes ? SegmentTable::read(SegmentTable::fromFileBytes(*bytes))
                                                : SegmentTable::ReadResult{{}, path + u' ' + reason};
    // A new program starts at 0.0.
    LabTerms::Resolved resolved =
        read.error.isEmpty() ? LabTerms::resolveDurations(read, 0) : LabTerms::Resolved{{}, {}, read.error};
    if (resolved.error.isEmpty())
        resolved.error = SegmentTable::fitRefusal(TemperatureProgram(), 1, int(resolved.segments.size()));
    if (!resolved.error.isEmpty()) {
        showFailure(QStringLiteral("Import error"), resolved.error);
        return;
    }
    clearProgram();
    TemperatureProgram table = m_document.table();
    SegmentTable::insert(table, 1, resolved.segments);
    m_document.restore(table);
    m_view.redrawProfile();
    m_view.setStatusText(StatusPanel::Hint, QStringLiteral("Import was completed"));
    // A new program that has never been saved.
    m_document.setModified(true);
    m_view.programReplaced();
}

void FileCommands::saveProgram()
{
    m_view.checkInitialTempField();
    if (m_document.initialTempError())
        return;
    // The cell typed in last may still be open and unchecked: a refused
    // value stops the save before anything is written.
    m_view.checkEditedCell();
    if (m_document.fileName().isEmpty()) {
        saveProgramAs();
        return;
    }
    saveTo(m_document.fileName());
}

void FileCommands::saveProgramAs()
{
    // "No" to the overwrite question starts over, dialog included.
    for (;;) {
        m_view.checkInitialTempField();
        if (m_document.initialTempError())
            return;
        m_view.checkEditedCell();
        QString chosen =
            m_prompts.saveFileName(QStringLiteral("Save as"), m_document.fileName(), Filter, DefaultExtension);
        if (chosen.isEmpty())
            return;
        if (QFileInfo(chosen).suffix().isEmpty())
            chosen += u'.' + DefaultExtension;
        const QString path = QFileInfo(chosen).absoluteFilePath();
        // Nothing is asked about a name that will not be replaced (a folder,
        // a FIFO, a device): the save refuses it and says why.
        if (!QFileInfo::exists(path) || !RegularFile::replaceRefusal(path).isEmpty()) {
            saveTo(path);
            return;
        }
        const Prompts::Button answer =
            m_prompts.box(ConfirmationCaption, overwriteQuestion(path), Prompts::Icon::Question,
                          Prompts::Yes | Prompts::No | Prompts::Cancel);
        if (answer == Prompts::Yes) {
            saveTo(path);
            return;
        }
        if (answer != Prompts::No)
            return;
    }
}

bool FileCommands::saveTo(const QString &path)
{
    // The normalised cells stay in the grid whatever the write gives.
    m_view.closeGridEditor();
    m_document.normaliseForSave();

    TpdProgram program;
    program.programNo = m_document.programNo();
    program.initialTempText = m_document.initialTempText();
    for (int row = TemperatureProgram::ModeRow; row <= TemperatureProgram::TimeRow; ++row)
        program.rows << m_document.table().rowCells(row);
    program.comment = m_document.commentLines();

    // Nothing is written unless every line can be stored as it is, and the
    // file on disk is replaced in one step.
    QString error;
    const QByteArray bytes = TpdFormat::write(program, &error);
    if (bytes.isEmpty() || !TpdFormat::saveToFile(path, bytes, &error)) {
        showFailure(QStringLiteral("Save error"), error);
        return false;
    }
    startFolder = folderOf(path);
    showFileInCaption(path);
    m_view.setStatusText(StatusPanel::Hint, QStringLiteral("Save was completed"));
    m_document.setModified(false);
    m_view.programSaved();
    m_document.setFileName(path);
    m_view.fileUsed(path);
    return true;
}

void FileCommands::showFileInCaption(const QString &path)
{
    m_view.setCaption(TpdFormat::captionName(path) + QStringLiteral(" - ") + m_view.titleText());
}
