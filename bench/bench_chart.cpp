// Measures the time from a changed cell to the chart and the total time
// updated, through the real window: the cell changes, ChardDraw runs as
// when the cell editor closes, and the chart and status bar are laid out
// and painted. Prints, for the example program and the worst programs the
// ranges allow, the first draw after the example and the median and worst
// of repeated edits, with the ratio to the example's median.
#include "app/StatusBar1.h"
#include "app/TForm1.h"
#include "editor/ProfileChart.h"
#include "editor/SegmentGridModel.h"
#include "tests/support/ScriptedPrompts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
struct Slot
{
    const char *mode, *temp, *rate, *time;
};

struct Program
{
    const char *name;
    double initialTemp;
    std::function<Slot(int slot)> slot; // slots 0..31
    int editRow;                        // the cell an edit toggles, in slot 0
    const char *editA, *editB;
};

void enter(TForm1 &form, const Program &program)
{
    SegmentGridModel *model = form.gridModel();
    form.document().setInitialTemp(program.initialTemp);
    for (int s = 0; s < 32; ++s) {
        const Slot slot = program.slot(s);
        model->setCell(1, s + 1, slot.mode);
        model->setCell(2, s + 1, slot.temp);
        model->setCell(3, s + 1, slot.rate);
        model->setCell(4, s + 1, slot.time);
    }
}

// The chart and the total time brought up to date and on screen.
double redrawMs(TForm1 &form)
{
    QElapsedTimer clock;
    clock.start();
    form.ChardDraw();
    QCoreApplication::processEvents();
    form.Chart1()->repaint();
    form.statusBar1()->repaint();
    return clock.nsecsElapsed() / 1e6;
}
}

// The example program first: the others are measured against it.
std::vector<Program> benchPrograms()
{
    const Program example{"example (21 min)",
                          40,
                          [](int s) {
                              static const Slot three[] = {{"Ramp", "150.0", "10.0", "0.00"},
                                                           {"Hold", "0.0", "0.0", "5.30"},
                                                           {"Ramp", "60.0", "20.0", "0.00"}};
                              return s < 3 ? three[s] : Slot{" ", "0.0", "0.0", "0.00"};
                          },
                          2,
                          "150.0",
                          "140.0"};
    return {
        example,
        {"32 Ramps 0-300 at 0.1 (96,000 min)", 0,
         [](int s) {
             return Slot{"Ramp", s % 2 ? "0.0" : "300.0", "0.1", "0.00"};
         },
         2, "300.0", "290.0"},
        {"32 Holds of 99.59 (3,199 min)", 0,
         [](int) {
             return Slot{"Hold", "0.0", "0.0", "99.59"};
         },
         4, "99.59", "99.58"},
        {"32 tiny Ramps, 0.1 at 20 (0.16 min)", 0,
         [](int s) {
             return Slot{"Ramp", s % 2 ? "0.0" : "0.1", "20.0", "0.00"};
         },
         2, "0.1", "0.2"},
        {"all slots unset", 0,
         [](int) {
             return Slot{" ", "0.0", "0.0", "0.00"};
         },
         4, "0.00", "1.00"},
    };
}

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    QApplication app(argc, argv);
    const int edits = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;

    const std::vector<Program> programs = benchPrograms();
    const Program &example = programs.front();

    ScriptedPrompts prompts;
    TForm1 form(prompts, home.filePath("settings.ini"));
    form.show();
    QCoreApplication::processEvents();

    std::printf("%-38s %11s %11s %11s %9s\n", "program", "first ms", "median ms", "worst ms", "ratio");
    double exampleMedian = 0;
    for (const Program &program : programs) {
        enter(form, example);
        redrawMs(form);
        enter(form, program);
        const double first = redrawMs(form); // the step from the example's axes
        std::vector<double> times;
        for (int i = 0; i < edits; ++i) {
            form.gridModel()->setCell(program.editRow, 1, i % 2 ? program.editA : program.editB);
            times.push_back(redrawMs(form));
        }
        std::sort(times.begin(), times.end());
        const double median = times[times.size() / 2];
        if (exampleMedian == 0)
            exampleMedian = median;
        std::printf("%-38s %11.2f %11.2f %11.2f %9.2f\n", program.name, first, median, times.back(),
                    median / exampleMedian);
    }
    std::printf("goal: under 20 ms each; ratio = median / the example's median\n");
    form.document().setModified(false);
    return 0;
}
