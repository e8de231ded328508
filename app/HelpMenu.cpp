#include "app/HelpMenu.h"

#include "model/Prompts.h"

#include <QAction>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {
// A dialog's own Close button: Escape and Alt+C close it too.
void addCloseButton(QDialog *dialog, QVBoxLayout *layout)
{
    auto *buttons = new QDialogButtonBox(dialog);
    QPushButton *close = buttons->addButton(QStringLiteral("&Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("Close"));
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
}
}

HelpMenu::HelpMenu(QMenuBar *bar, const UserPlaces &places, Prompts &prompts, QWidget *window, FolderOpener openFolder)
    : QObject(window)
    , m_places(places)
    , m_prompts(prompts)
    , m_window(window)
    , m_openFolder(openFolder ? std::move(openFolder) : FolderOpener([](const QString &folder) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
    }))
{
    m_menu = bar->addMenu(QStringLiteral("Help"));
    m_menu->setObjectName(QStringLiteral("Help1"));
    m_contents = m_menu->addAction(QStringLiteral("Contents"));
    m_contents->setObjectName(QStringLiteral("Contents1"));
    m_contents->setShortcut(QKeySequence(Qt::Key_F1));
    m_contents->setShortcutContext(Qt::ApplicationShortcut);
    m_files = m_menu->addAction(QStringLiteral("Files and folders"));
    m_files->setObjectName(QStringLiteral("FilesAndFolders1"));
    m_menu->addSeparator();
    m_about = m_menu->addAction(QStringLiteral("About"));
    m_about->setObjectName(QStringLiteral("About1"));
    // The window's own actions, so that F1 works wherever its focus is.
    window->addAction(m_contents);
    connect(m_contents, &QAction::triggered, this, &HelpMenu::showManual);
    connect(m_files, &QAction::triggered, this, &HelpMenu::showFiles);
    connect(m_about, &QAction::triggered, this, &HelpMenu::showAbout);
}

QString HelpMenu::aboutText()
{
    return QStringLiteral("%1\n\n"
                          "Editor for the temperature programs of laboratory oven controllers.\n"
                          "Version %2\n"
                          "Licence: proprietary, all rights reserved; built for laboratory use by its owners.\n"
                          "Qt %3 (built with Qt %4)")
        .arg(applicationTitleAndVersion(), QStringLiteral(VANTREL_VERSION), QString::fromLatin1(qVersion()),
             QStringLiteral(QT_VERSION_STR));
}

void HelpMenu::bringUp(QDialog *dialog)
{
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void HelpMenu::showManual()
{
    if (m_manual) {
        bringUp(m_manual);
        return;
    }
    if (m_places.manual.isEmpty()) {
        m_prompts.box(applicationTitle(),
                      QStringLiteral("The manual is not installed. It was looked for as:\n")
                          + m_places.manualSearched.join(u'\n'),
                      Prompts::Icon::Warning, Prompts::Ok);
        return;
    }
    QFile file(m_places.manual);
    if (!file.open(QIODevice::ReadOnly)) {
        m_prompts.box(applicationTitle(),
                      QStringLiteral("The manual %1 cannot be read: %2").arg(m_places.manual, file.errorString()),
                      Prompts::Icon::Warning, Prompts::Ok);
        return;
    }
    m_manual = makeManualWindow(QString::fromUtf8(file.readAll()));
    bringUp(m_manual);
}

QDialog *HelpMenu::makeManualWindow(const QString &text)
{
    auto *dialog = new QDialog(m_window);
    dialog->setObjectName(QStringLiteral("ManualWindow"));
    dialog->setWindowTitle(QStringLiteral("Vantrel Assistant manual"));
    auto *layout = new QVBoxLayout(dialog);
    auto *browser = new QTextBrowser(dialog);
    browser->setObjectName(QStringLiteral("ManualText"));
    browser->setAccessibleName(QStringLiteral("Manual"));
    browser->setOpenExternalLinks(true);
    // Tab leaves the text for the Close button; the arrows and Page keys scroll.
    browser->setTabChangesFocus(true);
    browser->setMarkdown(text);
    layout->addWidget(browser);
    addCloseButton(dialog, layout);
    // Within the screen however large the scale factor: the Close button stays in reach.
    QSize size(680, 520);
    if (const QScreen *screen = m_window->screen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    dialog->resize(size);
    browser->setFocus();
    return dialog;
}

void HelpMenu::showFiles()
{
    if (!m_filesWindow)
        m_filesWindow = makeFilesWindow();
    bringUp(m_filesWindow);
}

QDialog *HelpMenu::makeFilesWindow()
{
    auto *dialog = new QDialog(m_window);
    dialog->setObjectName(QStringLiteral("FilesWindow"));
    dialog->setWindowTitle(QStringLiteral("Files and folders"));
    auto *layout = new QVBoxLayout(dialog);
    auto *grid = new QGridLayout;
    // Each place: its name, its path (read-only, to select and copy) and a
    // button with a letter of its own that opens its folder.
    const QString buttonTexts[] = {QStringLiteral("Open &settings folder"), QStringLiteral("Open &ports folder"),
                                   QStringLiteral("Open &transfer record folder")};
    const QList<UserPlaces::Place> places = m_places.files();
    for (int i = 0; i < places.size(); ++i) {
        const UserPlaces::Place &place = places[i];
        auto *label = new QLabel(place.title + u':', dialog);
        auto *path = new QLineEdit(place.path, dialog);
        path->setObjectName(QStringLiteral("Path%1").arg(i));
        path->setAccessibleName(place.title);
        path->setReadOnly(true);
        // Wide enough for a usual path; a longer one scrolls in its field.
        path->setMinimumWidth(std::min(path->fontMetrics().horizontalAdvance(place.path) + 16, 300));
        label->setBuddy(path);
        auto *button = new QPushButton(i < 3 ? buttonTexts[i] : QStringLiteral("Open folder"), dialog);
        button->setObjectName(QStringLiteral("OpenFolder%1").arg(i));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, folder = place.folder] { openFolder(folder); });
        grid->addWidget(label, i, 0);
        grid->addWidget(path, i, 1);
        grid->addWidget(button, i, 2);
    }
    auto *manual = new QLabel(m_places.manual.isEmpty() ? QStringLiteral("Manual: not installed")
                                                        : QStringLiteral("Manual: ") + m_places.manual,
                              dialog);
    manual->setObjectName(QStringLiteral("ManualPlace"));
    manual->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addLayout(grid);
    layout->addWidget(manual);
    addCloseButton(dialog, layout);
    return dialog;
}

void HelpMenu::openFolder(const QString &folder)
{
    if (!QFileInfo(folder).isDir()) {
        m_prompts.box(applicationTitle(),
                      QStringLiteral("The folder %1 does not exist yet: it is made when something is first kept there.")
                          .arg(folder),
                      Prompts::Icon::Information, Prompts::Ok);
        return;
    }
    if (!m_openFolder(folder))
        m_prompts.box(applicationTitle(), QStringLiteral("No file manager could open the folder %1.").arg(folder),
                      Prompts::Icon::Warning, Prompts::Ok);
}

void HelpMenu::showAbout()
{
    m_prompts.box(QStringLiteral("About Vantrel Assistant"), aboutText(), Prompts::Icon::Information, Prompts::Ok);
}
