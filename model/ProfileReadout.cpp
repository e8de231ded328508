#include "model/ProfileReadout.h"

#include "model/Numbers.h"

#include <algorithm>
#include <cmath>

namespace {
const QString DegC = QStringLiteral(" \u00B0C");

QString temperatureText(double temperature)
{
    return valueText(temperature, 1);
}
}

long long roundedSeconds(double minutes)
{
    constexpr double limit = 1e15;
    const double seconds = minutes * 60;
    return std::isnan(seconds) ? 0 : std::llround(std::clamp(seconds, -limit, limit));
}

ProfileReading readProfile(const Profile &profile, double minutes)
{
    ProfileReading reading;
    reading.minutes = minutes;
    int last = -1;
    for (int i = 0; i < profile.segments.size(); ++i) {
        const ProfileSegment &s = profile.segments[i];
        if (!s.takesTime())
            continue;
        last = i;
        if (minutes >= s.start.x() && minutes < s.end.x()) {
            reading.segment = i;
            break;
        }
    }
    if (reading.segment < 0 && last >= 0 && minutes == profile.segments[last].end.x())
        reading.segment = last;
    if (reading.segment >= 0) {
        const ProfileSegment &s = profile.segments[reading.segment];
        const double share = (minutes - s.start.x()) / (s.end.x() - s.start.x());
        reading.temperature = s.start.y() + (s.end.y() - s.start.y()) * share;
    }
    return reading;
}

QString clockText(double minutes)
{
    const long long seconds = roundedSeconds(minutes);
    const QString sign = seconds < 0 ? QStringLiteral("-") : QString();
    const long long magnitude = std::llabs(seconds);
    return sign + QStringLiteral("%1:%2").arg(magnitude / 60).arg(magnitude % 60, 2, 10, QLatin1Char('0'));
}

QString minutesAndSecondsText(double minutes)
{
    const long long seconds = roundedSeconds(minutes);
    const QString sign = seconds < 0 ? QStringLiteral("-") : QString();
    const long long magnitude = std::llabs(seconds);
    const QString whole = sign + QString::number(magnitude / 60);
    return QStringLiteral("%1 min %2 s (%1.%3 min.sec)")
        .arg(whole)
        .arg(magnitude % 60)
        .arg(magnitude % 60, 2, 10, QLatin1Char('0'));
}

QString segmentSummary(const ProfileSegment &segment)
{
    const QString mode = segment.mode.trimmed().isEmpty() ? QStringLiteral("(unset)") : segment.mode;
    const QString temperatures = segment.start.y() == segment.end.y()
        ? temperatureText(segment.end.y())
        : temperatureText(segment.start.y()) + QStringLiteral(" \u2192 ") + temperatureText(segment.end.y());
    return QStringLiteral("Segment %1 %2 %3%4, %5 \u2013 %6")
        .arg(segment.slot())
        .arg(mode, temperatures, DegC, clockText(segment.start.x()), clockText(segment.end.x()));
}

QString readoutText(const Profile &profile, const ProfileReading &reading)
{
    const QString time = minutesAndSecondsText(reading.minutes);
    if (!reading.onProfile()) {
        const QString where = reading.minutes < 0 ? QStringLiteral("before the start")
                                                  : QStringLiteral("after the end");
        return time + QStringLiteral("  ") + where;
    }
    return time + QStringLiteral("  ") + temperatureText(reading.temperature) + DegC + QStringLiteral("  ")
           + segmentSummary(profile.segments[reading.segment]);
}

QString segmentTimesText(const ProfileSegment &segment)
{
    return QStringLiteral("Start %1 at %2%3\nEnd %4 at %5%3")
        .arg(clockText(segment.start.x()), temperatureText(segment.start.y()), DegC, clockText(segment.end.x()),
             temperatureText(segment.end.y()));
}
