#include "model/Profile.h"

#include "model/Numbers.h"
#include "model/TemperatureProgram.h"

#include <algorithm>
#include <cmath>

double minSecToMinutes(double time)
{
    const double whole = std::trunc(time);
    return (whole * 60 + (time - whole) * 100) / 60;
}

Profile computeProfile(double initialTemp, const TemperatureProgram &program)
{
    constexpr int lastDrawnColumn = TemperatureProgram::LastUsedColumn;
    Profile profile;
    QList<QPointF> points;
    points.reserve(lastDrawnColumn + 1);
    profile.segments.reserve(lastDrawnColumn);
    points.append(QPointF(0, initialTemp));

    for (int col = 1; col <= lastDrawnColumn; ++col) {
        const QPointF previous = points.last();
        const QString mode = program.cell(TemperatureProgram::ModeRow, col);
        const double temp = toDouble(program.cell(TemperatureProgram::TempRow, col));
        const double rate = toDouble(program.cell(TemperatureProgram::RateRow, col));
        const double hold = minSecToMinutes(toDouble(program.cell(TemperatureProgram::TimeRow, col)));

        QPointF point(0, 0);
        if (mode == TemperatureProgram::ModeRamp || mode == TemperatureProgram::ModeUnset) {
            if (rate == 0) {
                point = QPointF(previous.x(), 0);
            } else {
                const double duration = std::abs(temp - previous.y()) / rate;
                point = QPointF(previous.x() + duration, temp);
                profile.totalMinutes += duration;
            }
        } else if (mode == TemperatureProgram::ModeHold) {
            point = QPointF(previous.x() + hold, previous.y());
            profile.totalMinutes += hold;
        }
        points.append(point);
        profile.segments.append(ProfileSegment{col, mode, previous, point});
    }

    // Ascending time; points of equal time keep the order they were made in.
    // A time that overflowed may be NaN (a hold of 1e308 minutes, then one
    // of -1e308), which compares with nothing: such points go last, so that
    // the order stays a strict one.
    std::stable_sort(points.begin(), points.end(), [](const QPointF &a, const QPointF &b) {
        if (std::isnan(a.x()) || std::isnan(b.x()))
            return !std::isnan(a.x()) && std::isnan(b.x());
        return a.x() < b.x();
    });
    profile.points = points;
    return profile;
}

QString totalTimeText(double totalMinutes)
{
    const double minutes = std::trunc(totalMinutes);
    // An infinite total (times that overflowed) has no seconds left over.
    const double seconds = std::isfinite(totalMinutes) ? (totalMinutes - minutes) * 60 : 0;
    // The whole minutes as digits, however many: a value pasted into a cell
    // is drawn before the check refuses it, and may not fit an integer type.
    return QStringLiteral("Total time:%1min%2sec(%3min)")
        .arg(formatFixed(minutes, 0))
        .arg(formatFixed(seconds, 0))
        .arg(formatFixed(totalMinutes, 2));
}
