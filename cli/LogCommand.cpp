// vantrel log: the transfer log, newest first.
#include "cli/Command.h"
#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "cli/TransferRecords.h"

#include <QCommandLineParser>
#include <QJsonDocument>

namespace {

int logUsage(const QString &text)
{
    Console::err(QStringLiteral("vantrel log: %1 (vantrel help log)\n").arg(text));
    return ExitStatus::Usage;
}

std::optional<int> number(const QCommandLineParser &parser, const QCommandLineOption &option, int max)
{
    bool ok = false;
    const int value = parser.value(option).toInt(&ok);
    return ok && value >= 0 && value <= max ? std::optional<int>(value) : std::nullopt;
}

int log(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption port(QStringLiteral("port"), QString(), QStringLiteral("port"));
    const QCommandLineOption unit(QStringLiteral("unit"), QString(), QStringLiteral("n"));
    const QCommandLineOption program(QStringLiteral("program"), QString(), QStringLiteral("n"));
    const QCommandLineOption json(QStringLiteral("json"), QString());
    const QCommandLineOption last(QStringLiteral("last"), QString());
    const QCommandLineOption utc(QStringLiteral("utc"), QString());
    parser.addOptions({port, unit, program, json, last, utc});
    if (!parser.parse(QStringList{QStringLiteral("vantrel log")} + arguments))
        return logUsage(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return logUsage(QStringLiteral("takes no file"));
    TransferFilter filter{parser.value(port), {}, {}};
    if (parser.isSet(unit) && !(filter.unit = number(parser, unit, 99)))
        return logUsage(QStringLiteral("--unit wants a node number 0 to 99"));
    if (parser.isSet(program) && !(filter.programNo = number(parser, program, 7)))
        return logUsage(QStringLiteral("--program wants a program number 0 to 7"));

    const QList<TransferRecord> records = TransferRecords::read();
    QString text;
    for (qsizetype i = records.size() - 1; i >= 0; --i) {
        const TransferRecord &r = records.at(i);
        if (!filter.matches(r))
            continue;
        if (parser.isSet(json)) {
            QJsonObject object = r.toJson();
            object.insert(QStringLiteral("number"), int(i + 1));
            text += QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + QLatin1Char('\n');
        } else {
            text += TransferRecords::line(
                        i, r, parser.isSet(utc) ? TransferRecords::Clock::Utc : TransferRecords::Clock::Local)
                + QLatin1Char('\n');
        }
        if (parser.isSet(last))
            break;
    }
    Console::out(text);
    return ExitStatus::Ok;
}

const bool logRegistered = Commands::add({
    QStringLiteral("log"),
    QStringLiteral("list the transfer log: every download that reached a port"),
    QStringLiteral("Usage: vantrel log [--port P] [--unit N] [--program N] [--json] [--last] [--utc]\n\n"
                   "Lists the records of the transfer log that the editor's Send and vantrel\n"
                   "send append, newest first: number (@N, for vantrel diff), local time with\n"
                   "its offset from UTC, port, unit, program number, ending (\"incomplete\" after\n"
                   "it when the controller accepted part of the program only), segments\n"
                   "acknowledged of segments sent, and the file (\"changed since saved\" after\n"
                   "it when unsaved edits were sent; \"not saved\" without a file). Records\n"
                   "are never changed or removed.\n"
                   "  --port P      only records of port P (its name or device path)\n"
                   "  --unit N      only records of unit (node) N\n"
                   "  --program N   only records of program number N\n"
                   "  --json        each record as one JSON object per line, with its number\n"
                   "  --last        only the newest record that matches\n"
                   "  --utc         times in UTC\n"),
    log,
});

} // namespace
