#include "app/StatusBar1.h"
#include "app/TForm1.h"
#include "comm/CommX.h"
#include "comm/PortDirectory.h"
#include "comm/dialog/TForm2.h"
#include "tests/support/ScriptedPrompts.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>
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
        QCOMPARE(list->currentIndex(), -1); // no port chosen: none shown as chosen ...
        QVERIFY(form.CommX1().IsOpen());    // ... without touching the port
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
