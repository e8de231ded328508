#include "files/TransferRecord.h"

#include <QJsonArray>

const QString TransferRecord::NotSaved = QStringLiteral("not saved");

namespace {
QJsonObject segmentJson(const SentProgram::Segment &s)
{
    return {{QStringLiteral("mode"), s.mode},
            {QStringLiteral("temp"), s.temp},
            {QStringLiteral("rate"), s.rate},
            {QStringLiteral("time"), s.time}};
}

bool readString(const QJsonObject &object, const char *key, QString *out)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (!value.isString())
        return false;
    *out = value.toString();
    return true;
}

bool readInt(const QJsonObject &object, const char *key, int *out)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (!value.isDouble() || value.toDouble() != double(value.toInt()))
        return false;
    *out = value.toInt();
    return true;
}
} // namespace

bool TransferRecord::readsBack(const QDateTime &time)
{
    const QString text = time.toUTC().toString(Qt::ISODateWithMs);
    return !text.isEmpty() && QDateTime::fromString(text, Qt::ISODateWithMs) == time;
}

QJsonObject TransferRecord::toJson() const
{
    QJsonArray segments;
    for (const SentProgram::Segment &s : program.segments)
        segments << segmentJson(s);
    QJsonObject object{
        {QStringLiteral("time"), time.toUTC().toString(Qt::ISODateWithMs)},
        {QStringLiteral("user"), user},
        {QStringLiteral("host"), host},
        {QStringLiteral("port"),
         QJsonObject{{QStringLiteral("name"), portName}, {QStringLiteral("device"), devicePath}}},
        {QStringLiteral("unit"), unit},
        {QStringLiteral("programNo"), program.programNo},
        {QStringLiteral("file"),
         QJsonObject{{QStringLiteral("path"), filePath}, {QStringLiteral("sha256"), fileSha256}}},
        {QStringLiteral("ending"),
         QJsonObject{{QStringLiteral("kind"), endingKind}, {QStringLiteral("text"), endingText}}},
        {QStringLiteral("segmentsAcknowledged"), segmentsAcknowledged},
        {QStringLiteral("incomplete"), incomplete},
        {QStringLiteral("program"),
         QJsonObject{{QStringLiteral("initialTemp"), program.initialTemp}, {QStringLiteral("segments"), segments}}},
    };
    if (!lineNote.isEmpty())
        object.insert(QStringLiteral("lineNote"), lineNote);
    return object;
}

std::optional<TransferRecord> TransferRecord::fromJson(const QJsonObject &object)
{
    TransferRecord r;
    QString time;
    const QJsonObject port = object.value(QLatin1String("port")).toObject();
    const QJsonObject file = object.value(QLatin1String("file")).toObject();
    const QJsonObject ending = object.value(QLatin1String("ending")).toObject();
    const QJsonObject program = object.value(QLatin1String("program")).toObject();
    const bool ok = readString(object, "time", &time) && readString(object, "user", &r.user)
        && readString(object, "host", &r.host) && readString(port, "name", &r.portName)
        && readString(port, "device", &r.devicePath) && readInt(object, "unit", &r.unit)
        && readInt(object, "programNo", &r.program.programNo) && readString(file, "path", &r.filePath)
        && readString(file, "sha256", &r.fileSha256) && readString(ending, "kind", &r.endingKind)
        && readString(ending, "text", &r.endingText) && readInt(object, "segmentsAcknowledged", &r.segmentsAcknowledged)
        && readString(program, "initialTemp", &r.program.initialTemp)
        && program.value(QLatin1String("segments")).isArray();
    if (!ok)
        return std::nullopt;
    const QJsonValue incomplete = object.value(QLatin1String("incomplete"));
    if (incomplete.isBool())
        r.incomplete = incomplete.toBool();
    else if (incomplete.isUndefined())
        r.incomplete = !r.completed() && r.segmentsAcknowledged > 0;
    else
        return std::nullopt;
    const QJsonValue lineNote = object.value(QLatin1String("lineNote"));
    if (lineNote.isString())
        r.lineNote = lineNote.toString();
    else if (!lineNote.isUndefined())
        return std::nullopt;
    r.time = QDateTime::fromString(time, Qt::ISODateWithMs);
    if (!r.time.isValid())
        return std::nullopt;
    r.time = r.time.toUTC();
    // A time whose UTC form has no four-digit year (an offset that carries
    // 9999-12-31 into the year 10000) has no text to be written back as.
    if (!readsBack(r.time))
        return std::nullopt;
    for (const QJsonValue &value : program.value(QLatin1String("segments")).toArray()) {
        SentProgram::Segment s;
        const QJsonObject o = value.toObject();
        if (!readString(o, "mode", &s.mode) || !readString(o, "temp", &s.temp) || !readString(o, "rate", &s.rate)
            || !readString(o, "time", &s.time))
            return std::nullopt;
        r.program.segments << s;
    }
    return r;
}
