#include "app/TransferDisplay.h"

#include "app/StatusBar1.h"
#include "model/ProgramDocument.h"
#include "model/StatusPanel.h"

#include <QProgressBar>
#include <QTimer>

TransferDisplay::TransferDisplay(ProgramDocument &document, StatusBar1 &statusBar, Checks checks, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_statusBar(statusBar)
    , m_checks(std::move(checks))
    , m_timer1(new QTimer(this))
{
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(200);
}

void TransferDisplay::Timer1Timer()
{
    QProgressBar *bar = m_statusBar.progressBar();
    bar->setValue(bar->value() + 10 >= 100 ? 0 : bar->value() + 10);
}

void TransferDisplay::enterTransferState()
{
    emit transferStateChanged(true);
    m_statusBar.setPanelText(StatusPanel::Transfer, QStringLiteral("Waiting..."));
    m_statusBar.progressBar()->setValue(0);
    m_statusBar.progressBar()->show();
    m_timer1->start();
}

void TransferDisplay::resetAfterTransfer()
{
    emit transferStateChanged(false);
    stopActivity();
}

void TransferDisplay::stopActivity()
{
    m_timer1->stop();
    m_statusBar.progressBar()->hide();
    m_statusBar.progressBar()->setValue(0);
    m_statusBar.setPanelText(StatusPanel::Transfer, QString());
}

void TransferDisplay::startSending()
{
    m_statusBar.setPanelText(StatusPanel::Hint, QString());
    m_statusBar.setPanelText(StatusPanel::Transfer, QStringLiteral("Sending..."));
    m_statusBar.progressBar()->setValue(0);
    m_statusBar.progressBar()->show();
    m_timer1->start();
}

void TransferDisplay::setTransferStatus(const QString &text) { m_statusBar.setPanelText(StatusPanel::Transfer, text); }

TemperatureProgram TransferDisplay::segmentTable() const { return m_document.table(); }

int TransferDisplay::programNo() const { return m_document.programNo(); }

QString TransferDisplay::initialTempText() const { return m_document.initialTempText(); }

QString TransferDisplay::programFile() const { return m_document.fileName(); }

bool TransferDisplay::programUnchangedSinceSaved() const
{
    return !m_document.fileName().isEmpty() && !m_document.isModified();
}

void TransferDisplay::recordNotWritten(const QString &text)
{
    TransferWindow::recordNotWritten(text);
    m_statusBar.setPanelText(StatusPanel::Hint, text);
}
