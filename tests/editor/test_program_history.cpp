#include "editor/HistoryView.h"
#include "editor/ProgramHistory.h"
#include "editor/SegmentGridModel.h"
#include "model/CellRules.h"
#include "model/Profile.h"
#include "model/ProgramDocument.h"
#include "model/SegmentTable.h"

#include <QAction>
#include <QtTest>
#include <functional>

namespace {
// The program, and what the window shows of it, without a window.
struct FakeDocument : HistoryView
{
    ProgramDocument document;
    int caret = -1;
    QList<QPointF> points;
    QString totalText;
    int draws = 0;
    QPoint shown;
    bool editorOpen = false;
    std::function<void()> onCellCheck;

    FakeDocument() { document.setInitialTempText("25.00"); }
    void redrawProfile() override
    {
        const Profile profile = computeProfile(document.initialTemp(), document.table());
        points = profile.points;
        totalText = totalTimeText(profile.totalMinutes);
        ++draws;
    }
    void showChangedCell(int col, int row) override { shown = {col, row}; }
    void placeCommentCaret(int at) override { caret = at; }
    bool cellEditorOpen() const override { return editorOpen; }
    void checkEditedCell() override
    {
        if (onCellCheck)
            onCellCheck();
    }
};

// Everything a step may change.
struct Picture
{
    TemperatureProgram table;
    QString initialText;
    double initialTemp;
    int programNo;
    QString comment;
    QList<QPointF> points;
    QString totalText;
    bool operator==(const Picture &) const = default;
};
Picture picture(const FakeDocument &d)
{
    return {d.document.table(),
            d.document.initialTempText(),
            d.document.initialTemp(),
            d.document.programNo(),
            d.document.comment(),
            d.points,
            d.totalText};
}
char *toString(const Picture &p)
{
    return QTest::toString(QStringLiteral("%1 columns, temp. %2, No. %3, \"%4\", %5")
                               .arg(p.table.colCount())
                               .arg(p.initialText)
                               .arg(p.programNo)
                               .arg(p.comment, p.totalText));
}

enum Change {
    Temperature,
    Rate,
    Time,
    ModeToHold,
    ModeToUnset,
    Insert,
    Delete,
    Paste,
    Cut,
    InitialTemp,
    ProgramNo,
    Comment
};
}

class TestProgramHistory : public QObject
{
    Q_OBJECT
    FakeDocument *m_doc = nullptr;
    ProgramHistory *m_history = nullptr;

    void setSlot(int slot, const QString &mode, const QString &temp, const QString &rate, const QString &time)
    {
        const QStringList cells{mode, temp, rate, time};
        for (int i = 0; i < 4; ++i)
            m_doc->document.setCell(1 + i, slot + 1, cells[i]);
    }

    // A change as the editing parts make and report it.
    void make(Change change)
    {
        ProgramDocument &model = m_doc->document;
        switch (change) {
        case Temperature:
            model.setCell(2, 4, "150.0");
            m_history->cellAccepted(4, 2);
            break;
        case Rate:
            model.setCell(3, 1, "2.5");
            m_history->cellAccepted(1, 3);
            break;
        case Time:
            model.setCell(4, 2, "20.45");
            m_history->cellAccepted(2, 4);
            break;
        case ModeToHold:
            model.setMode(1, "Hold");
            m_history->modeChanged(1);
            break;
        case ModeToUnset:
            model.setMode(1, " ");
            m_history->modeChanged(1);
            break;
        case Insert:
            model.insertSlot(2);
            m_history->slotInserted(2);
            break;
        case Delete:
            model.deleteSlot(6);
            m_history->slotDeleted(6);
            break;
        case Paste: {
            TemperatureProgram table = model.table();
            SegmentTable::insert(table, 3, {{"Hold", "0.0", "0.0", "2.00"}, {"Ramp", "50.0", "1.0", "0.00"}});
            model.restore(table);
            m_history->segmentsPasted(3, 2);
            break;
        }
        case Cut: {
            TemperatureProgram table = model.table();
            SegmentTable::remove(table, 2, 3);
            model.restore(table);
            m_history->segmentsCut(2, 2);
            break;
        }
        case InitialTemp:
            m_doc->document.setInitialTempText("40.00");
            m_doc->document.setInitialTemp(40);
            m_history->initialTempAccepted();
            break;
        case ProgramNo:
            m_doc->document.setProgramNo(5);
            m_history->programNoChanged();
            break;
        case Comment:
            m_doc->document.setComment("notes");
            m_history->commentEdited(0, 0, 5);
            break;
        }
        if (change != ProgramNo && change != Comment)
            m_doc->redrawProfile();
    }

private slots:
    void init()
    {
        m_doc = new FakeDocument;
        m_history = new ProgramHistory(m_doc->document, *m_doc);
        m_history->setClock([] { return qint64(0); });
        setSlot(0, "Ramp", "100.0", "5.0", "0.00");
        setSlot(1, "Hold", "0.0", "0.0", "10.30");
        setSlot(2, "Ramp", "40.0", "2.5", "0.00");
        setSlot(5, "Ramp", "200.0", "10.0", "0.00");
        setSlot(6, "Hold", "0.0", "0.0", "1.00");
        m_doc->document.setInitialTemp(25);
        m_doc->redrawProfile();
        m_history->reset();
    }

    void cleanup()
    {
        delete m_history;
        delete m_doc;
    }

    void eachChangeUndoesAndRedoes_data()
    {
        QTest::addColumn<int>("change");
        QTest::addColumn<bool>("widened"); // two inserts first: columns past the 33 slots hold values
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QPoint>("shownCell");
        QTest::addColumn<bool>("redraws");
        QTest::newRow("temperature") << int(Temperature) << false << "Undo Temp.(deg C) of segment 3" << QPoint(4, 2)
                                     << true;
        QTest::newRow("rate") << int(Rate) << false << "Undo Rate(deg C/min) of segment 0" << QPoint(1, 3) << true;
        QTest::newRow("time") << int(Time) << false << "Undo Time(min.sec) of segment 1" << QPoint(2, 4) << true;
        QTest::newRow("mode") << int(ModeToHold) << false << "Undo Mode of segment 0" << QPoint(1, 1) << true;
        QTest::newRow("unset mode, zeros")
            << int(ModeToUnset) << false << "Undo Mode of segment 0" << QPoint(1, 1) << true;
        QTest::newRow("insert") << int(Insert) << false << "Undo Insert segment 1" << QPoint(2, 1) << true;
        QTest::newRow("insert, widened") << int(Insert) << true << "Undo Insert segment 1" << QPoint(2, 1) << true;
        QTest::newRow("delete") << int(Delete) << false << "Undo Delete segment 5" << QPoint(6, 1) << true;
        QTest::newRow("delete, widened") << int(Delete) << true << "Undo Delete segment 5" << QPoint(6, 1) << true;
        QTest::newRow("paste") << int(Paste) << false << "Undo Paste of segments 2 to 3" << QPoint(3, 1) << true;
        QTest::newRow("paste, widened") << int(Paste) << true << "Undo Paste of segments 2 to 3" << QPoint(3, 1)
                                        << true;
        QTest::newRow("cut") << int(Cut) << false << "Undo Cut of segments 1 to 2" << QPoint(2, 1) << true;
        QTest::newRow("initial temp.") << int(InitialTemp) << false << "Undo Initial temp." << QPoint() << true;
        QTest::newRow("program no.") << int(ProgramNo) << false << "Undo Program No." << QPoint() << false;
        QTest::newRow("comment") << int(Comment) << false << "Undo Comment typing" << QPoint() << false;
    }

    void eachChangeUndoesAndRedoes()
    {
        QFETCH(int, change);
        QFETCH(bool, widened);
        QFETCH(QString, caption);
        QFETCH(QPoint, shownCell);
        QFETCH(bool, redraws);
        if (widened) {
            m_doc->document.insertSlot(1);
            m_doc->document.insertSlot(1);
            m_doc->document.setCell(2, 34, "77.0");
            m_doc->redrawProfile();
            m_history->reset();
        }
        const Picture before = picture(*m_doc);
        make(Change(change));
        const Picture after = picture(*m_doc);
        QVERIFY(!(after == before));
        QCOMPARE(m_history->undoAction()->iconText(), caption);
        QVERIFY(m_history->undoAction()->isEnabled());

        const int draws = m_doc->draws;
        m_history->undo();
        QCOMPARE(picture(*m_doc), before);
        QCOMPARE(m_doc->shown, shownCell);
        QCOMPARE(m_doc->draws, draws + (redraws ? 1 : 0));
        QCOMPARE(m_history->redoAction()->iconText(), "Redo" + caption.mid(4));
        QVERIFY(!m_history->undoAction()->isEnabled());

        m_doc->shown = {};
        m_history->redo();
        QCOMPARE(picture(*m_doc), after);
        QCOMPARE(m_doc->shown, shownCell);
        QCOMPARE(m_doc->draws, draws + (redraws ? 2 : 0));
    }

    void undoAnnouncesEveryCellWhoseLookChanges_data()
    {
        QTest::addColumn<int>("change");
        QTest::newRow("temperature") << int(Temperature);
        QTest::newRow("mode") << int(ModeToHold);
        QTest::newRow("unset mode, zeros") << int(ModeToUnset);
        QTest::newRow("insert") << int(Insert);
        QTest::newRow("cut") << int(Cut);
    }

    void undoAnnouncesEveryCellWhoseLookChanges()
    {
        // A cell looks different when its text or its being unused by its
        // slot's mode changed; the grid repaints what its model announces.
        QFETCH(int, change);
        SegmentGridModel grid(m_doc->document);
        auto looks = [this] {
            QMap<QPair<int, int>, QString> cells; // (column, row)
            for (int col = 1; col <= TemperatureProgram::LastSlotColumn; ++col) {
                const QString mode = m_doc->document.cell(TemperatureProgram::ModeRow, col);
                for (int row = TemperatureProgram::ModeRow; row <= TemperatureProgram::TimeRow; ++row)
                    cells[{col, row}] =
                        m_doc->document.cell(row, col) + (CellRules::isInactive(row, mode) ? " (unused)" : "");
            }
            return cells;
        };
        make(Change(change));
        for (const bool back : {true, false}) {
            const auto before = looks();
            QList<QRect> announced;
            const auto connection = connect(
                &grid, &QAbstractItemModel::dataChanged, this, [&](const QModelIndex &from, const QModelIndex &to) {
                    announced << QRect(QPoint(from.column(), from.row()), QPoint(to.column(), to.row()));
                });
            back ? m_history->undo() : m_history->redo();
            disconnect(connection);
            const auto after = looks();
            int changed = 0;
            for (auto it = after.cbegin(); it != after.cend(); ++it) {
                if (before.value(it.key()) == it.value())
                    continue;
                ++changed;
                const bool covered = std::any_of(announced.cbegin(), announced.cend(), [&](const QRect &r) {
                    return r.contains(it.key().first, it.key().second);
                });
                QVERIFY2(covered,
                         qPrintable(QStringLiteral("%1: column %2, row %3 went from \"%4\" to \"%5\"")
                                        .arg(back ? "undo" : "redo")
                                        .arg(it.key().first)
                                        .arg(it.key().second)
                                        .arg(before.value(it.key()), it.value())));
            }
            QVERIFY(changed > 0);
        }
    }

    void unchangedValuesAreNoStep()
    {
        m_history->cellAccepted(1, 2);              // the cell holds what was recorded
        m_doc->document.setInitialTempText("25.0"); // only rewritten, same value
        m_history->initialTempAccepted();
        m_history->programNoChanged();
        m_doc->document.insertSlot(1);
        m_doc->document.insertSlot(1);
        m_history->reset();
        m_doc->document.deleteSlot(35); // past the 33 slots: nothing moves
        m_history->slotDeleted(35);
        QVERIFY(!m_history->stack().canUndo());
        QCOMPARE(m_history->undoAction()->iconText(), QString("Undo"));
        QVERIFY(!m_history->undoAction()->isEnabled());
    }

    void undoingToTheSavedStateCountsAsUnchanged()
    {
        make(ProgramNo);
        m_history->saved();
        make(Temperature);
        m_doc->document.setModified(true);
        const QList<bool> modifiedAfter{false, true, false, true}; // undo, undo, redo, redo
        for (int i = 0; i < 4; ++i) {
            i < 2 ? m_history->undo() : m_history->redo();
            QCOMPARE(m_doc->document.isModified(), modifiedAfter[i]);
        }
        // A program changed when its history began has no unchanged state.
        m_doc->document.setModified(true);
        m_history->reset();
        make(Rate);
        m_history->undo();
        QVERIFY(m_doc->document.isModified());
    }

    void resetStartsAFreshHistory()
    {
        make(Delete);
        make(Comment);
        m_history->undo();
        m_doc->document.setCell(2, 1, "50.0");
        m_history->reset();
        QVERIFY(!m_history->undoAction()->isEnabled());
        QVERIFY(!m_history->redoAction()->isEnabled());
        // What the program held then is what the next change is compared with.
        make(Temperature);
        m_history->undo();
        QCOMPARE(m_doc->document.cell(2, 1), QString("50.0"));
    }

    void refusedWhileACellEditorIsOpenOrDuringATransfer()
    {
        make(Temperature);
        m_doc->editorOpen = true;
        m_history->undo();
        m_history->greyWhileCellEdited(true);
        QVERIFY(!m_history->undoAction()->isEnabled());
        m_doc->editorOpen = false;
        m_history->greyWhileCellEdited(false);
        m_history->setEnabled(false);
        QVERIFY(!m_history->undoAction()->isEnabled());
        m_history->undo();
        QCOMPARE(m_doc->document.cell(2, 4), QString("150.0"));
        m_history->setEnabled(true);
        QVERIFY(m_history->undoAction()->isEnabled());
        m_history->undo();
        QCOMPARE(m_doc->document.cell(2, 4), QString("0.0"));
    }

    void aValueTypedAndNotYetCheckedIsUndoneFirst()
    {
        make(Rate);
        m_doc->onCellCheck = [this] {
            m_doc->document.setCell(2, 3, "55.0");
            m_history->cellAccepted(3, 2);
        };
        m_history->undo();
        QCOMPARE(m_doc->document.cell(2, 3), QString("40.0"));
        QCOMPARE(m_doc->document.cell(3, 1), QString("2.5"));
        // A value the check refuses stops the undo.
        m_doc->onCellCheck = [] { throw std::runtime_error(" Exceeding the input range."); };
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, m_history->undo());
        QCOMPARE(m_doc->document.cell(3, 1), QString("2.5"));
    }

    // Edits of the comment: position, characters removed and added, time in ms.
    void commentTypingMerges_data()
    {
        QTest::addColumn<QList<QList<int>>>("edits");
        QTest::addColumn<int>("steps");
        using E = QList<QList<int>>;
        QTest::newRow("typing on") << E{{0, 0, 1, 0}, {1, 0, 1, 400}, {2, 0, 1, 800}, {3, 0, 1, 1200}} << 1;
        QTest::newRow("a pause of a second") << E{{0, 0, 1, 0}, {1, 0, 1, 1000}} << 2;
        QTest::newRow("just under a second") << E{{0, 0, 1, 0}, {1, 0, 1, 999}} << 1;
        QTest::newRow("caret jumps") << E{{0, 0, 3, 0}, {0, 0, 1, 100}} << 2;
        QTest::newRow("backspace at the caret") << E{{0, 0, 3, 0}, {2, 1, 0, 100}, {1, 1, 0, 200}} << 1;
        QTest::newRow("delete after the caret") << E{{0, 0, 3, 0}, {0, 0, 2, 100}, {2, 1, 0, 200}} << 2;
        QTest::newRow("typed over a selection") << E{{0, 0, 3, 0}, {1, 2, 1, 100}} << 1;
        QTest::newRow("typed and taken back") << E{{0, 0, 3, 0}, {3, 0, 1, 100}, {3, 1, 0, 200}} << 1;
    }

    void commentTypingMerges()
    {
        QFETCH(QList<QList<int>>, edits);
        QFETCH(int, steps);
        for (const QList<int> &e : edits) {
            m_doc->document.setComment(m_doc->document.comment().replace(e[0], e[1], QString(e[2], u'x')));
            m_history->setClock([t = e[3]] { return qint64(t); });
            m_history->commentEdited(e[0], e[1], e[2]);
        }
        QCOMPARE(m_history->stack().count(), steps);
        while (m_history->stack().canUndo())
            m_history->undo();
        QCOMPARE(m_doc->document.comment(), QString());
    }
};

QTEST_MAIN(TestProgramHistory)
#include "test_program_history.moc"
