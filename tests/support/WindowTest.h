#pragma once

// The base of the window tests: a main window with scripted prompts and its
// settings in a folder of its own. Header-only; the test links the app library.

#include "app/TForm1.h"
#include "editor/SegmentGrid.h"
#include "editor/SegmentGridModel.h"
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

    // A new window, shown; whether it became the active one.
    bool openWindow()
    {
        m_prompts = new ScriptedPrompts;
        m_form = new TForm1(*m_prompts, m_dir.filePath("settings.ini"));
        m_form->show();
        return QTest::qWaitForWindowActive(m_form);
    }

    // Closes the window without the unsaved-data question.
    void closeWindow()
    {
        m_form->document().setModified(false);
        delete m_form;
        delete m_prompts;
    }
};
