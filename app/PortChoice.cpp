#include "app/PortChoice.h"

#include "app/StatusBar1.h"
#include "comm/CommX.h"
#include "comm/dialog/TForm2.h"
#include "comm/link/CommXDownloadPort.h"
#include "comm/link/ProgramDownload.h"
#include "comm/link/TransferRecording.h"
#include "files/TransferLog.h"
#include "model/StatusPanel.h"

PortChoice::PortChoice(TCommX &commX, const CommXDownloadPort &port, const ProgramDownload &download,
                       StatusBar1 &statusBar, QWidget *window)
    : QObject(window)
    , m_commX(commX)
    , m_port(port)
    , m_download(download)
    , m_statusBar(statusBar)
    , m_window(window)
    , m_dialog(new TForm2([&commX] { return commX.portDirectory().presentPorts(); }, window->font(), window))
{}

void PortChoice::showDialog(int chosenPort)
{
    if (!m_dialog->isVisible()) {
        m_dialog->setChosenPort(chosenPort);
        m_dialog->move(m_window->geometry().center() - QPoint(m_dialog->width() / 2, m_dialog->height() / 2));
        m_dialog->show();
    }
    m_dialog->raise();
    m_dialog->activateWindow();
}

void PortChoice::use(int portNo, const QString &name)
{
    m_commX.Close();
    m_commX.setPortNo(portNo);
    showPort(name);
}

void PortChoice::showPort(const QString &name)
{
    m_statusBar.setPanelText(StatusPanel::Port, name);
    noteIncompletePrograms();
}

void PortChoice::noteIncompletePrograms()
{
    const QStringList notes =
        TransferRecording::incompleteNotes(TransferLog().read().records, m_port.portName(), m_download.unit());
    m_statusBar.setPanelNote(StatusPanel::Port, notes.join(QLatin1Char('\n')));
}
