#include "cli/Command.h"

#include <algorithm>

namespace Commands {

namespace {
QList<Command> &registry()
{
    static QList<Command> commands;
    return commands;
}
} // namespace

bool add(Command command)
{
    registry().append(std::move(command));
    return true;
}

QList<Command> all()
{
    QList<Command> commands = registry();
    std::sort(commands.begin(), commands.end(), [](const Command &a, const Command &b) { return a.name < b.name; });
    return commands;
}

const Command *find(const QString &name)
{
    for (const Command &command : registry())
        if (command.name == name)
            return &command;
    return nullptr;
}

} // namespace Commands
