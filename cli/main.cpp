// vantrel: checks, shows and sends oven-controller programs without a window.
#include "cli/Command.h"
#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "comm/PortDirectory.h"
#include "files/SettingsFile.h"
#include "files/TransferLog.h"
#include "files/UserPlaces.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <clocale>
#include <memory>

namespace {

QString overview()
{
    QString text = QStringLiteral("Usage: vantrel COMMAND [ARGUMENTS]\n\n"
                                  "Works with the temperature programs (.tpd files) of the Vantrel Assistant.\n\n"
                                  "Commands:\n");
    for (const Command &command : Commands::all())
        text += QStringLiteral("  %1  %2\n").arg(command.name, -7).arg(command.summary);
    text += QStringLiteral("\n  vantrel help COMMAND   how a command is used\n"
                           "  vantrel --version      the version\n\n");
    text += ExitStatus::table();
    // Where the editor and this tool keep their files, as the editor's Help names them.
    const UserPlaces places = UserPlaces::find(QCoreApplication::applicationDirPath(), SettingsFile::defaultPath(),
                                               PortDirectory::defaultPortsFolder(), TransferLog().currentPath());
    return text + QStringLiteral("\nFiles:\n") + places.text();
}

int help(const QString &name)
{
    const Command *command = Commands::find(name);
    if (!command) {
        Console::err(QStringLiteral("vantrel: no command \"%1\"; vantrel --help lists them\n").arg(name));
        return ExitStatus::Usage;
    }
    Console::out(command->help);
    return ExitStatus::Ok;
}

QtMessageHandler qtHandler = nullptr;

// Started from cron or a service, there is no XDG_RUNTIME_DIR, and Qt's GUI
// side says so on every run, although it falls back to a folder of its own
// and the tool needs none. That one notice is dropped; every other message
// of Qt's goes out as before.
void quietRuntimeDirNotice(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    qtHandler(type, context, message);
}

} // namespace

int main(int argc, char *argv[])
{
    // A command that draws gets Qt's GUI side, always on the offscreen
    // platform: the tool never needs a display.
    const Command *early = argc > 1 ? Commands::find(QString::fromLocal8Bit(argv[1])) : nullptr;
    std::unique_ptr<QCoreApplication> app;
    if (early && early->needsGui) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qtHandler = qInstallMessageHandler(quietRuntimeDirNotice);
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("vantrel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VANTREL_VERSION));
    std::setlocale(LC_NUMERIC, "C");

    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.isEmpty()) {
        Console::err(overview());
        return ExitStatus::Usage;
    }
    const QString first = arguments.takeFirst();
    if (first == QLatin1String("--help") || first == QLatin1String("-h")) {
        Console::out(overview());
        return ExitStatus::Ok;
    }
    if (first == QLatin1String("--version")) {
        Console::out(QStringLiteral("vantrel %1\n").arg(QCoreApplication::applicationVersion()));
        return ExitStatus::Ok;
    }
    if (first == QLatin1String("help"))
        return arguments.isEmpty() ? (Console::out(overview()), ExitStatus::Ok) : help(arguments.first());
    const Command *command = Commands::find(first);
    if (!command) {
        Console::err(QStringLiteral("vantrel: no command \"%1\"; vantrel --help lists them\n").arg(first));
        return ExitStatus::Usage;
    }
    if (arguments.contains(QLatin1String("--help")))
        return help(first);
    return command->run(arguments);
}
