#include "comm/CommX.h"
#include "comm/link/CommXDownloadPort.h"
#include "comm/PortDirectory.h"
#include "tests/support/ScriptedPrompts.h"
#include "app/StatusBar1.h"
#include "app/TForm1.h"
#include "comm/dialog/TForm2.h"

#include <QComboBox>
#include <QLabel>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <pty.h>
#include <unistd.h>

// The port setup window over a ports folder of links made here.
class TestPortDialog : public QObject
{
    Q_OBJECT
    QTemporaryDir m_home;
    int m_master[2] = {-1, -1};
    int m_slave[2] = {-1, -1};
    QString m_device[2];

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", m_home.path().toUtf8());
        const QString ports = PortDirectory::defaultPortsFolder();
        QVERIFY(QDir().mkpath(ports));
        for (int i = 0; i < 2; ++i) {
            char name[128];
            QVERIFY(::openpty(&m_master[i], &m_slave[i], name, nullptr, nullptr) == 0);
            m_device[i] = QString::fromLocal8Bit(name);
        }
        // COM3 made first: the list is in COM-number order, not in link order.
        QVERIFY(QFile::link(m_device[1], ports + "/COM3"));
        QVERIFY(QFile::link(m_device[0], ports + "/COM1"));
        QVERIFY(QFile::link("/nonexistent/tty", ports + "/COM5")); // leads nowhere: not present
    }

    void cleanupTestCase()
    {
        for (int i = 0; i < 2; ++i) {
            ::close(m_master[i]);
            ::close(m_slave[i]);
        }
    }

    void portFailuresAreExplained_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("errorState");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("reason");
        using Step = OpenFailure::Step;
        QTest::newRow("no port chosen") << "" << "" << 101 << int(Step::NoDevice) << 0
                                        << "No port is chosen (Communication, Com. port settings).";
        QTest::newRow("nothing behind the name") << "COM9" << "" << 101 << int(Step::NoDevice) << 0
                                                 << "COM9: no such port on this computer.";
        QTest::newRow("device refused")<< "COM4" << "/dev/ttyS99x" << 101 << int(Step::Open) << ENOENT
                                        << "COM4 (/dev/ttyS99x): No such file or directory.";
        QTest::newRow("not a serial device")<< "COM4" << "/dev/null" << 101 << int(Step::NotATerminal) << 0
                                             << "COM4 (/dev/null) is not a serial device.";
        QTest::newRow("in use")<< "COM4" << "/dev/ttyS3" << 101 << int(Step::InUse) << EWOULDBLOCK
                                << "COM4 (/dev/ttyS3) is in use by another program.";
        QTest::newRow("setup failed")<< "COM4" << "/dev/ttyS3" << 101 << int(Step::Setup) << EIO
                                      << "COM4 (/dev/ttyS3) could not be set up: Input/output error.";
        QTest::newRow("device named by its path") << "/dev/pts/77" << "/dev/pts/77" << 101 << int(Step::Open)
                                                  << ENOENT << "/dev/pts/77: No such file or directory.";
        QTest::newRow("7 data bits refused")<< "COM4" << "/dev/ttyS3" << 105 << int(Step::None) << 0
                                             << "COM4 (/dev/ttyS3) does not take 7 data bits.";
        QTest::newRow("time-outs refused")<< "COM4" << "/dev/ttyS3" << 109 << int(Step::None) << 0
                                           << "COM4 (/dev/ttyS3) does not take the line settings (error 109).";
        const QString oven = "rfc2217://127.0.0.1:4001";
        const QString named = "rfc2217://localhost:4001";
        QTest::newRow("server: 2 stop bits refused") << oven << oven << 107 << int(Step::None) << 0
                                                     << "127.0.0.1:4001 does not take 2 stop bits.";
        QTest::newRow("server behind a COM number") << "COM7" << oven << 104 << int(Step::None) << 0
                                                    << "COM7 (rfc2217://127.0.0.1:4001) does not take 38400 bit/s.";
        QTest::newRow("server: name not known") << named << named << 101 << int(Step::NameNotFound) << 0
                                                << "localhost:4001: the name \"localhost\" is not known (no such host).";
        QTest::newRow("server: refused") << oven << oven << 101 << int(Step::Connect) << ECONNREFUSED
                                         << "127.0.0.1:4001: cannot connect: Connection refused.";
        QTest::newRow("server: silent") << oven << oven << 101 << int(Step::Connect) << ETIMEDOUT
                                        << "127.0.0.1:4001: no connection within 5 s (the server does not answer).";
        QTest::newRow("server: no COM-port option") << oven << oven << 101 << int(Step::Protocol) << 0
            << "127.0.0.1:4001 refuses the COM-port option (RFC 2217); a raw TCP port is reached with socket://.";
        QTest::newRow("server: option never agreed") << oven << oven << 101 << int(Step::Protocol) << ETIMEDOUT
            << "127.0.0.1:4001 did not take up the COM-port option (RFC 2217) within 5 s; a raw TCP port is reached with socket://.";
    }

    void portFailuresAreExplained()
    {
        QFETCH(QString, port);
        QFETCH(QString, device);
        QFETCH(int, errorState);
        QFETCH(int, step);
        QFETCH(int, error);
        QFETCH(QString, reason);
        QCOMPARE(CommXDownloadPort::describeOpenFailure(port, device, errorState,
                                                        OpenFailure{OpenFailure::Step(step), error}),
                 reason);
    }

    // The reason comes from the open itself, as the download shows it.
    void openFailureCarriesItsReason()
    {
        TCommX holder;
        holder.setPortNo(1);
        holder.Open();
        QVERIFY(holder.IsOpen());
        const QString ports = PortDirectory::defaultPortsFolder();
        QVERIFY(QFile::link("/dev/null", ports + "/COM6"));
        for (const auto &[portNo, reason] :
             {std::pair{1, QStringLiteral("COM1 (%1) is in use by another program.").arg(m_device[0])},
              std::pair{5, QStringLiteral("COM5: no such port on this computer.")},
              std::pair{6, QStringLiteral("COM6 (/dev/null) is not a serial device.")}}) {
            TCommX comm;
            comm.setPortNo(portNo);
            CommXDownloadPort port(comm);
            try {
                port.Open();
                QFAIL("opened");
            } catch (const PortOpenError &e) {
                QCOMPARE(e.reason(), reason);
            }
            QVERIFY(!comm.IsOpen());
        }
        QFile::remove(ports + "/COM6");
    }

    void listsThePortsAndAppliesAPick()
    {
        ScriptedPrompts prompts;
        TForm1 form(prompts, m_home.filePath("settings.ini"));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.statusBar1()->panelText(StatusPanel::Port), QString("COM0"));

        // An open port is closed by the pick.
        form.CommX1().setPortNo(1);
        form.CommX1().Open();
        QVERIFY(form.CommX1().IsOpen());

        form.N6Click();
        TForm2 *dialog = form.Form2();
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QString("Com. Port Setup"));
        auto *label = dialog->findChild<QLabel *>("Label1");
        QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(label->text())); // nothing cut off
        QComboBox *list = dialog->ComboBox1();
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->itemText(0), QString("COM1"));
        QCOMPARE(list->itemText(1), QString("COM3"));
        QVERIFY(list->itemData(1, Qt::ToolTipRole).toString().startsWith(m_device[1]));
        QCOMPARE(list->currentIndex(), -1);  // no port chosen: none shown as chosen ...
        QVERIFY(form.CommX1().IsOpen());     // ... without touching the port
        QCOMPARE(form.ComPortNo, 0);

        list->setCurrentIndex(1);
        emit list->activated(1);
        QVERIFY(!form.CommX1().IsOpen());
        QCOMPARE(form.ComPortNo, 3);
        QCOMPARE(form.PortNo(), 3);
        QCOMPARE(form.ComPortIndex, 1);
        QCOMPARE(form.statusBar1()->panelText(StatusPanel::Port), QString("COM3"));
        QVERIFY(form.isEnabled()); // the main window stays usable

        // Asked for again while shown: only brought to the front, list and place kept.
        dialog->move(dialog->pos() + QPoint(40, 30));
        const QPoint movedTo = dialog->pos();
        form.N6Click();
        QCOMPARE(dialog->pos(), movedTo);
        QCOMPARE(list->currentIndex(), 1);

        // Escape closes it, as its close button does.
        QTest::keyClick(list, Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());

        // Shown again later: a fresh list with the chosen port selected, by
        // its name, wherever it now stands in the list.
        form.ComPortIndex = 0;
        form.N6Click();
        QCOMPARE(list->currentText(), QString("COM3"));
        dialog->hide();
        form.ComPortNo = 7; // not in the list: nothing selected
        form.N6Click();
        QCOMPARE(list->currentIndex(), -1);
        QVERIFY(form.close());
    }
};

QTEST_MAIN(TestPortDialog)
#include "test_port_dialog.moc"
