#pragma once

// The base of the window tests: a main window with scripted prompts and its
// settings in a folder of its own, empty, with slots set, or holding the
// example program (for tests given VANTREL_GOLDEN_DIR). Header-only; the test
// links the app library.

#include "app/TForm1.h"
#include "editor/SegmentGrid.h"
#include "editor/SegmentGridModel.h"
#include "tests/support/GridDriving.h"
#include "tests/support/ScriptedPrompts.h"

#include <QTemporaryDir>
#include <QtTest>

class WindowTest : public QObject
{
protected:
    QTemporaryDir m_dir;
    ScriptedPrompts *m_prompts = nullptr;
    TForm1 *m_form = nullptr;

    SegmentGrid *grid() const { return m_form->StringGrid1(); }
    SegmentGridModel *model() const { return m_form->gridModel(); }
    // Rows 1 to 4 (Mode, Temp., Rate, Time) of a grid column.
    QStringList column(int col) const
    {
        return {model()->cell(1, col), model()->cell(2, col), model()->cell(3, col), model()->cell(4, col)};
    }

    // A key pressed where the focus is, as a person's key goes.
    static void key(Qt::Key k, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(QApplication::focusWidget(), k, modifiers);
    }

    // A new window, shown, with `segments` set from slot 0 on (see
    // GridDriving::setSlots); whether it became the active one.
    bool openWindow(const QList<QStringList> &segments = {})
    {
        m_prompts = new ScriptedPrompts;
        m_form = new TForm1(*m_prompts, m_dir.filePath("settings.ini"));
        m_form->show();
        const bool active = QTest::qWaitForWindowActive(m_form);
        GridDriving::setSlots(model(), segments);
        return active;
    }

#ifdef VANTREL_GOLDEN_DIR
    // A new window holding the example program (Ramp 150.0, Hold 5.30, Ramp
    // 60.0), opened as from the command line; whether it became the active one.
    bool openExampleWindow()
    {
        const bool active = openWindow();
        m_form->openFromCommandLine(QStringLiteral(VANTREL_GOLDEN_DIR "/example.tpd"));
        return active;
    }
#endif

    // Closes the window without the unsaved-data question.
    void closeWindow()
    {
        m_form->document().setModified(false);
        delete m_form;
        delete m_prompts;
    }
};
