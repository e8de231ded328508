#include "EditorHost.h"
#include "Profile.h"
#include "ProgramDocument.h"
#include "ProgramHistory.h"
#include "SegmentGridModel.h"

#include <QAction>
#include <QtTest>
#include <functional>

namespace {
// The program and what the window shows of it, without a window.
class FakeDocument : public ProgramDocument
{
public:
    EditorState state;
    SegmentGridModel model;
    QString initialText = "0.0";
    int number = 0;
    QString comment;
    int caret = -1;
    QList<QPointF> points;
    QString totalText;
    int draws = 0;
    QPoint shown;
    bool editorOpen = false;
    std::function<void()> onCellCheck;

    EditorState &editorState() override { return state; }
    SegmentGridModel &segmentModel() override { return model; }
    QString initialTempText() const override { return initialText; }
    void setInitialTempText(const QString &text) override { initialText = text; }
    int programNo() const override { return number; }
    void setProgramNo(int programNo) override { number = programNo; }
    QString commentText() const override { return comment; }
    void setCommentText(const QString &text, int at) override { comment = text; caret = at; }
    void ChardDraw() override
    {
        const Profile profile = computeProfile(state.InitialTemp, model.program());
        points = profile.points;
        totalText = totalTimeText(profile.totalMinutes);
        ++draws;
    }
    void showChangedCell(int col, int row) override { shown = {col, row}; }
    bool cellEditorOpen() const override { return editorOpen; }
    void CellCheck() override
    {
        if (onCellCheck)
            onCellCheck();
    }
};

// Everything a step may change, for comparing before and after.
struct Picture
{
    int colCount;
    QStringList cells;
    QString initialText;
    double initialTemp;
    int programNo;
    QString comment;
    QList<QPointF> points;
    QString totalText;

    explicit Picture(const FakeDocument &d)
        : colCount(d.model.program().colCount()), initialText(d.initialText), initialTemp(d.state.InitialTemp),
          programNo(d.number), comment(d.comment), points(d.points), totalText(d.totalText)
    {
        for (int row = 0; row < TemperatureProgram::RowCount; ++row)
            for (int col = 0; col < std::max(colCount, TemperatureProgram::LastSlotColumn + 1); ++col)
                cells << d.model.cell(row, col);
    }
    bool operator==(const Picture &) const = default;
};

char *toString(const Picture &p)
{
    return QTest::toString(QStringLiteral("%1 columns, %2, %3, No. %4, \"%5\", %6")
                               .arg(p.colCount).arg(p.cells.join(u'|'), p.initialText).arg(p.programNo)
                               .arg(p.comment, p.totalText));
}

enum Change { Temperature, Rate, Time, ModeToHold, ModeToUnset, Insert, Delete, DeletePastSlots, InitialTemp,
              ProgramNo, Comment };
}

class TestProgramHistory : public QObject
{
    Q_OBJECT
    FakeDocument *m_doc = nullptr;
    ProgramHistory *m_history = nullptr;

    void setSlot(int slot, const QString &mode, const QString &temp, const QString &rate, const QString &time)
    {
        m_doc->model.setCell(1, slot + 1, mode);
        m_doc->model.setCell(2, slot + 1, temp);
        m_doc->model.setCell(3, slot + 1, rate);
        m_doc->model.setCell(4, slot + 1, time);
    }

    // A change as the editing parts make and report it.
    void make(Change change)
    {
        SegmentGridModel &model = m_doc->model;
        switch (change) {
        case Temperature: model.setCell(2, 4, "150.0"); m_history->cellAccepted(4, 2); break;
        case Rate: model.setCell(3, 1, "2.5"); m_history->cellAccepted(1, 3); break;
        case Time: model.setCell(4, 2, "20.45"); m_history->cellAccepted(2, 4); break;
        case ModeToHold: model.setMode(1, "Hold"); m_history->modeChanged(1); break;
        case ModeToUnset: model.setMode(1, " "); m_history->modeChanged(1); break;
        case Insert: model.insertSlot(2); m_history->slotInserted(2); break;
        case Delete:
        case DeletePastSlots: model.deleteSlot(6); m_history->slotDeleted(6); break;
        case InitialTemp:
            m_doc->initialText = "40.00";
            m_doc->state.InitialTemp = 40;
            m_history->initialTempAccepted();
            break;
        case ProgramNo: m_doc->number = 5; m_history->programNoChanged(); break;
        case Comment: m_doc->comment = "notes"; m_history->commentEdited(0, 0, 5); break;
        }
        if (change != ProgramNo && change != Comment)
            m_doc->ChardDraw();
    }

private slots:
    void init()
    {
        m_doc = new FakeDocument;
        m_history = new ProgramHistory(*m_doc);
        m_history->setClock([] { return qint64(0); });
        setSlot(0, "Ramp", "100.0", "5.0", "0.00");
        setSlot(1, "Hold", "0.0", "0.0", "10.30");
        setSlot(2, "Ramp", "40.0", "2.5", "0.00");
        setSlot(5, "Ramp", "200.0", "10.0", "0.00");
        setSlot(6, "Hold", "0.0", "0.0", "1.00");
        m_doc->initialText = "25.00";
        m_doc->state.InitialTemp = 25;
        m_doc->ChardDraw();
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
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QPoint>("shownCell");
        QTest::addColumn<bool>("redraws");
        QTest::newRow("temperature") << int(Temperature) << "Undo Temp.(deg C) of segment 3" << QPoint(4, 2) << true;
        QTest::newRow("rate") << int(Rate) << "Undo Rate(deg C/min) of segment 0" << QPoint(1, 3) << true;
        QTest::newRow("time") << int(Time) << "Undo Time(min.sec) of segment 1" << QPoint(2, 4) << true;
        QTest::newRow("mode") << int(ModeToHold) << "Undo Mode of segment 0" << QPoint(1, 1) << true;
        QTest::newRow("unset mode") << int(ModeToUnset) << "Undo Mode of segment 0" << QPoint(1, 1) << true;
        QTest::newRow("insert") << int(Insert) << "Undo Insert segment 1" << QPoint(2, 1) << true;
        QTest::newRow("delete") << int(Delete) << "Undo Delete segment 5" << QPoint(6, 1) << true;
        QTest::newRow("delete, grid widened") << int(DeletePastSlots) << "Undo Delete segment 5" << QPoint(6, 1) << true;
        QTest::newRow("initial temp.") << int(InitialTemp) << "Undo Initial temp." << QPoint() << true;
        QTest::newRow("program no.") << int(ProgramNo) << "Undo Program No." << QPoint() << false;
        QTest::newRow("comment") << int(Comment) << "Undo Comment typing" << QPoint() << false;
    }

    void eachChangeUndoesAndRedoes()
    {
        QFETCH(int, change);
        QFETCH(QString, caption);
        QFETCH(QPoint, shownCell);
        QFETCH(bool, redraws);
        if (change == DeletePastSlots) {
            // Two inserts: slot 32 and a column past it hold values.
            m_doc->model.insertSlot(1);
            m_doc->model.insertSlot(1);
            m_doc->model.setCell(2, 34, "77.0");
            m_doc->ChardDraw();
            m_history->reset();
        }
        const Picture before(*m_doc);
        make(Change(change));
        const Picture after(*m_doc);
        QVERIFY(!(after == before));
        QCOMPARE(m_history->undoAction()->text(), caption);
        QVERIFY(m_history->undoAction()->isEnabled());

        const int draws = m_doc->draws;
        m_history->undo();
        QCOMPARE(Picture(*m_doc), before);
        QCOMPARE(m_doc->shown, shownCell);
        QCOMPARE(m_doc->draws, draws + (redraws ? 1 : 0));
        QCOMPARE(m_history->redoAction()->text(), "Redo" + caption.mid(4));
        QVERIFY(!m_history->undoAction()->isEnabled());

        m_doc->shown = {};
        m_history->redo();
        QCOMPARE(Picture(*m_doc), after);
        QCOMPARE(m_doc->shown, shownCell);
        QCOMPARE(m_doc->draws, draws + (redraws ? 2 : 0));
    }

    void unsetModeWritesZerosAndUndoBringsTheValuesBack()
    {
        make(ModeToUnset);
        QCOMPARE(m_doc->model.cell(2, 1), QString("0"));
        m_history->undo();
        QCOMPARE(m_doc->model.cell(2, 1), QString("100.0"));
        QCOMPARE(m_doc->model.cell(3, 1), QString("5.0"));
    }

    void anUnchangedValueIsNoStep()
    {
        m_history->cellAccepted(1, 2);         // the cell holds what was recorded
        m_doc->initialText = "25.0";           // only rewritten, same value
        m_history->initialTempAccepted();
        m_history->programNoChanged();
        QVERIFY(!m_history->stack().canUndo());
        QCOMPARE(m_history->undoAction()->text(), QString("Undo"));
        QVERIFY(!m_history->undoAction()->isEnabled());
    }

    void deletePastTheSlotsIsNoStep()
    {
        m_doc->model.insertSlot(1);
        m_doc->model.insertSlot(1);
        m_history->reset();
        m_doc->model.deleteSlot(35);
        m_history->slotDeleted(35);
        QVERIFY(!m_history->stack().canUndo());
    }

    void undoingToTheSavedStateCountsAsUnchanged()
    {
        make(ProgramNo);
        m_history->saved();
        m_doc->state.DataModified = false;
        make(Temperature);
        m_doc->state.DataModified = true;
        m_history->undo();
        QVERIFY(!m_doc->state.DataModified);
        m_history->undo();
        QVERIFY(m_doc->state.DataModified);
        m_history->redo();
        QVERIFY(!m_doc->state.DataModified);
        m_history->redo();
        QVERIFY(m_doc->state.DataModified);
    }

    void aProgramChangedWhenTheHistoryBeganHasNoUnchangedState()
    {
        m_doc->state.DataModified = true; // e.g. the program number from the settings
        m_history->reset();
        make(Rate);
        m_history->undo();
        QVERIFY(m_doc->state.DataModified);
    }

    void resetStartsAFreshHistory()
    {
        make(Delete);
        make(Comment);
        m_history->undo();
        m_history->reset();
        QVERIFY(!m_history->stack().canUndo());
        QVERIFY(!m_history->stack().canRedo());
        QVERIFY(!m_history->undoAction()->isEnabled());
        QVERIFY(!m_history->redoAction()->isEnabled());
        // What was loaded is what the next change is compared with.
        m_doc->model.setCell(2, 1, "50.0");
        m_history->reset();
        make(Temperature);
        m_history->undo();
        QCOMPARE(m_doc->model.cell(2, 1), QString("50.0"));
    }

    void refusedWhileACellEditorIsOpen()
    {
        make(Temperature);
        m_doc->editorOpen = true;
        m_history->undo();
        QCOMPARE(m_doc->model.cell(2, 4), QString("150.0"));
        m_history->greyWhileCellEdited(true);
        QVERIFY(!m_history->undoAction()->isEnabled());
        m_doc->editorOpen = false;
        m_history->greyWhileCellEdited(false);
        QVERIFY(m_history->undoAction()->isEnabled());
        m_history->undo();
        QCOMPARE(m_doc->model.cell(2, 4), QString("0.0"));
    }

    void aValueTypedAndNotYetCheckedIsUndoneFirst()
    {
        make(Rate);
        // The cell check accepts the value typed last when Undo asks for it.
        m_doc->onCellCheck = [this] {
            m_doc->model.setCell(2, 3, "55.0");
            m_history->cellAccepted(3, 2);
        };
        m_history->undo();
        QCOMPARE(m_doc->model.cell(2, 3), QString("40.0"));
        QCOMPARE(m_doc->model.cell(3, 1), QString("2.5"));
        QCOMPARE(m_history->redoAction()->text(), QString("Redo Temp.(deg C) of segment 2"));
    }

    void aRefusedValueStopsTheUndo()
    {
        make(Rate);
        m_doc->onCellCheck = [] { throw std::runtime_error(" Exceeding the input range."); };
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, m_history->undo());
        QCOMPARE(m_doc->model.cell(3, 1), QString("2.5"));
    }

    void disabledDuringATransfer()
    {
        make(Temperature);
        make(Rate);
        m_history->undo();
        m_history->setEnabled(false);
        QVERIFY(!m_history->undoAction()->isEnabled());
        QVERIFY(!m_history->redoAction()->isEnabled());
        m_history->undo();
        m_history->redo();
        QCOMPARE(m_doc->model.cell(2, 4), QString("150.0"));
        QCOMPARE(m_doc->model.cell(3, 1), QString("5.0"));
        m_history->setEnabled(true);
        QVERIFY(m_history->undoAction()->isEnabled());
        QVERIFY(m_history->redoAction()->isEnabled());
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
        QTest::newRow("typed and taken back") << E{{0, 0, 3, 0}, {3, 0, 1, 100}, {3, 1, 0, 200}} << 1;
        QTest::newRow("typed over a selection") << E{{0, 0, 3, 0}, {1, 2, 1, 100}} << 1;
    }

    void commentTypingMerges()
    {
        QFETCH(QList<QList<int>>, edits);
        QFETCH(int, steps);
        m_doc->comment = "";
        m_history->reset();
        for (const QList<int> &e : edits) {
            m_doc->comment.replace(e[0], e[1], QString(e[2], u'x'));
            m_history->setClock([t = e[3]] { return qint64(t); });
            m_history->commentEdited(e[0], e[1], e[2]);
        }
        QCOMPARE(m_history->stack().count(), steps);
        while (m_history->stack().canUndo())
            m_history->undo();
        QCOMPARE(m_doc->comment, QString());
    }

    void commentUndoPutsTheCaretWhereTheTypingBegan()
    {
        m_doc->comment = "ab";
        m_history->reset();
        m_doc->comment = "aXb";
        m_history->commentEdited(1, 0, 1);
        m_doc->comment = "aXYb";
        m_history->commentEdited(2, 0, 1);
        QCOMPARE(m_history->stack().count(), 1);
        m_history->undo();
        QCOMPARE(m_doc->comment, QString("ab"));
        QCOMPARE(m_doc->caret, 1);
        m_history->redo();
        QCOMPARE(m_doc->comment, QString("aXYb"));
        QCOMPARE(m_doc->caret, 3);
    }

    void typingAfterASaveStartsANewStep()
    {
        m_doc->comment = "a";
        m_history->commentEdited(0, 0, 1);
        m_history->saved();
        m_doc->comment = "ab";
        m_history->commentEdited(1, 0, 1);
        QCOMPARE(m_history->stack().count(), 2);
    }
};

QTEST_MAIN(TestProgramHistory)
#include "test_program_history.moc"
