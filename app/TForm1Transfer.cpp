// The Communication menu's parts: the download and its display, the
// transfer record, the port choice and the lock on the other controls while
// a program is sent.
#include "app/TForm1.h"

#include "app/Controls.h"
#include "app/MenuKeys.h"
#include "app/PortChoice.h"
#include "app/RecentFilesMenu.h"
#include "app/ReportMenu.h"
#include "app/TransferDisplay.h"
#include "app/TransferRecordMenu.h"
#include "comm/dialog/TForm2.h"
#include "comm/link/CommXDownloadPort.h"
#include "comm/link/ProgramDownload.h"
#include "editor/GridEditor.h"
#include "editor/InitialTempField.h"
#include "editor/ProgramHistory.h"
#include "editor/SegmentGrid.h"
#include "files/TransferLog.h"
#include "model/Prompts.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>
#include <QTimer>
#include <QToolButton>

void TForm1::buildTransfer()
{
    m_transferRecords = new TransferRecordMenu(
        m_commMenu, m_commMenu->findChild<QAction *>(QStringLiteral("N4")),
        {*m_document, *m_model, *m_chart,
         [this](const SentProgram &program) { guarded([&] { m_fileCommands.openAsNewProgram(program); }); }},
        this);
    MenuKeys::equip(menuBar()); // the letter of the item just added
    m_transfer = new TransferDisplay(*m_document, *m_statusBar,
                                     {[this] {
                                          InitTempCheck();
                                          return !m_document->initialTempError();
                                      },
                                      [this] { CellCheck(); }},
                                     this);
    connect(m_transfer, &TransferDisplay::transferStateChanged, this, &TForm1::setTransferControls);
    connect(m_transfer, &TransferDisplay::transferStateChanged, m_transferRecords,
            &TransferRecordMenu::setTransferring);
    connect(m_transfer->Timer1(), &QTimer::timeout, this, [this] { guarded([this] { Timer1Timer(); }); });
    m_download = std::make_unique<ProgramDownload>(*m_transfer, *m_downloadPort, m_prompts);
    m_download->setTransferLog(TransferLog());
}

void TForm1::buildPortChoice()
{
    // The port setup window, created hidden; it hands back what was picked.
    m_portChoice = new PortChoice(*m_commX1, *m_downloadPort, *m_download, *m_statusBar, this);
    m_form2 = m_portChoice->dialog();
    connect(m_form2, &TForm2::portChosen, this, [this](int portNo, int index, const QString &name) {
        guarded([&] { applyPortChoice(portNo, index, name); });
    });
    lockDuringTransfer();
}

void TForm1::ToolButton4Click()
{
    const auto notePort = qScopeGuard([this] { m_portChoice->noteIncompletePrograms(); });
    try {
        m_download->run();
    } catch (const std::exception &e) {
        // The default error display, with what the ending may have left half written.
        m_prompts.error(QString::fromUtf8(e.what()), m_download->lastIncomplete());
    }
}

void TForm1::applyPortChoice(int portNo, int index, const QString &name)
{
    ComPortNo = portNo;
    ComPortIndex = index;
    m_portChoice->use(portNo, name);
}

void TForm1::setTransferControls(bool transfer)
{
    m_inTransfer = transfer;
    m_transferLock.setTransferring(transfer);
}

void TForm1::lockDuringTransfer()
{
    // A pick in the port window would close the port under the transfer,
    // and the initial temperature sent is the one that was checked.
    m_transferLock.setControls({{m_toolButtons[0], m_toolButtons[1], m_toolButtons[2], m_toolButtons[3], m_spinEdit1,
                                 m_form2, m_grid, m_gridEditor->modeCombo()},
                                m_toolButtons[4],
                                {m_fileMenu, m_editMenu, m_commMenu},
                                {[recent = m_recentFiles](bool free) { recent->setEnabled(free); },
                                 [report = m_reportMenu](bool free) { report->setEnabled(free); },
                                 [edit1 = m_edit1](bool free) { edit1->setReadOnly(!free); },
                                 [history = m_history](bool free) { history->setEnabled(free); }}});
}
