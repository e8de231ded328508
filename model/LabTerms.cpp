#include "model/LabTerms.h"

#include "model/CellRules.h"
#include "model/Numbers.h"
#include "model/ProfileReadout.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace LabTerms {

namespace {
// Rates and temperatures in tenths, the controller's steps.
constexpr int SlowestRate = 1;
constexpr int FastestRate = 200;
const QString DegCPerMin = QStringLiteral(" \u00B0C/min");

QString tenths(long long value) { return formatFixed(double(value) / 10, 1); }

long long toTenths(double value) { return std::llround(value * 10); }

SegmentTable::Segment ramp(long long temp, int rate)
{
    return {TemperatureProgram::ModeRamp, tenths(temp), tenths(rate), QStringLiteral("0.00")};
}

// A ramp of d tenths of a degree at r tenths per minute, in seconds.
double secondsOf(long long d, long long r) { return double(d) * 60 / double(r); }
} // namespace

QString durationText(long long seconds)
{
    const QString sign = seconds < 0 ? QStringLiteral("-") : QString();
    const long long magnitude = std::llabs(seconds);
    return sign
        + QStringLiteral("%1:%2:%3")
              .arg(magnitude / 3600)
              .arg(magnitude / 60 % 60, 2, 10, QLatin1Char('0'))
              .arg(magnitude % 60, 2, 10, QLatin1Char('0'));
}

QString durationText(double minutes) { return durationText(roundedSeconds(minutes)); }

std::optional<long long> parseDuration(const QString &text)
{
    static const QRegularExpression clock(QStringLiteral("^(\\d{1,6}):(\\d{1,2})(?::(\\d{1,2}))?$"));
    const QString given = text.trimmed();
    if (const QRegularExpressionMatch m = clock.match(given); m.hasMatch()) {
        const long long hours = m.captured(1).toLongLong();
        const long long minutes = m.captured(2).toLongLong();
        const long long seconds = m.hasCaptured(3) ? m.captured(3).toLongLong() : 0;
        if (minutes >= 60 || seconds >= 60)
            return std::nullopt;
        return hours * 3600 + minutes * 60 + seconds;
    }
    const std::optional<double> minutes = parseDecimal(given);
    if (!minutes || !std::isfinite(*minutes) || *minutes < 0 || *minutes > 1e6)
        return std::nullopt;
    return std::llround(*minutes * 60);
}

QString minSecCell(long long seconds)
{
    return QStringLiteral("%1.%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

long long secondsOfMinSec(double time) { return std::llround(minSecToMinutes(time) * 60); }

double rampSeconds(double from, double to, double rate) { return rate > 0 ? std::abs(to - from) / rate * 60 : 0; }

Plan holdPlan(long long seconds)
{
    Plan plan;
    long long rest = std::max(seconds, 0LL);
    QStringList times;
    while (rest > LongestHoldSeconds) {
        times << minSecCell(LongestHoldSeconds);
        rest -= LongestHoldSeconds;
    }
    times << minSecCell(rest);
    for (const QString &time : times)
        plan.segments << SegmentTable::Segment{TemperatureProgram::ModeHold, QStringLiteral("0.0"),
                                               QStringLiteral("0.0"), time};
    plan.seconds = double(std::max(seconds, 0LL));
    plan.text =
        (times.size() > 1 ? QStringLiteral("%1 holds: %2").arg(times.size()).arg(times.join(QStringLiteral(" + ")))
                          : QStringLiteral("Hold %1").arg(times.first()))
        + QStringLiteral(", ") + durationText(std::llround(plan.seconds));
    return plan;
}

Plan rampAtRate(double from, double to, double rate)
{
    const int r = int(std::clamp<long long>(toTenths(rate), 0, FastestRate));
    const long long d = std::llabs(toTenths(to) - toTenths(from));
    Plan plan;
    plan.segments << ramp(toTenths(to), r);
    plan.seconds = r > 0 ? secondsOf(d, r) : 0;
    plan.text = tenths(r) + DegCPerMin + QStringLiteral(", ") + durationText(std::llround(plan.seconds));
    return plan;
}

namespace {

// Two ramps over d tenths: the first d1 tenths at r1, the rest at r2 (rates
// in tenths per minute).
struct TwoRamps
{
    long long d1 = 0;
    int r1 = 0; // 0: no pair
    int r2 = 0;
};

// The pair of ramps that comes nearest the asked seconds, nearer than best;
// for each first rate the second is the one nearest what the time left asks
// for. Rates nearest the exact one are tried first, so of equally near pairs
// the one closest to a steady ramp wins.
TwoRamps nearestTwoRamps(long long d, double asked, double exact, double best)
{
    QList<int> firstRates;
    for (int r = SlowestRate; r <= FastestRate; ++r)
        firstRates << r;
    std::stable_sort(firstRates.begin(), firstRates.end(),
                     [exact](int a, int b) { return std::abs(a - exact) < std::abs(b - exact); });
    TwoRamps nearest;
    for (int r1 : firstRates) {
        for (long long d1 = 1; d1 < d; ++d1) {
            const double first = secondsOf(d1, r1);
            const double left = asked - first;
            if (left <= 0)
                break;
            const int r2 =
                int(std::clamp<long long>(std::llround(double(d - d1) * 60 / left), SlowestRate, FastestRate));
            const double e = std::abs(first + secondsOf(d - d1, r2) - asked);
            if (e < best - 1e-9) {
                best = e;
                nearest = {d1, r1, r2};
            }
        }
    }
    return nearest;
}

Plan twoRampPlan(long long start, long long end, const TwoRamps &pair)
{
    const long long d = std::llabs(end - start);
    const long long middle = end > start ? start + pair.d1 : start - pair.d1;
    Plan split;
    split.segments << ramp(middle, pair.r1) << ramp(end, pair.r2);
    split.seconds = secondsOf(pair.d1, pair.r1) + secondsOf(d - pair.d1, pair.r2);
    split.text = QStringLiteral("2 ramps: to %1 at %2, then %3").arg(tenths(middle), tenths(pair.r1), tenths(pair.r2))
        + DegCPerMin + QStringLiteral(", ") + durationText(std::llround(split.seconds));
    return split;
}

} // namespace

QList<Plan> rampPlans(double from, double to, long long seconds)
{
    const long long start = toTenths(from);
    const long long end = toTenths(to);
    const long long d = std::llabs(end - start);
    if (d == 0 || seconds <= 0)
        return {};
    const double asked = double(seconds);
    const double exact = double(d) * 60 / asked; // tenths per minute
    if (exact > FastestRate + 1e-9)
        return {};

    QList<Plan> plans;
    const int lower = int(std::floor(exact + 1e-9));
    const int upper = int(std::ceil(exact - 1e-9));
    for (int r : {lower, upper}) {
        if (r >= SlowestRate && r <= FastestRate && (plans.isEmpty() || r != lower))
            plans << rampAtRate(from, to, double(r) / 10);
    }
    const auto error = [asked](const Plan &p) { return std::abs(p.seconds - asked); };
    std::stable_sort(plans.begin(), plans.end(), [&](const Plan &a, const Plan &b) { return error(a) < error(b); });
    if (!plans.isEmpty() && error(plans.first()) <= 1)
        return plans;

    const TwoRamps pair = nearestTwoRamps(d, asked, exact, plans.isEmpty() ? HUGE_VAL : error(plans.first()));
    if (pair.r1 > 0)
        plans.prepend(twoRampPlan(start, end, pair));
    return plans;
}

QString askedText(long long seconds, const QList<Plan> &plans)
{
    QList<const Plan *> singles;
    for (const Plan &p : plans)
        if (p.segments.size() == 1 && p.segments.first().mode == TemperatureProgram::ModeRamp)
            singles << &p;
    std::sort(singles.begin(), singles.end(), [](const Plan *a, const Plan *b) {
        return toDouble(a->segments.first().rate) < toDouble(b->segments.first().rate);
    });
    QStringList gives;
    for (const Plan *p : singles)
        gives << (gives.isEmpty() ? p->segments.first().rate + DegCPerMin : p->segments.first().rate)
                + QStringLiteral(" gives ") + durationText(std::llround(p->seconds));
    QString text = QStringLiteral("asked ") + durationText(seconds);
    if (!gives.isEmpty())
        text += QStringLiteral("; ") + gives.join(QStringLiteral(", "));
    return text;
}

Resolved resolveDurations(const SegmentTable::ReadResult &read, double startTemp)
{
    Resolved result;
    double temp = startTemp;
    for (int i = 0; i < read.segments.size(); ++i) {
        const SegmentTable::Segment &s = read.segments[i];
        const QString duration = read.durations.value(i);
        const int line = read.lines.value(i);
        if (duration.isEmpty()) {
            result.segments << s;
            // As the profile places the next segment's start.
            if (s.mode != TemperatureProgram::ModeHold)
                temp = toDouble(s.rate) == 0 ? 0 : toDouble(s.temp);
            continue;
        }
        const long long seconds = parseDuration(duration).value_or(0);
        Plan plan;
        QString asked;
        if (s.mode == TemperatureProgram::ModeHold) {
            plan = holdPlan(seconds);
            asked = QStringLiteral("Hold in %1").arg(durationText(seconds));
        } else {
            const double to = toDouble(s.temp);
            const QList<Plan> plans = rampPlans(temp, to, seconds);
            asked = QStringLiteral("Ramp %1 to %2 in %3")
                        .arg(formatFixed(temp, 1), formatFixed(to, 1), durationText(seconds));
            if (plans.isEmpty()) {
                result.error = toTenths(temp) == toTenths(to)
                    ? QStringLiteral("Line %1: %2: a ramp to the temperature it starts at takes no time (a Hold does).")
                          .arg(line)
                          .arg(asked)
                    : QStringLiteral("Line %1: %2: no rate of 0.1 - 20.0 \u00B0C/min does it.").arg(line).arg(asked);
                result.segments.clear();
                result.notes.clear();
                return result;
            }
            plan = plans.first();
            temp = to;
        }
        if (plan.segments.size() > 1 || std::llround(plan.seconds) != seconds)
            result.notes << QStringLiteral("line %1: %2 -> %3").arg(line).arg(asked, plan.text);
        result.segments << plan.segments;
    }
    return result;
}

QString replaceRefusal(const TemperatureProgram &table, int col, int count)
{
    TemperatureProgram without = table;
    without.deleteSlot(col);
    return SegmentTable::fitRefusal(without, col, count);
}

void replace(TemperatureProgram &table, int col, const QList<SegmentTable::Segment> &segments)
{
    table.deleteSlot(col);
    SegmentTable::insert(table, col, segments);
}

} // namespace LabTerms
