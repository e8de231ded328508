#pragma once

#include "app/ContentScroller.h"
#include "app/EditorView.h"
#include "app/TransferLock.h"
#include "app/WindowSettings.h"
#include "editor/EditorContext.h"
#include "files/commands/FileCommands.h"
#include "model/ProgramDocument.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class ChartPanelSplitter;
class CommXDownloadPort;
class GridEditor;
class HelpMenu;
class SegmentClipboard;
class ProgramDownload;
class PortChoice;
class ProgramDrop;
class ProgramHistory;
class RecentFilesMenu;
class ReportMenu;
struct ProgramReport;
class TCommX;
class TForm2;
class InitialTempField;
class Prompts;
class ProfileChart;
class QFrame;
class QMenu;
class QPlainTextEdit;
class QScrollArea;
class QTimer;
class QToolBar;
class QToolButton;
class SegmentGrid;
class SegmentGridModel;
class StatusBar1;
class TransferDisplay;
class TransferRecordMenu;
class TSpinEdit;
class WindowFrameSizing;

// The main window: creates the parts (the program document, the editing
// controls, the chart, the File commands, the undo history, the download and
// its display) and connects them; keeps the menus, the tool bar and the
// window's settings.
class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    static const QString Caption; // "Vantrel Assistant Ver.1.01"
    static constexpr int MinimumWidth = 770;
    static constexpr int MinimumHeight = 490;

    // Builds the window and runs FormCreate. The settings file is read from
    // settingsPath (the user's own file when empty).
    explicit TForm1(Prompts &prompts, const QString &settingsPath = QString(), QWidget *parent = nullptr);
    ~TForm1() override;

    // The program being edited.
    ProgramDocument &document() { return *m_document; }
    const ProgramDocument &document() const { return *m_document; }
    FileCommands &fileCommands() { return m_fileCommands; }
    const FileCommands &fileCommands() const { return m_fileCommands; }

    // The caption's fixed part.
    QString &TitleText;
    int ComPortNo = 0;
    int ComPortIndex = 0;

    int PortNo() const;
    TCommX &CommX1() const { return *m_commX1; }
    TForm2 *Form2() const { return m_form2; }
    ProgramDownload &download() const { return *m_download; }
    bool inTransfer() const { return m_inTransfer; }

    // Controls, by their given names.
    SegmentGrid *StringGrid1() const { return m_grid; }
    SegmentGridModel *gridModel() const { return m_model; }
    InitialTempField *Edit1() const { return m_edit1; }
    GridEditor *gridEditor() const { return m_gridEditor; }
    TSpinEdit *SpinEdit1() const { return m_spinEdit1; }
    QPlainTextEdit *Memo1() const { return m_memo1; }
    ProfileChart *Chart1() const { return m_chart; }
    ChartPanelSplitter *chartPanelSplitter() const { return m_chartPanelSplitter; }
    QScrollArea *contentScroller() const { return m_contentScroller; }
    StatusBar1 *statusBar1() const { return m_statusBar; }
    TransferRecordMenu *transferRecords() const { return m_transferRecords; }
    QTimer *Timer1() const;
    QToolButton *toolButton(int number) const; // ToolButton1..ToolButton5
    QMenu *F1() const { return m_fileMenu; }
    QMenu *C1() const { return m_commMenu; }
    QMenu *editMenu() const { return m_editMenu; }
    HelpMenu *helpMenu() const { return m_helpMenu; }
    Prompts &prompts() const { return m_prompts; }
    ProgramHistory &history() { return *m_history; }
    // Status panel 0: range hints and command results.
    void setHint(const QString &text);
    // Runs a command; an error it does not handle is shown by the default
    // error display and never reaches Qt's event loop.
    void guarded(const std::function<void()> &command);
    // The grid cell typed in last, and Edit1, checked.
    void CellCheck();
    void InitTempCheck();

    // Opens a file named when the program was started, as Open does after
    // its dialog; a file that cannot be loaded is reported over the window.
    void openFromCommandLine(const QString &path);
    RecentFilesMenu *recentFiles() const { return m_recentFiles; }
    // The program as the sheet and the exports show it, with the chart
    // redrawn first so they show what the window shows.
    ProgramReport currentReport();

    // The transfer's display (TransferDisplay), by the window's given names.
    void enterTransferState();
    void ButtanReset();

public slots:
    void N1Click();
    void Open1Click();
    void ImportSegments1Click();
    void Save1Click();
    void SaveAs1Click();
    void Exit1Click();
    void ToolButton4Click();
    void ToolButton5Click();
    void N6Click();
    void Timer1Timer();
    void SpinEdit1Change();
    // A port picked in the port setup window.
    void applyPortChoice(int portNo, int index, const QString &name);

    // Rebuilds the chart and the total time from the grid and InitialTemp.
    // Raises ConversionError, leaving both as they were, when a cell is not a number.
    void ChardDraw();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildEditMenu();
    void addSegmentClipboardItems();
    EditorView::Controls viewControls();
    // What the editing parts are given: the document, the history, the
    // prompts and the redraw.
    EditorContext editorContext();
    void buildToolBar();
    void addToolButtons(QToolBar *bar);
    QWidget *buildProgramNoPanel(QWidget *bar);
    QWidget *buildCentralArea();
    QWidget *buildInitialTempPanel(QWidget *lower);
    QWidget *buildComment(QWidget *lower);
    void FormCreate();
    // Locks (or frees) every control that could start another operation.
    void setTransferControls(bool transfer);
    void lockDuringTransfer();
    // The download, its display and the transfer record; the port choice.
    void buildTransfer();
    void buildPortChoice();
    void FormShow();
    bool FormCloseQuery();
    void FormClose();

    Prompts &m_prompts;
    ProgramDocument *m_document;
    EditorView m_view;
    WindowSettings m_settings;
    bool m_shown = false;
    bool m_inTransfer = false;
    QMetaObject::Connection m_focusConnection;
    WindowFrameSizing *m_frameSizing = nullptr;
    std::unique_ptr<TCommX> m_commX1;
    std::unique_ptr<CommXDownloadPort> m_downloadPort;
    std::unique_ptr<ProgramDownload> m_download;
    PortChoice *m_portChoice = nullptr;
    TForm2 *m_form2 = nullptr;

    SegmentGridModel *m_model = nullptr;
    SegmentGrid *m_grid = nullptr;
    ProfileChart *m_chart = nullptr;
    ChartPanelSplitter *m_chartPanelSplitter = nullptr;
    ContentScroller *m_contentScroller = nullptr;
    QFrame *m_panel1 = nullptr;
    InitialTempField *m_edit1 = nullptr;
    GridEditor *m_gridEditor = nullptr;
    SegmentClipboard *m_segmentClipboard = nullptr;
    TSpinEdit *m_spinEdit1 = nullptr;
    QPlainTextEdit *m_memo1 = nullptr;
    StatusBar1 *m_statusBar = nullptr;
    TransferDisplay *m_transfer = nullptr;
    TransferLock m_transferLock;
    TransferRecordMenu *m_transferRecords = nullptr;
    QToolButton *m_toolButtons[5] = {};
    QMenu *m_fileMenu = nullptr;
    QMenu *m_commMenu = nullptr;
    QMenu *m_editMenu = nullptr;
    HelpMenu *m_helpMenu = nullptr;
    ProgramHistory *m_history = nullptr;
    RecentFilesMenu *m_recentFiles = nullptr;
    ReportMenu *m_reportMenu = nullptr;
    ProgramDrop *m_programDrop = nullptr;
    FileCommands m_fileCommands;
};
