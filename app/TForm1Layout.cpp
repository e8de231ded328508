// The controls of the main window and where they stand.
#include "app/TForm1.h"

#include "app/ChartPanelSplitter.h"
#include "app/Controls.h"
#include "app/HelpMenu.h"
#include "app/MenuKeys.h"
#include "app/RecentFilesMenu.h"
#include "app/ReportMenu.h"
#include "app/StatusBar1.h"
#include "app/ToolIcons.h"
#include "comm/CommX.h"
#include "editor/CommentMemo.h"
#include "editor/InitialTempField.h"
#include "editor/ProfileChart.h"
#include "editor/ProgramHistory.h"
#include "editor/SegmentGrid.h"
#include "editor/SegmentGridModel.h"
#include "editor/SegmentTimesStrip.h"
#include "editor/UiFonts.h"
#include "files/TransferLog.h"
#include "model/StatusPanel.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

void TForm1::buildMenus()
{
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    auto addItem = [this](QMenu *menu, const QString &name, const QString &caption, void (TForm1::*handler)()) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this,
                [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
        return action;
    };
    m_fileMenu = menuBar()->addMenu(QStringLiteral("File"));
    m_fileMenu->setObjectName(QStringLiteral("F1"));
    addItem(m_fileMenu, QStringLiteral("N1"), QStringLiteral("New"), &TForm1::N1Click);
    addItem(m_fileMenu, QStringLiteral("Open1"), QStringLiteral("Open"), &TForm1::Open1Click);
    m_fileMenu->addSeparator()->setObjectName(QStringLiteral("N2"));
    addItem(m_fileMenu, QStringLiteral("Save1"), QStringLiteral("Save"), &TForm1::Save1Click);
    addItem(m_fileMenu, QStringLiteral("SaveAs1"), QStringLiteral("Save as"), &TForm1::SaveAs1Click);
    QMenu *recent = m_fileMenu->addMenu(QStringLiteral("Recent files"));
    recent->setObjectName(QStringLiteral("RecentFiles1"));
    m_recentFiles = new RecentFilesMenu(
        recent, m_settings.path(), m_prompts,
        [this](const QString &path) { guarded([this, &path] { m_fileCommands.openPath(path); }); }, this);
    addItem(m_fileMenu, QStringLiteral("ImportSegments1"), QStringLiteral("Import segments from CSV..."),
            &TForm1::ImportSegments1Click);
    m_reportMenu = new ReportMenu(
        m_fileMenu, this, m_prompts, [this] { return currentReport(); },
        [this](const QString &text) { m_view.setStatusText(StatusPanel::Hint, text); },
        [this](const std::function<void()> &command) { guarded(command); });
    m_fileMenu->addSeparator()->setObjectName(QStringLiteral("N3"));
    addItem(m_fileMenu, QStringLiteral("Exit1"), QStringLiteral("Exit."), &TForm1::Exit1Click);

    buildEditMenu();

    m_commMenu = menuBar()->addMenu(QStringLiteral("Communication"));
    m_commMenu->setObjectName(QStringLiteral("C1"));
    addItem(m_commMenu, QStringLiteral("N4"), QStringLiteral("Send"), &TForm1::ToolButton4Click);
    m_commMenu->addSeparator()->setObjectName(QStringLiteral("N5"));
    addItem(m_commMenu, QStringLiteral("N6"), QStringLiteral("Com. port settings"), &TForm1::N6Click);

    m_helpMenu = new HelpMenu(menuBar(),
                              UserPlaces::find(QCoreApplication::applicationDirPath(), m_settings.path(),
                                               m_commX1->portDirectory().portsFolder(), TransferLog().currentPath()),
                              m_prompts, this);

    MenuKeys::equip(menuBar());
    // F10 opens the first menu, as Alt and the menus' letters do.
    auto *f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(f10, &QShortcut::activated, this, [this] {
        const QList<QAction *> menus = menuBar()->actions();
        if (!menus.isEmpty() && menus.first()->isEnabled())
            menuBar()->setActiveAction(menus.first());
    });
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
    addToolButtons(bar);
    bar->addWidget(buildProgramNoPanel(bar));
}

void TForm1::addToolButtons(QToolBar *bar)
{
    const QList<QIcon> icons = makeToolIcons();
    struct ButtonSpec
    {
        const char *caption;
        int image;
        void (TForm1::*handler)();
    };
    const ButtonSpec specs[] = {
        {" New ", 0, &TForm1::N1Click},         {"Open", 1, &TForm1::Open1Click},
        {"Save", 2, &TForm1::Save1Click},       {"Send", 4, &TForm1::ToolButton4Click},
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
        connect(button, &QToolButton::clicked, this,
                [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
        bar->addWidget(button);
        m_toolButtons[i] = button;
    }
    m_toolButtons[4]->setEnabled(false);
    addSeparator(QStringLiteral("ToolButton7"));
}

QWidget *TForm1::buildProgramNoPanel(QWidget *bar)
{
    auto *panel2 = new QFrame(bar);
    panel2->setObjectName(QStringLiteral("Panel2"));
    panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel2->setFixedSize(143, 35);
    auto *label1 = new QLabel(QStringLiteral("Program No."), panel2);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setFont(uiFont(font(), 13));
    label1->setGeometry(8, 9, 90, 17);
    m_spinEdit1 = new TSpinEdit(panel2);
    m_spinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    m_spinEdit1->setAccessibleName(QStringLiteral("Program No."));
    m_spinEdit1->setRange(0, 7);
    m_spinEdit1->setFont(uiFont(font(), 13, QStringLiteral("Arial")));
    m_spinEdit1->setGeometry(100, 4, 34, 26);
    m_spinEdit1->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    label1->setBuddy(m_spinEdit1);
    // The spin box shows the document's number; the document has a new
    // number before SpinEdit1Change runs.
    m_spinEdit1->setValue(m_document->programNo());
    connect(m_spinEdit1, &QSpinBox::valueChanged, m_document, &ProgramDocument::setProgramNo);
    connect(m_document, &ProgramDocument::programNoChanged, m_spinEdit1, &QSpinBox::setValue);
    connect(m_spinEdit1, &QSpinBox::valueChanged, this, [this] { guarded([this] { SpinEdit1Change(); }); });
    m_history->takeUndoKeysFrom(m_spinEdit1);
    for (QWidget *inner : m_spinEdit1->findChildren<QWidget *>())
        m_history->takeUndoKeysFrom(inner);
    return panel2;
}

QWidget *TForm1::buildCentralArea()
{
    auto *area = new QWidget(this);
    auto *layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // The chart over the bands below it, a handle between them.
    m_chart = new ProfileChart;
    auto *lower = new QWidget;
    auto *lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->setSpacing(0);

    lowerLayout->addWidget(buildInitialTempPanel(lower));
    m_grid = new SegmentGrid(m_model, lower);
    m_grid->setFixedHeight(129);
    lowerLayout->addWidget(m_grid);
    lowerLayout->addWidget(new SegmentTimesStrip(m_grid, lower));
    lowerLayout->addWidget(buildComment(lower), 1);
    m_chartPanelSplitter = new ChartPanelSplitter(m_chart, lower, m_settings.path(), area);
    layout->addWidget(m_chartPanelSplitter, 1);

    m_statusBar = new StatusBar1(area);
    layout->addWidget(m_statusBar);

    setTabOrder(m_edit1, m_grid);
    setTabOrder(m_grid, m_memo1);
    return area;
}

QWidget *TForm1::buildInitialTempPanel(QWidget *lower)
{
    m_panel1 = new QFrame(lower);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_panel1->setFixedHeight(49);
    auto *caption = new PanelCaption(QStringLiteral("  Initial temp.                    deg C"), 84 + 65 + 6, m_panel1);
    caption->setObjectName(QStringLiteral("Panel1Caption"));
    caption->setFont(uiFont(font(), 13));
    caption->setGeometry(2, 2, 300, 45);
    caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_edit1 = new InitialTempField(editorContext(), m_panel1);
    connect(m_edit1, &InitialTempField::hintChanged, this, &TForm1::setHint);
    m_edit1->setFont(uiFont(font(), 13));
    m_edit1->setGeometry(84, 14, 65, 21);
    caption->setBuddy(m_edit1);
    return m_panel1;
}

QWidget *TForm1::buildComment(QWidget *lower)
{
    m_memo1 = new CommentMemo(lower);
    m_memo1->setObjectName(QStringLiteral("Memo1"));
    m_memo1->setAccessibleName(QStringLiteral("Comment"));
    m_memo1->setFont(uiFont(font(), 13, QStringLiteral("Arial")));
    m_memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The comment gives way first when the window is small: one line leaves
    // room at the window's minimum size for every band whole, the segments'
    // end times included.
    m_memo1->setMinimumHeight(m_memo1->fontMetrics().lineSpacing() + 2 * m_memo1->frameWidth() + 2);
    m_memo1->installEventFilter(this);
    // Any edit a person makes to the comment (typing, Delete, paste or cut from
    // the context menu, drag and drop) is a step of the program's history and
    // marks the program changed. A new text (setPlainText) is set with the
    // document's own undo switched off: that is not an edit. Ctrl+Z in the
    // comment is the program's Undo.
    // The memo shows the document's comment, and what is typed there is the
    // document's before the history looks at it.
    QTextDocument *comment = m_memo1->document();
    m_memo1->setPlainText(m_document->comment());
    connect(m_document, &ProgramDocument::commentChanged, m_memo1, [this](const QString &text) {
        if (m_memo1->toPlainText() != text)
            m_memo1->setPlainText(text);
    });
    connect(m_memo1, &QPlainTextEdit::textChanged, m_document,
            [this] { m_document->setComment(m_memo1->toPlainText()); });
    connect(comment, &QTextDocument::contentsChange, m_history, [this, comment](int position, int removed, int added) {
        m_document->setComment(m_memo1->toPlainText());
        if (!comment->isUndoRedoEnabled())
            return;
        m_document->setModified(true);
        m_history->commentEdited(position, removed, added);
    });
    m_history->takeUndoFrom(m_memo1);
    return m_memo1;
}
