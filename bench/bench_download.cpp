// Measures a 32-segment download through the real window and serial
// component to the controller simulator (20 ms response wait, answers paced
// at 38400 bit/s 7E2): the time from the person's Yes to the end.
#include "app/TForm1.h"
#include "comm/CommX.h"
#include "comm/PortDirectory.h"
#include "editor/SegmentGridModel.h"
#include "sim/ControllerSimulator.h"
#include "tests/support/ScriptedPrompts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    qputenv("XDG_DATA_HOME", home.path().toUtf8()); // the transfer log
    QApplication app(argc, argv);

    ControllerSimulator sim;
    QString error;
    if (!sim.start(&error) || !sim.linkAs(4, PortDirectory::defaultPortsFolder(), &error)) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(error));
        return 1;
    }
    ScriptedPrompts prompts;
    TForm1 form(prompts, home.filePath("settings.ini"));
    form.CommX1().setPortNo(4);
    for (int slot = 0; slot < 32; ++slot) {
        const bool ramp = slot % 2 == 0;
        form.gridModel()->setCell(1, slot + 1, ramp ? "Ramp" : "Hold");
        form.gridModel()->setCell(2, slot + 1, ramp ? "150.0" : "0.0");
        form.gridModel()->setCell(3, slot + 1, ramp ? "10.0" : "0.0");
        form.gridModel()->setCell(4, slot + 1, ramp ? "0.00" : "5.30");
    }

    QElapsedTimer clock;
    qint64 toConfirmation = 0;
    prompts.boxAnswers = {Prompts::Yes};
    QElapsedTimer total;
    total.start();
    prompts.onShow = [&](const ScriptedPrompts::Shown &shown) {
        if (shown.text.startsWith("Are you sure")) {
            toConfirmation = total.elapsed();
            clock.start();
        }
    };
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 3;
    for (int round = 0; round < rounds; ++round) {
        prompts.shown.clear();
        prompts.boxAnswers = {Prompts::Yes};
        total.restart();
        form.ToolButton4Click();
        const qint64 afterYes = clock.elapsed();
        const QString last = prompts.shown.isEmpty() ? QString() : prompts.shown.last().text;
        std::printf("round %d: status query to confirmation %lld ms, confirmation to end %lld ms (%s), %lld frames\n",
                    round + 1, static_cast<long long>(toConfirmation), static_cast<long long>(afterYes),
                    qPrintable(last), static_cast<long long>(sim.commandCount()));
    }
    form.document().setModified(false);
    return 0;
}
