#pragma once

#include "model/ProfilePlot.h"
#include "report/ProgramReport.h"

#include <QByteArray>
#include <QPageSize>
#include <QSize>

// The program sheet and the profile as files. Each builds the whole file in
// memory; write() then puts it in place in one step. Needs a QGuiApplication
// (the offscreen platform will do) for fonts; no window.
namespace ReportExport {

// A4, or Letter where the user's measurement system is the US one.
QPageSize::PageSizeId defaultPageSize();

QByteArray pdf(const ProgramReport &report, QPageSize::PageSizeId pageSize);
// The chart alone, in pixels of the given size.
QByteArray png(const Profile &profile, QSize size);
QByteArray svg(const Profile &profile, QSize size);
// The points, one line each, time in minutes then temperature in deg C,
// after a header line; "." decimals and the shortest text that reads back
// as the same number.
QByteArray csv(const Profile &profile);
// The segments from slot 0 up to the last set one that is drawn and sent, as
// comma-separated text in UTF-8 (SegmentTable); only the header when none is set.
QByteArray segmentsCsv(const TemperatureProgram &program);

// The labels' font of a PNG or SVG chart of that size.
QFont chartFont(QSize size);
// The chart of a PNG or SVG of that size, black on white, as it lies on its
// device.
ProfilePlot chartPlot(const Profile &profile, QSize size, QPaintDevice *device);

// The chart size of PNG and SVG exports from the window.
inline constexpr QSize DefaultPlotSize{1200, 600};

// Replaces `path` with `bytes` completely or not at all; on failure *reason
// says why.
bool write(const QString &path, const QByteArray &bytes, QString *reason);

}
