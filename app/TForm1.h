#pragma once

#include "editor/EditorHost.h"
#include "comm/link/TransferWindow.h"
#include "files/commands/FileCommands.h"
#include "files/commands/FileCommandsHost.h"
#include "editor/ProgramDocument.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class ChartPanelSplitter;
class CommXDownloadPort;
class GridEditor;
class ProgramDownload;
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
class QTimer;
class QToolButton;
class SegmentGrid;
class SegmentGridModel;
class StatusBar1;
class TSpinEdit;
class WindowFrameSizing;

// The main window: holds the program in its controls, wires the commands to
// the parts that carry them out, and shows the status.
class TForm1 : public QMainWindow, public EditorState, public EditorHost, public TransferWindow,
               public FileCommandsHost, public ProgramDocument
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

    // Editor state shared by the commands (besides EditorState).
    QString CurrentFileName;
    QString FileDir;
    int ComPortNo = 0;
    int ComPortIndex = 0;
    QString TitleText;

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
    StatusBar1 *statusBar1() const { return m_statusBar; }
    QTimer *Timer1() const { return m_timer1; }
    QToolButton *toolButton(int number) const; // ToolButton1..ToolButton5
    QMenu *F1() const { return m_fileMenu; }
    QMenu *C1() const { return m_commMenu; }
    QMenu *editMenu() const { return m_editMenu; }
    // EditorHost
    EditorState &editorState() override { return *this; }
    Prompts &prompts() const override { return m_prompts; }
    ProgramHistory &history() override { return *m_history; }
    void setHint(const QString &text) override;
    // Runs a command; an error it does not handle is shown by the default
    // error display and never reaches Qt's event loop.
    void guarded(const std::function<void()> &command) override;
    // FileCommandsHost
    SegmentGridModel &segmentModel() override { return *m_model; }
    QString initialTempText() const override;
    void setInitialTempText(const QString &text) override;
    void InitTempCheck() override;
    int programNo() const override;
    void setProgramNo(int programNo) override;
    QStringList commentLines() const override;
    void setCommentLines(const QStringList &lines) override;
    void commentCaretToStart() override;
    QString titleText() const override { return TitleText; }
    void setCaption(const QString &caption) override { setWindowTitle(caption); }
    void setStatusText(int panel, const QString &text) override;
    void clearChart() override;
    void closeGridEditor() override;
    void endGridEdit() override;
    void showGridCell(int col, int row) override;
    void resetModeCombo() override;
    QString &currentFileName() override { return CurrentFileName; }
    QString &fileDir() override { return FileDir; }
    void fileUsed(const QString &path) override;
    void programReplaced() override;
    void programSaved() override;
    // ProgramDocument (besides the above)
    QString commentText() const override;
    void setCommentText(const QString &text, int caret) override;
    void showChangedCell(int col, int row) override;
    bool cellEditorOpen() const override;

    // Opens a file named when the program was started, as Open does after
    // its dialog; a file that cannot be loaded is reported over the window.
    void openFromCommandLine(const QString &path);
    RecentFilesMenu *recentFiles() const { return m_recentFiles; }
    ReportMenu *reportMenu() const { return m_reportMenu; }
    // The program as the sheet and the exports show it, with the chart
    // redrawn first so they show what the window shows.
    ProgramReport currentReport();

    // TransferWindow (with initialTempText and programNo above)
    bool initialTempAccepted() override;
    void CellCheck() override; // also FileCommandsHost's
    void enterTransferState() override;
    void ButtanReset() override;
    void stopActivity() override;
    void startSending() override;
    void setTransferStatus(const QString &text) override;
    TemperatureProgram segmentTable() const override;

public slots:
    void F1Click();
    void N1Click();
    void Open1Click();
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
    void ChardDraw() override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildEditMenu();
    void buildToolBar();
    QWidget *buildCentralArea();
    void FormCreate();
    // Locks (or frees) every control that could start another operation.
    void setTransferControls(bool transfer);
    void FormShow();
    bool FormCloseQuery();
    void FormClose();

    Prompts &m_prompts;
    QString m_settingsPath;
    bool m_shown = false;
    bool m_inTransfer = false;
    QMetaObject::Connection m_focusConnection;
    WindowFrameSizing *m_frameSizing = nullptr;
    std::unique_ptr<TCommX> m_commX1;
    std::unique_ptr<CommXDownloadPort> m_downloadPort;
    std::unique_ptr<ProgramDownload> m_download;
    TForm2 *m_form2 = nullptr;

    SegmentGridModel *m_model = nullptr;
    SegmentGrid *m_grid = nullptr;
    ProfileChart *m_chart = nullptr;
    ChartPanelSplitter *m_chartPanelSplitter = nullptr;
    QFrame *m_panel1 = nullptr;
    InitialTempField *m_edit1 = nullptr;
    GridEditor *m_gridEditor = nullptr;
    TSpinEdit *m_spinEdit1 = nullptr;
    QPlainTextEdit *m_memo1 = nullptr;
    StatusBar1 *m_statusBar = nullptr;
    QTimer *m_timer1 = nullptr;
    QToolButton *m_toolButtons[5] = {};
    QMenu *m_fileMenu = nullptr;
    QMenu *m_commMenu = nullptr;
    QMenu *m_editMenu = nullptr;
    ProgramHistory *m_history = nullptr;
    RecentFilesMenu *m_recentFiles = nullptr;
    ReportMenu *m_reportMenu = nullptr;
    ProgramDrop *m_programDrop = nullptr;
    FileCommands m_fileCommands{*this};
};
