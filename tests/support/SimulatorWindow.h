#pragma once

// A main window with the controller simulator behind its port: the
// simulator on a pseudo-terminal, linked as COM7 in the ports folder, and the
// window with scripted prompts, shown and set to that port. The window goes
// first, then the prompts it speaks through, then the simulator. Header-only;
// the test links the app and simulator libraries.

#include "app/TForm1.h"
#include "comm/CommX.h"
#include "comm/PortDirectory.h"
#include "sim/ControllerSimulator.h"
#include "tests/support/ScriptedPrompts.h"

#include <QtTest>

#include <memory>

class SimulatorWindow
{
public:
    static constexpr int Com = 7;

    ControllerSimulator sim;
    ScriptedPrompts prompts;

    // The simulator started and linked as COM7; false, with the reason in
    // `error`, when it cannot be.
    bool startSimulator(QString *error)
    {
        return sim.start(error) && sim.linkAs(Com, PortDirectory::defaultPortsFolder(), error);
    }

    // A new window, shown, its port set to COM`portNo`; whether it was exposed.
    bool openWindow(const QString &settingsPath, int portNo = Com)
    {
        m_form = std::make_unique<TForm1>(prompts, settingsPath);
        m_form->show();
        const bool exposed = QTest::qWaitForWindowExposed(m_form.get());
        m_form->CommX1().setPortNo(portNo);
        return exposed;
    }

    // Both of the above; false, with the reason in `error`, when either fails.
    bool open(const QString &settingsPath, QString *error)
    {
        if (!startSimulator(error))
            return false;
        if (openWindow(settingsPath))
            return true;
        *error = QStringLiteral("the window was never shown");
        return false;
    }

    TForm1 &form() const { return *m_form; }

private:
    std::unique_ptr<TForm1> m_form;
};
