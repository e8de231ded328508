#pragma once

#include "editor/HistoryView.h"
#include "files/commands/FileView.h"

class GridEditor;
class InitialTempField;
class ProfileChart;
class ProgramDocument;
class ProgramHistory;
class QMainWindow;
class QPlainTextEdit;
class RecentFilesMenu;
class SegmentGrid;
class SegmentGridModel;
class StatusBar1;

// The main window's controls as the File commands and the undo history see
// them: the grid and its Mode list, the chart and the total time, the
// comment's caret, the caption and the status panels. Holds no state of its
// own; the window hands it its controls once they are built.
class EditorView : public FileView, public HistoryView
{
public:
    struct Controls
    {
        QMainWindow *window = nullptr;
        SegmentGrid *grid = nullptr;
        SegmentGridModel *model = nullptr;
        GridEditor *gridEditor = nullptr;
        InitialTempField *edit1 = nullptr;
        QPlainTextEdit *memo = nullptr;
        ProfileChart *chart = nullptr;
        StatusBar1 *statusBar = nullptr;
        RecentFilesMenu *recentFiles = nullptr;
        ProgramHistory *history = nullptr;
    };

    explicit EditorView(ProgramDocument &document) : m_document(document) {}
    void setControls(const Controls &controls) { m_c = controls; }
    // The grid editor goes first when the window closes.
    void forgetGridEditor() { m_c.gridEditor = nullptr; }

    // The caption's fixed part, after the file name.
    QString TitleText;

    // FileView and HistoryView
    void checkInitialTempField() override;
    void checkEditedCell() override;
    void redrawProfile() override;
    void clearChart() override;
    QString titleText() const override { return TitleText; }
    void setCaption(const QString &caption) override;
    // The caption marked as changed while the program has unsaved changes.
    void showModified();
    // The caption as the window's title: with Qt's "[*]" placeholder, after
    // the file's name, when modified; the caption itself otherwise.
    static QString markedCaption(const QString &caption, bool modified);
    void setStatusText(int panel, const QString &text) override;
    void closeGridEditor() override;
    void endGridEdit() override;
    void showGridCell(int col, int row) override;
    void resetModeCombo() override;
    void commentCaretToStart() override;
    void programReplaced() override;
    void programSaved() override;
    void fileUsed(const QString &path) override;
    bool cellEditorOpen() const override;
    void showChangedCell(int col, int row) override;
    void placeCommentCaret(int caret) override;

private:
    ProgramDocument &m_document;
    Controls m_c;
};
