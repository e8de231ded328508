#pragma once

#include <QObject>

class CommXDownloadPort;
class ProgramDownload;
class StatusBar1;
class TCommX;
class TForm2;
class QWidget;

// The port the transfer uses: the port setup window (TForm2), made hidden
// and shown over the main window, and the port panel, which names the port
// chosen and, in its tooltip, every program of that port a download left
// half written, until a complete send.
class PortChoice : public QObject
{
    Q_OBJECT
public:
    PortChoice(TCommX &commX, const CommXDownloadPort &port, const ProgramDownload &download, StatusBar1 &statusBar,
               QWidget *window);

    // Hands back what was picked by its portChosen signal.
    TForm2 *dialog() const { return m_dialog; }
    // Non-modal, centred over the main window, with `chosenPort` picked; one
    // already shown is only brought to the front.
    void showDialog(int chosenPort);
    // A port picked: the port in use is closed; the next Send opens this one.
    void use(int portNo, const QString &name);
    // The panel's text and tooltip for the port as it stands.
    void showPort(const QString &name);
    void noteIncompletePrograms();

private:
    TCommX &m_commX;
    const CommXDownloadPort &m_port;
    const ProgramDownload &m_download;
    StatusBar1 &m_statusBar;
    QWidget *m_window;
    TForm2 *m_dialog;
};
