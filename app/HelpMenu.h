#pragma once

#include "files/UserPlaces.h"

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <functional>

class Prompts;
class QAction;
class QMenu;
class QMenuBar;
class QWidget;

// Help: "Contents" (F1) shows the manual in a window of its own, "Files and
// folders" lists where the settings, the ports folder and the transfer
// record live, each with a button that opens its folder in the file
// manager, and "About" names the version, the licence and Qt's version.
class HelpMenu : public QObject
{
    Q_OBJECT
public:
    // Opens a folder in the desktop's file manager; false when none could.
    using FolderOpener = std::function<bool(const QString &folder)>;

    HelpMenu(QMenuBar *bar, const UserPlaces &places, Prompts &prompts, QWidget *window, FolderOpener openFolder = {});

    QMenu *menu() const { return m_menu; }
    QAction *contents() const { return m_contents; }
    QAction *filesAndFolders() const { return m_files; }
    QAction *about() const { return m_about; }
    // The windows, once opened.
    QDialog *manualWindow() const { return m_manual; }
    QDialog *filesWindow() const { return m_filesWindow; }

    // The text "About" shows.
    static QString aboutText();

    void showManual();
    void showFiles();
    void showAbout();
    // Opens the folder of a place, or says why it cannot.
    void openFolder(const QString &folder);

private:
    QDialog *makeManualWindow(const QString &text);
    QDialog *makeFilesWindow();
    void bringUp(QDialog *dialog);

    UserPlaces m_places;
    Prompts &m_prompts;
    QWidget *m_window;
    FolderOpener m_openFolder;
    QMenu *m_menu;
    QAction *m_contents;
    QAction *m_files;
    QAction *m_about;
    QPointer<QDialog> m_manual;
    QPointer<QDialog> m_filesWindow;
};
