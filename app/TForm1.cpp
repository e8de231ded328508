#include "app/TForm1.h"

#include "app/ChartPanelSplitter.h"
#include "app/ContentScroller.h"
#include "app/Controls.h"
#include "app/MenuKeys.h"
#include "app/PortChoice.h"
#include "app/ProgramDrop.h"
#include "app/RecentFilesMenu.h"
#include "app/ReportBuilder.h"
#include "app/StatusBar1.h"
#include "app/ToolIcons.h"
#include "app/TransferDisplay.h"
#include "app/WindowFrameSizing.h"
#include "comm/CommX.h"
#include "comm/link/CommXDownloadPort.h"
#include "comm/link/ProgramDownload.h"
#include "editor/GridEditor.h"
#include "editor/InitialTempField.h"
#include "editor/ProfileChart.h"
#include "editor/ProgramHistory.h"
#include "editor/SegmentClipboard.h"
#include "editor/SegmentGrid.h"
#include "editor/SegmentGridModel.h"
#include "editor/UiFonts.h"
#include "model/Prompts.h"
#include "model/StatusPanel.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>
#include <clocale>

const QString TForm1::Caption = applicationTitleAndVersion();

namespace {
// Written once at start-up with a full-width colon (U+FF1A); every text that
// follows, from New or from a redraw, has an ASCII colon. The difference is
// the program's own and is kept on purpose: do not make them alike.
const QString ZeroTotalTime = QString::fromUtf8("Total time\xEF\xBC\x9A"
                                                "0min0sec(0.00min)");
}

TForm1::TForm1(Prompts &prompts, const QString &settingsPath, QWidget *parent)
    : QMainWindow(parent)
    , TitleText(m_view.TitleText)
    , m_prompts(prompts)
    , m_document(new ProgramDocument(this))
    , m_view(*m_document)
    , m_settings(settingsPath)
    , m_fileCommands(*m_document, prompts, m_view)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowIcon(makeWindowIcon());
    setFont(uiFont(font(), 12));
    m_frameSizing = new WindowFrameSizing(this, QSize(MinimumWidth, MinimumHeight));
    m_model = new SegmentGridModel(*m_document, this);
    m_history = new ProgramHistory(*m_document, m_view, this);
    // CommX1, set up for the controller's line.
    m_commX1 = std::make_unique<TCommX>();
    CommXDownloadPort::useControllerLine(*m_commX1);
    m_downloadPort = std::make_unique<CommXDownloadPort>(*m_commX1);
    buildMenus();
    buildToolBar();
    // Below the size the bands need (a small screen, a large scale factor)
    // the window's content scrolls, so that every band stays within reach.
    m_contentScroller = new ContentScroller(this);
    m_contentScroller->setWidget(buildCentralArea());
    setCentralWidget(m_contentScroller);
    m_view.setControls(viewControls());
    buildTransfer();
    m_programDrop = new ProgramDrop(
        this, [this] { return !m_inTransfer; },
        [this](const QString &path) { guarded([this, &path] { m_fileCommands.openPath(path); }); });
    connect(m_document, &ProgramDocument::modifiedChanged, this, [this] { m_view.showModified(); });
    guarded([this] { FormCreate(); });
    m_history->reset();
    buildPortChoice();
}

TForm1::~TForm1()
{
    // The widgets die after this body, and focus and editors move while they
    // do: nothing may call back into the window from then on.
    disconnect(m_focusConnection);
    m_grid->keyFilter = nullptr;
    m_view.forgetGridEditor();
    delete m_segmentClipboard;
    m_segmentClipboard = nullptr;
    delete m_gridEditor;
    m_gridEditor = nullptr;
    m_commX1->Close();
}

int TForm1::PortNo() const { return m_commX1->PortNo(); }

void TForm1::guarded(const std::function<void()> &command) { runGuarded(m_prompts, command); }

EditorContext TForm1::editorContext()
{
    return {*m_document, *m_history, m_prompts, [view = &m_view] { view->redrawProfile(); }};
}

void TForm1::FormCreate()
{
    // Numbers read and written with "." whatever the regional settings.
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());
    // The caption.
    TitleText = Caption;
    m_view.setCaption(TitleText);
    // The window's place and size, the port and the folder from the settings file.
    const AppSettings settings = m_settings.read();
    m_frameSizing->setWindowGeometry(QPoint(settings.left, settings.top), QSize(settings.width, settings.height));
    ComPortNo = settings.comPortNo;
    ComPortIndex = settings.comPortIndex;
    m_fileCommands.startFolder = settings.fileDir;
    // The port number to the serial component, the program number to the
    // spin box (a number other than 0 counts as a change).
    m_commX1->setPortNo(ComPortNo);
    m_spinEdit1->setValue(settings.prgNo);
    // Grid labels, segment numbers and 33 unset slots.
    m_document->initialise();
    // The initial temperature's text.
    m_document->setInitialTempText(QStringLiteral("0.0"));
    // The hint and the total time in the status bar.
    m_statusBar->setPanelText(StatusPanel::Hint, QString());
    m_statusBar->setPanelText(StatusPanel::TotalTime, ZeroTotalTime);
    // The initial temperature right-aligned, the program number centred.
    m_edit1->setAlignment(Qt::AlignRight);
    m_spinEdit1->setAlignment(Qt::AlignCenter);
    // The Mode list over the grid, and the grid's handlers with the chart
    // redrawn whenever its editor closes.
    m_gridEditor = new GridEditor(m_grid, editorContext(), m_contentScroller->widget());
    connect(m_gridEditor, &GridEditor::hintChanged, this, &TForm1::setHint);
    addSegmentClipboardItems();
    m_view.setControls(viewControls());
    // The chart draws the current segment thicker, and a click on the chart
    // makes the segment's column current, in the row the grid was in.
    connect(m_grid, &SegmentGrid::selectCell, m_chart, [this](int col) { m_chart->highlightColumn(col); });
    // A cell made current is brought into view when the content scrolls.
    connect(m_grid, &SegmentGrid::cellClicked, m_contentScroller,
            [this] { m_contentScroller->showCurrentCell(*m_grid); });
    connect(m_chart, &ProfileChart::segmentClicked, this, [this](int col) {
        if (m_inTransfer)
            return;
        const int row = std::max(m_grid->currentIndex().row(), int(TemperatureProgram::ModeRow));
        m_grid->setFocus(Qt::MouseFocusReason);
        guarded([this, col, row] { m_grid->setCurrentCell(col, row); });
    });
    // Leaving a control is handled before entering the next one.
    m_focusConnection = connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        m_gridEditor->focusChanged(old, now);
        m_edit1->focusChanged(old, now);
        m_contentScroller->followFocus(now);
    });
}

void TForm1::setHint(const QString &text) { m_statusBar->setPanelText(StatusPanel::Hint, text); }

void TForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        guarded([this] { FormShow(); });
        m_grid->setFocus(Qt::OtherFocusReason);
        m_gridEditor->placeCombo();
    }
}

void TForm1::FormShow() { m_portChoice->showPort(QStringLiteral("COM%1").arg(ComPortNo)); }

void TForm1::closeEvent(QCloseEvent *event)
{
    // During a download the window cannot be closed.
    if (m_inTransfer) {
        event->ignore();
        return;
    }
    bool mayClose = true;
    guarded([&] { mayClose = FormCloseQuery(); });
    if (!mayClose) {
        event->ignore();
        return;
    }
    guarded([this] { FormClose(); });
    event->accept();
}

bool TForm1::FormCloseQuery()
{
    if (!m_document->isModified())
        return true;
    return m_prompts.box(QStringLiteral("Confirmation"),
                         QStringLiteral("Data are not saved.Do you finish this application?"), Prompts::Icon::Question,
                         Prompts::Yes | Prompts::No)
        == Prompts::Yes;
}

void TForm1::FormClose()
{
    AppSettings settings;
    settings.left = x();
    settings.top = y();
    settings.width = m_frameSizing->windowSize().width();
    settings.height = m_frameSizing->windowSize().height();
    settings.comPortNo = PortNo();
    settings.comPortIndex = ComPortIndex;
    settings.prgNo = m_spinEdit1->value();
    settings.fileDir = m_fileCommands.startFolder;
    QString error;
    if (!m_settings.write(settings, &error) || !m_recentFiles->save(&error) || !m_chartPanelSplitter->save(&error))
        m_prompts.error(error); // the window still closes
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_memo1 && event->type() == QEvent::KeyPress) {
        // Memo1KeyPress: a character key typed in the comment.
        if (!static_cast<QKeyEvent *>(event)->text().isEmpty())
            m_document->setModified(true);
    }
    return QMainWindow::eventFilter(watched, event);
}

QToolButton *TForm1::toolButton(int number) const
{
    return (number >= 1 && number <= 5) ? m_toolButtons[number - 1] : nullptr;
}

void TForm1::SpinEdit1Change()
{
    m_document->setModified(true);
    m_history->programNoChanged();
}

void TForm1::ChardDraw() { m_view.redrawProfile(); }

EditorView::Controls TForm1::viewControls()
{
    return {this, m_grid, m_model, m_gridEditor, m_edit1, m_memo1, m_chart, m_statusBar, m_recentFiles, m_history};
}

ProgramReport TForm1::currentReport()
{
    return ReportBuilder(*m_document, *m_chart, [this] { ChardDraw(); }).build();
}

void TForm1::InitTempCheck() { m_view.checkInitialTempField(); }

void TForm1::openFromCommandLine(const QString &path)
{
    guarded([this, &path] { m_fileCommands.loadFile(path); });
}

void TForm1::N1Click() { m_fileCommands.newProgram(); }
void TForm1::Open1Click() { m_fileCommands.openProgram(); }
void TForm1::ImportSegments1Click() { m_fileCommands.importSegments(); }
void TForm1::Save1Click() { m_fileCommands.saveProgram(); }
void TForm1::SaveAs1Click() { m_fileCommands.saveProgramAs(); }
void TForm1::Exit1Click() { close(); }
void TForm1::ToolButton5Click() { m_download->requestStop(); }

void TForm1::N6Click() { m_portChoice->showDialog(ComPortNo); }

QTimer *TForm1::Timer1() const { return m_transfer->Timer1(); }

void TForm1::Timer1Timer() { m_transfer->Timer1Timer(); }

void TForm1::enterTransferState() { m_transfer->enterTransferState(); }

void TForm1::ButtanReset() { m_transfer->resetAfterTransfer(); }

void TForm1::CellCheck() { m_view.checkEditedCell(); }
