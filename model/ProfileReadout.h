#pragma once

#include "model/Profile.h"

#include <QString>

// What the profile says at one moment: read from the segments the profile
// computation placed, never worked out a second way.
struct ProfileReading
{
    double minutes = 0;
    int segment = -1;       // index into Profile::segments; -1 before the start or after the end
    double temperature = 0; // on the line at that moment; meaningful only with a segment

    bool onProfile() const { return segment >= 0; }
};

// The slot that runs at `minutes`: the one whose time span holds it, the
// earlier end excluded, so that at a joint the next slot is read; the very
// end of the program belongs to the last slot that takes time. Slots that take
// no time (unset, rate 0, or an unknown mode) are never read.
ProfileReading readProfile(const Profile &profile, double minutes);

// Whole seconds, rounded, of a time in minutes. A time beyond any program
// (a pasted or loaded 1e308) is held at some thirty million years; NaN gives 0.
long long roundedSeconds(double minutes);
// "0:12:30": h:mm:ss, the seconds rounded (LabTerms::durationText).
QString clockText(double minutes);
// "14.05": whole minutes and seconds in the grid's min.sec notation, the
// seconds rounded.
QString minSecText(double minutes);
// The read-out's time: "0:14:05".
QString minutesAndSecondsText(double minutes);
// "Segment 3 Hold 150.0 °C, 0:12:30 – 0:17:30", or for a ramp
// "Segment 0 Ramp 40.0 → 150.0 °C, 0:00:00 – 0:11:00".
QString segmentSummary(const ProfileSegment &segment);
// The whole read-out line: time, temperature and segment; before the start
// or after the end only the time and where it lies.
QString readoutText(const Profile &profile, const ProfileReading &reading);
// What the profile comes to, in a line: "3 segments, 0:21:00, highest
// 150.0 °C". Segments are the slots set to Ramp or Hold; the highest
// temperature is that of the line drawn. "No profile drawn" without points.
QString profileSummary(const Profile &profile);
// Start and end time and temperature of a slot, for its segment number's tip.
QString segmentTimesText(const ProfileSegment &segment);
