#include "TForm1.h"

#include "CommX.h"
#include "CommXDownloadPort.h"
#include "GridEditor.h"
#include "InitialTempField.h"
#include "Numbers.h"
#include "Profile.h"
#include "ProfileChart.h"
#include "ProgramDownload.h"
#include "Prompts.h"
#include "SegmentGrid.h"
#include "SegmentGridModel.h"
#include "SettingsFile.h"
#include "StatusBar1.h"
#include "TForm2.h"
#include "ToolIcons.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <clocale>

const QString TForm1::Caption = QStringLiteral("Vantrel Assistant Ver.1.01");

namespace {
constexpr int MinimumWidth = 770;
constexpr int MinimumHeight = 490;
const QString ZeroTotalTime = QString::fromUtf8("Total time\xEF\xBC\x9A" "0min0sec(0.00min)");

// "MS UI Gothic" where it exists; Noto Sans CJK JP (installed with the
// editor) has the same narrow Latin letters and the Japanese glyphs.
QFont pixelFont(const QFont &base, int pixels, const QString &family = QStringLiteral("MS UI Gothic"))
{
    QFont f = base;
    f.setFamilies({family, QStringLiteral("Noto Sans CJK JP"), base.family()});
    f.setPixelSize(pixels);
    return f;
}
}

// Panel1's caption: its run of blanks leaves room for Edit1, laid over the
// panel. Fonts differ in the width of a blank, so the text after the blanks
// is drawn where the field ends.
class PanelCaption : public QLabel
{
public:
    PanelCaption(const QString &text, int gapEnd, QWidget *parent)
        : QLabel(text, parent), m_gapEnd(gapEnd)
    {
        setAccessibleName(text.simplified());
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        const QString caption = text();
        const int gap = caption.indexOf(QLatin1String("  "), caption.indexOf(QLatin1Char('.')));
        QPainter p(this);
        p.setFont(font());
        p.setPen(palette().color(QPalette::WindowText));
        const QRect r = contentsRect();
        if (gap < 0) {
            p.drawText(r, int(alignment()), caption);
            return;
        }
        p.drawText(r, int(alignment()), caption.left(gap));
        const int after = std::max(m_gapEnd - x(), QFontMetrics(font()).horizontalAdvance(caption.left(gap)));
        p.drawText(r.adjusted(after, 0, 0, 0), int(alignment()), caption.mid(gap).trimmed());
    }

private:
    int m_gapEnd;
};

TSpinEdit::TSpinEdit(QWidget *parent)
    : QSpinBox(parent)
{
}

void TSpinEdit::keyPressEvent(QKeyEvent *event)
{
    // Only the arrows change the number; typing into it is off.
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        QSpinBox::keyPressEvent(event);
        break;
    default:
        event->ignore();
    }
}

void TSpinEdit::wheelEvent(QWheelEvent *event)
{
    event->ignore();
}

TForm1::TForm1(Prompts &prompts, const QString &settingsPath, QWidget *parent)
    : QMainWindow(parent)
    , m_prompts(prompts)
    , m_settingsPath(settingsPath.isEmpty() ? SettingsFile::defaultPath() : settingsPath)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowIcon(makeWindowIcon());
    setFont(pixelFont(font(), 12));
    setMinimumSize(MinimumWidth, MinimumHeight);
    m_model = new SegmentGridModel(this);
    // CommX1: the controller's line, 38400 bit/s 7E2, no flow control.
    m_commX1 = std::make_unique<TCommX>();
    m_commX1->setBitRate(38400);
    m_commX1->setCharSize(7);
    m_commX1->setParityBit(cpbEven);
    m_commX1->setStopBit(csb2);
    m_commX1->setFlowCtrl(cfcNone);
    m_commX1->setTimeOutTrans(1000);
    m_commX1->setTimeOutReceive(1000);
    m_downloadPort = std::make_unique<CommXDownloadPort>(*m_commX1);
    m_download = std::make_unique<ProgramDownload>(*this, *m_downloadPort, prompts);
    buildMenus();
    buildToolBar();
    setCentralWidget(buildCentralArea());
    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(200);
    connect(m_timer1, &QTimer::timeout, this, [this] { guarded([this] { Timer1Timer(); }); });
    guarded([this] { FormCreate(); });
    // The port setup window, created hidden.
    m_form2 = new TForm2(*m_commX1, ComPortNo, ComPortIndex,
                         [this](const QString &port) { m_statusBar->setPanelText(3, port); }, this);
}

TForm1::~TForm1()
{
    // The widgets die after this body, and focus and editors move while they
    // do: nothing may call back into the window from then on.
    disconnect(m_focusConnection);
    m_grid->keyFilter = nullptr;
    delete m_gridEditor;
    m_gridEditor = nullptr;
    m_commX1->Close();
}

int TForm1::PortNo() const
{
    return m_commX1->PortNo();
}

void TForm1::guarded(const std::function<void()> &command)
{
    try {
        command();
    } catch (const std::exception &e) {
        m_prompts.error(QString::fromUtf8(e.what()));
    }
}

void TForm1::buildMenus()
{
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    auto addItem = [this](QMenu *menu, const QString &name, const QString &caption, void (TForm1::*handler)()) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
        return action;
    };
    m_fileMenu = menuBar()->addMenu(QStringLiteral("File"));
    m_fileMenu->setObjectName(QStringLiteral("F1"));
    connect(m_fileMenu, &QMenu::aboutToShow, this, [this] { guarded([this] { F1Click(); }); });
    addItem(m_fileMenu, QStringLiteral("N1"), QStringLiteral("New"), &TForm1::N1Click);
    addItem(m_fileMenu, QStringLiteral("Open1"), QStringLiteral("Open"), &TForm1::Open1Click);
    m_fileMenu->addSeparator()->setObjectName(QStringLiteral("N2"));
    addItem(m_fileMenu, QStringLiteral("Save1"), QStringLiteral("Save"), &TForm1::Save1Click);
    addItem(m_fileMenu, QStringLiteral("SaveAs1"), QStringLiteral("Save as"), &TForm1::SaveAs1Click);
    m_fileMenu->addSeparator()->setObjectName(QStringLiteral("N3"));
    addItem(m_fileMenu, QStringLiteral("Exit1"), QStringLiteral("Exit."), &TForm1::Exit1Click);

    m_commMenu = menuBar()->addMenu(QStringLiteral("Communication"));
    m_commMenu->setObjectName(QStringLiteral("C1"));
    addItem(m_commMenu, QStringLiteral("N4"), QStringLiteral("Send"), &TForm1::ToolButton4Click);
    m_commMenu->addSeparator()->setObjectName(QStringLiteral("N5"));
    addItem(m_commMenu, QStringLiteral("N6"), QStringLiteral("Com. port settings"), &TForm1::N6Click);
}

void TForm1::buildToolBar()
{
    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setFixedHeight(41);
    bar->setIconSize(QSize(16, 16));
    bar->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, bar);

    const QList<QIcon> icons = makeToolIcons();
    struct ButtonSpec { const char *caption; int image; void (TForm1::*handler)(); };
    const ButtonSpec specs[] = {
        {" New ", 0, &TForm1::N1Click},      {"Open", 1, &TForm1::Open1Click},
        {"Save", 2, &TForm1::Save1Click},    {"Send", 4, &TForm1::ToolButton4Click},
        {"Stop", 5, &TForm1::ToolButton5Click},
    };
    auto addSeparator = [bar](const QString &name) {
        auto *gap = new QFrame(bar);
        gap->setObjectName(name);
        gap->setFrameShape(QFrame::VLine);
        gap->setFrameShadow(QFrame::Sunken);
        gap->setFixedSize(12, 35);
        bar->addWidget(gap);
    };
    for (int i = 0; i < 5; ++i) {
        if (i == 3)
            addSeparator(QStringLiteral("ToolButton6"));
        auto *button = new QToolButton(bar);
        button->setObjectName(QStringLiteral("ToolButton%1").arg(i + 1));
        button->setText(QString::fromLatin1(specs[i].caption));
        button->setAccessibleName(QString::fromLatin1(specs[i].caption).trimmed());
        button->setIcon(icons[specs[i].image]);
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setFixedSize(61, 35);
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRaise(true);
        const auto handler = specs[i].handler;
        connect(button, &QToolButton::clicked, this, [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
        bar->addWidget(button);
        m_toolButtons[i] = button;
    }
    m_toolButtons[4]->setEnabled(false);
    addSeparator(QStringLiteral("ToolButton7"));

    auto *panel2 = new QFrame(bar);
    panel2->setObjectName(QStringLiteral("Panel2"));
    panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel2->setFixedSize(143, 35);
    auto *label1 = new QLabel(QStringLiteral("Program No."), panel2);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setFont(pixelFont(font(), 13));
    label1->setGeometry(8, 9, 90, 17);
    m_spinEdit1 = new TSpinEdit(panel2);
    m_spinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    m_spinEdit1->setAccessibleName(QStringLiteral("Program No."));
    m_spinEdit1->setRange(0, 7);
    m_spinEdit1->setFont(pixelFont(font(), 13, QStringLiteral("Arial")));
    m_spinEdit1->setGeometry(100, 4, 34, 26);
    m_spinEdit1->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    label1->setBuddy(m_spinEdit1);
    connect(m_spinEdit1, &QSpinBox::valueChanged, this, [this] { guarded([this] { SpinEdit1Change(); }); });
    bar->addWidget(panel2);
}

QWidget *TForm1::buildCentralArea()
{
    auto *area = new QWidget(this);
    auto *layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_chart = new ProfileChart(area);
    m_chart->setFixedHeight(144);
    layout->addWidget(m_chart);

    m_panel1 = new QFrame(area);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_panel1->setFixedHeight(49);
    auto *caption = new PanelCaption(QStringLiteral("  Initial temp.                    deg C"), 84 + 65 + 6, m_panel1);
    caption->setObjectName(QStringLiteral("Panel1Caption"));
    caption->setFont(pixelFont(font(), 13));
    caption->setGeometry(2, 2, 300, 45);
    caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_edit1 = new InitialTempField(*this, m_panel1);
    m_edit1->setFont(pixelFont(font(), 13));
    m_edit1->setGeometry(84, 14, 65, 21);
    caption->setBuddy(m_edit1);
    layout->addWidget(m_panel1);

    m_grid = new SegmentGrid(m_model, area);
    m_grid->setFixedHeight(129);
    layout->addWidget(m_grid);

    m_memo1 = new QPlainTextEdit(area);
    m_memo1->setObjectName(QStringLiteral("Memo1"));
    m_memo1->setAccessibleName(QStringLiteral("Comment"));
    m_memo1->setFont(pixelFont(font(), 13, QStringLiteral("Arial")));
    m_memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo1->installEventFilter(this);
    // Any edit a person makes to the comment (typing, Delete, paste or cut from
    // the context menu, drag and drop) marks the program changed; loading a
    // comment replaces the text without an undo step and does not.
    connect(m_memo1->document(), &QTextDocument::undoCommandAdded, this, [this] { DataModified = true; });
    layout->addWidget(m_memo1, 1);

    m_statusBar = new StatusBar1(area);
    layout->addWidget(m_statusBar);

    setTabOrder(m_edit1, m_grid);
    setTabOrder(m_grid, m_memo1);
    return area;
}

void TForm1::FormCreate()
{
    // 1. Numbers read and written with "." whatever the regional settings.
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());
    // 2. Caption.
    TitleText = Caption;
    setWindowTitle(TitleText);
    // 3. Settings.
    const AppSettings settings = SettingsFile::read(m_settingsPath);
    move(settings.left, settings.top);
    resize(std::max(settings.width, MinimumWidth), std::max(settings.height, MinimumHeight));
    ComPortNo = settings.comPortNo;
    ComPortIndex = settings.comPortIndex;
    FileDir = settings.fileDir;
    // 4. Port number to the serial component, program number to the spin box
    //    (a number other than 0 counts as a change).
    m_commX1->setPortNo(ComPortNo);
    m_spinEdit1->setValue(settings.prgNo);
    // 5. and 8. Grid labels, segment numbers and 33 unset slots.
    m_model->initialise();
    // 7. Initial temperature text.
    m_edit1->setText(QStringLiteral("0.0"));
    // 9. Status panels.
    m_statusBar->setPanelText(0, QString());
    m_statusBar->setPanelText(2, ZeroTotalTime);
    // 11. Alignment styles.
    m_edit1->setAlignment(Qt::AlignRight);
    m_spinEdit1->setAlignment(Qt::AlignCenter);
    // 6. and 12. The Mode list over the grid, and the grid's handlers with
    //    the chart redrawn whenever its editor closes.
    m_gridEditor = new GridEditor(m_grid, *this, this);
    // Leaving a control is handled before entering the next one.
    m_focusConnection = connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        m_gridEditor->focusChanged(old, now);
        m_edit1->focusChanged(old, now);
    });
}

void TForm1::setHint(const QString &text)
{
    m_statusBar->setPanelText(0, text);
}

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

void TForm1::FormShow()
{
    m_statusBar->setPanelText(3, QStringLiteral("COM%1").arg(ComPortNo));
}

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
    if (!DataModified)
        return true;
    return m_prompts.box(QStringLiteral("Confirmation"),
                         QStringLiteral("Data are not saved.Do you finish this application?"),
                         Prompts::Icon::Question, Prompts::Yes | Prompts::No)
           == Prompts::Yes;
}

void TForm1::FormClose()
{
    AppSettings settings;
    settings.left = x();
    settings.top = y();
    settings.width = width();
    settings.height = height();
    settings.comPortNo = PortNo();
    settings.comPortIndex = ComPortIndex;
    settings.prgNo = m_spinEdit1->value();
    settings.fileDir = FileDir;
    QString error;
    if (!SettingsFile::write(m_settingsPath, settings, &error))
        m_prompts.error(error); // the window still closes
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_memo1 && event->type() == QEvent::KeyPress) {
        // Memo1KeyPress: a character key typed in the comment.
        if (!static_cast<QKeyEvent *>(event)->text().isEmpty())
            DataModified = true;
    }
    return QMainWindow::eventFilter(watched, event);
}

QToolButton *TForm1::toolButton(int number) const
{
    return (number >= 1 && number <= 5) ? m_toolButtons[number - 1] : nullptr;
}

void TForm1::SpinEdit1Change()
{
    DataModified = true;
}

void TForm1::ChardDraw()
{
    // Everything is read before anything is shown, so a cell that is not a
    // number leaves the chart and the total time as they were.
    const Profile profile = computeProfile(InitialTemp, m_model->program());
    m_chart->setPoints(profile.points);
    m_statusBar->setPanelText(2, totalTimeText(profile.totalMinutes));
}

QString TForm1::initialTempText() const
{
    return m_edit1->text();
}

void TForm1::setInitialTempText(const QString &text)
{
    m_edit1->setText(text);
}

void TForm1::InitTempCheck()
{
    m_edit1->InitTempCheck();
}

int TForm1::programNo() const
{
    return m_spinEdit1->value();
}

void TForm1::setProgramNo(int programNo)
{
    m_spinEdit1->setValue(programNo);
}

QStringList TForm1::commentLines() const
{
    const QString text = m_memo1->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void TForm1::setCommentLines(const QStringList &lines)
{
    // A new text without an undo step: not an edit of the comment.
    m_memo1->setPlainText(lines.join(QLatin1Char('\n')));
}

void TForm1::commentCaretToStart()
{
    m_memo1->moveCursor(QTextCursor::Start);
    m_memo1->ensureCursorVisible();
}

void TForm1::setStatusText(int panel, const QString &text)
{
    m_statusBar->setPanelText(panel, text);
}

void TForm1::clearChart()
{
    m_chart->clearPoints();
}

void TForm1::closeGridEditor()
{
    m_grid->closeEditorNow();
}

void TForm1::endGridEdit()
{
    m_grid->closeEditorNow();
    m_gridEditor->EditCol = 0;
    m_gridEditor->EditRow = 0;
}

void TForm1::showGridCell(int col, int row)
{
    m_grid->verticalScrollBar()->setValue(0);
    m_grid->setCurrentCell(col, row);
    m_grid->scrollTo(m_model->index(row, col));
    m_grid->setFocus(Qt::OtherFocusReason);
    m_gridEditor->placeCombo(); // over the new cell when it is a Mode cell, else hidden
}

void TForm1::resetModeCombo()
{
    // A list without a text field of its own: its first entry is its text.
    m_gridEditor->ComboBox1()->setCurrentIndex(0);
}

void TForm1::F1Click() {}
void TForm1::N1Click() { m_fileCommands.N1Click(); }
void TForm1::Open1Click() { m_fileCommands.Open1Click(); }
void TForm1::Save1Click() { m_fileCommands.Save1Click(); }
void TForm1::SaveAs1Click() { m_fileCommands.SaveAs1Click(); }
void TForm1::Exit1Click() { close(); }
void TForm1::ToolButton4Click()
{
    m_download->run();
}

void TForm1::ToolButton5Click()
{
    m_download->ToolButton5Click();
}

void TForm1::N6Click()
{
    // Non-modal, centred over the main window.
    m_form2->move(geometry().center() - QPoint(m_form2->width() / 2, m_form2->height() / 2));
    m_form2->show();
    m_form2->raise();
    m_form2->activateWindow();
}

void TForm1::Timer1Timer()
{
    QProgressBar *bar = m_statusBar->progressBar();
    bar->setValue(bar->value() + 10 >= 100 ? 0 : bar->value() + 10);
}

bool TForm1::initialTempAccepted()
{
    InitTempCheck();
    return !InitTempError;
}

void TForm1::CellCheck()
{
    m_gridEditor->CellCheck();
}

void TForm1::enterTransferState()
{
    m_inTransfer = true;
    for (int i = 1; i <= 4; ++i)
        toolButton(i)->setEnabled(false);
    toolButton(5)->setEnabled(true);
    m_spinEdit1->setEnabled(false);
    m_fileMenu->menuAction()->setEnabled(false);
    m_commMenu->menuAction()->setEnabled(false);
    m_grid->setEnabled(false);
    m_gridEditor->ComboBox1()->setEnabled(false);
    // The initial temperature sent is the one that was checked.
    m_edit1->setReadOnly(true);
    m_statusBar->setPanelText(1, QStringLiteral("Waiting..."));
    m_statusBar->progressBar()->setValue(0);
    m_statusBar->progressBar()->show();
    m_timer1->start();
}

void TForm1::ButtanReset()
{
    for (int i = 1; i <= 4; ++i)
        toolButton(i)->setEnabled(true);
    toolButton(5)->setEnabled(false);
    m_spinEdit1->setEnabled(true);
    m_fileMenu->menuAction()->setEnabled(true);
    m_commMenu->menuAction()->setEnabled(true);
    m_grid->setEnabled(true);
    m_gridEditor->ComboBox1()->setEnabled(true);
    m_edit1->setReadOnly(false);
    m_inTransfer = false;
    stopActivity();
}

void TForm1::stopActivity()
{
    m_timer1->stop();
    m_statusBar->progressBar()->hide();
    m_statusBar->progressBar()->setValue(0);
    m_statusBar->setPanelText(1, QString());
}

void TForm1::startSending()
{
    m_statusBar->setPanelText(0, QString());
    m_statusBar->setPanelText(1, QStringLiteral("Sending..."));
    m_statusBar->progressBar()->setValue(0);
    m_statusBar->progressBar()->show();
    m_timer1->start();
}

void TForm1::setTransferStatus(const QString &text)
{
    m_statusBar->setPanelText(1, text);
}

QString TForm1::cell(int row, int col) const
{
    return m_model->cell(row, col);
}

