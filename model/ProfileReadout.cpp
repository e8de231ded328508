#include "model/ProfileReadout.h"

#include "model/LabTerms.h"
#include "model/Numbers.h"
#include "model/TemperatureProgram.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
const QString DegC = QStringLiteral(" \u00B0C");

QString temperatureText(double temperature) { return valueText(temperature, 1); }
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

QString clockText(double minutes) { return LabTerms::durationText(minutes); }

namespace {
// Whole minutes with their sign, and the seconds left.
struct MinutesSeconds
{
    QString minutes;
    long long seconds;
};

MinutesSeconds splitMinutes(double minutes)
{
    const long long seconds = roundedSeconds(minutes);
    const QString sign = seconds < 0 ? QStringLiteral("-") : QString();
    const long long magnitude = std::llabs(seconds);
    return {sign + QString::number(magnitude / 60), magnitude % 60};
}
}

QString minSecText(double minutes)
{
    const MinutesSeconds split = splitMinutes(minutes);
    return QStringLiteral("%1.%2").arg(split.minutes).arg(split.seconds, 2, 10, QLatin1Char('0'));
}

QString minutesAndSecondsText(double minutes) { return LabTerms::durationText(minutes); }

QString profileSummary(const Profile &profile)
{
    double highest = -std::numeric_limits<double>::infinity();
    for (const QPointF &p : profile.points)
        if (!std::isnan(p.y()))
            highest = std::max(highest, p.y());
    if (std::isinf(highest) && highest < 0)
        return QStringLiteral("No profile drawn");
    qsizetype segments = 0;
    for (const ProfileSegment &segment : profile.segments) {
        const QString mode = segment.mode.trimmed();
        if (mode == TemperatureProgram::ModeRamp || mode == TemperatureProgram::ModeHold)
            ++segments;
    }
    return QStringLiteral("%1 %2, %3, highest %4%5")
        .arg(segments)
        .arg(segments == 1 ? QStringLiteral("segment") : QStringLiteral("segments"),
             LabTerms::durationText(profile.totalMinutes), temperatureText(highest), DegC);
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
        const QString where =
            reading.minutes < 0 ? QStringLiteral("before the start") : QStringLiteral("after the end");
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
