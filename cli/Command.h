#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// One subcommand of the tool. Each lives in a file of its own and adds itself
// with a line such as
//     static const bool registered = Commands::add({"check", ...});
// so a new subcommand is one new file (and its line in CMakeLists.txt).
struct Command
{
    QString name;
    QString summary; // one line, for `vantrel --help`
    QString help;    // usage and options, for `vantrel help NAME`
    // Runs it on the arguments after its name; returns the exit status.
    std::function<int(const QStringList &arguments)> run;
    // Draws text or pictures: the tool then starts Qt's GUI side on the
    // offscreen platform, so it still needs no display.
    bool needsGui = false;
};

namespace Commands {

bool add(Command command);
// Every command, by name.
QList<Command> all();
const Command *find(const QString &name);

} // namespace Commands
