#include "report/ProgramSheet.h"

#include "model/Numbers.h"
#include "model/ProfilePlot.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

namespace {
QFont sheetFont(double points, bool bold = false)
{
    QFont font;
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// Writes lines of text from the top of an area downwards.
class TextCursor
{
public:
    TextCursor(QPainter &painter, const QRectF &area) : m_painter(painter), m_area(area), m_y(area.top()) {}
    double y() const { return m_y; }
    void skip(double height) { m_y += height; }
    void line(const QString &text, const QFont &font, Qt::Alignment align = Qt::AlignLeft)
    {
        const QFontMetricsF metrics(font, m_painter.device());
        m_painter.setFont(font);
        const QString shown = metrics.elidedText(text, Qt::ElideMiddle, m_area.width());
        m_painter.drawText(QRectF(m_area.left(), m_y, m_area.width(), metrics.height()), align | Qt::AlignVCenter,
                           shown);
        m_y += metrics.height() * 1.15;
    }

private:
    QPainter &m_painter;
    QRectF m_area;
    double m_y;
};

void paintTable(QPainter &painter, const QRectF &area, double rowHeight, const QList<SegmentRow> &rows,
                const QFont &font)
{
    const QStringList headers = {QStringLiteral("Segment"),        QStringLiteral("Mode"),
                                 QStringLiteral("Target (deg C)"), QStringLiteral("Rate (deg C/min)"),
                                 QStringLiteral("Hold (min.sec)"), QStringLiteral("Start (h:mm:ss)"),
                                 QStringLiteral("End (h:mm:ss)")};
    const double shares[] = {0.10, 0.08, 0.15, 0.18, 0.15, 0.17, 0.17};
    QList<double> lefts;
    double x = area.left();
    for (double share : shares) {
        lefts.append(x);
        x += share * area.width();
    }
    lefts.append(area.right());
    const double pad = rowHeight * 0.3;
    auto paintRow = [&](double y, const QStringList &cells, bool header) {
        QFont rowFont = font;
        rowFont.setBold(header);
        painter.setFont(rowFont);
        for (int c = 0; c < cells.size(); ++c) {
            // Numbers stand right-aligned, the number and the mode left.
            const Qt::Alignment align = (c <= 1 || header) ? Qt::AlignLeft : Qt::AlignRight;
            painter.drawText(QRectF(lefts[c] + pad, y, lefts[c + 1] - lefts[c] - 2 * pad, rowHeight),
                             align | Qt::AlignVCenter, cells[c]);
        }
    };
    const double thin = std::max(1.0, rowHeight / 40);
    painter.fillRect(QRectF(area.left(), area.top(), area.width(), rowHeight), QColor(230, 230, 230));
    painter.setPen(QPen(Qt::black, thin));
    paintRow(area.top(), headers, true);
    double y = area.top() + rowHeight;
    for (const SegmentRow &row : rows) {
        painter.setPen(QPen(QColor(200, 200, 200), thin));
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        painter.setPen(QPen(Qt::black, thin));
        paintRow(y, {row.number, row.mode, row.target, row.rate, row.hold, row.start, row.end}, false);
        y += rowHeight;
    }
    painter.setPen(QPen(Qt::black, thin));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(area.left(), area.top(), area.width(), y - area.top()));
}

// Head: what the program is and where it is kept.
void paintHead(TextCursor &head, const ProgramReport &report, double mm)
{
    const QFont textFont = sheetFont(10);
    head.line(QStringLiteral("Temperature program"), sheetFont(14, true));
    head.skip(1 * mm);
    if (report.filePath.isEmpty()) {
        head.line(QStringLiteral("File: (not saved)"), textFont);
    } else {
        const QFileInfo file(report.filePath);
        head.line(QStringLiteral("File: ") + file.fileName()
                      + (report.changedSinceSaved ? QStringLiteral(", changed since saved") : QString()),
                  textFont);
        head.line(QStringLiteral("Folder: ") + file.absolutePath(), textFont);
    }
    head.line(QStringLiteral("Program No.: %1      Initial temp.: %2 deg C      %3")
                  .arg(report.programNo)
                  .arg(report.initialTempText.isEmpty() ? formatFixed(report.initialTemp, 2) : report.initialTempText,
                       totalTimeText(report.profile.totalMinutes)),
              textFont);
    head.skip(2 * mm);
}

// Foot: when and by what it was made. Returns the foot's top.
double paintFoot(QPainter &painter, const QRectF &page, const ProgramReport &report, const QFont &smallFont, double mm)
{
    const QFontMetricsF footMetrics(smallFont, painter.device());
    const double footTop = page.bottom() - footMetrics.height();
    painter.setPen(QPen(Qt::black, std::max(1.0, 0.2 * mm)));
    painter.drawLine(QPointF(page.left(), footTop - 1 * mm), QPointF(page.right(), footTop - 1 * mm));
    painter.setFont(smallFont);
    const QRectF foot(page.left(), footTop, page.width(), footMetrics.height());
    painter.drawText(foot, Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Printed ") + report.printed.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    painter.drawText(foot, Qt::AlignRight | Qt::AlignVCenter, report.version);
    return footTop;
}

// The comment under its heading, as many lines as reach down to bottom; the
// last line that fits says how many more there are.
void paintComment(QPainter &painter, const QRectF &area, double bottom, const QStringList &lines,
                  const QFont &smallFont)
{
    const double smallLine = QFontMetricsF(smallFont, painter.device()).height() * 1.15;
    const int commentLines = int(lines.size());
    TextCursor comment(painter, area);
    QFont heading = smallFont;
    heading.setBold(true);
    painter.setPen(Qt::black);
    comment.line(QStringLiteral("Comment"), heading);
    for (int i = 0; i < commentLines; ++i) {
        const bool lastRoom = comment.y() + 2 * smallLine > bottom;
        if (lastRoom && i + 1 < commentLines) {
            comment.line(QStringLiteral("\u2026 (%1 more lines)").arg(commentLines - i), smallFont);
            break;
        }
        if (comment.y() + smallLine > bottom)
            break;
        comment.line(lines[i], smallFont);
    }
}
}

void ProgramSheet::paint(QPainter &painter, const QRectF &page, const ProgramReport &report)
{
    painter.save();
    const double mm = painter.device()->logicalDpiY() / 25.4;
    const QFont smallFont = sheetFont(8.5);
    const double smallLine = QFontMetricsF(smallFont, painter.device()).height() * 1.15;
    painter.setPen(Qt::black);

    TextCursor head(painter, page);
    paintHead(head, report, mm);
    const double footTop = paintFoot(painter, page, report, smallFont, mm);

    // The middle: chart, table and comment share what is left. The table is
    // never cut; the chart gives way down to a floor, then the comment.
    const QList<SegmentRow> rows = segmentRows(report);
    const double rowHeight = std::min(5.0 * mm, smallLine * 1.1);
    const double tableHeight = (rows.size() + 1) * rowHeight;
    const double gap = 3 * mm;
    const double middle = footTop - 2 * mm - head.y();
    const int commentLines = report.comment.isEmpty() ? 0 : int(report.comment.size());
    const double commentWanted = commentLines == 0 ? 0 : smallLine * (std::min(commentLines, 12) + 1.3);
    const double chartHeight = std::clamp(middle - tableHeight - commentWanted - 2 * gap, 40 * mm, 85 * mm);

    const double chartTop = head.y();
    const ProfilePlot plot(report.profile, QRectF(page.left(), chartTop, page.width(), chartHeight), smallFont,
                           painter.device());
    plot.paint(painter);

    const QRectF tableArea(page.left(), chartTop + chartHeight + gap, page.width(), tableHeight);
    paintTable(painter, tableArea, rowHeight, rows, smallFont);

    if (commentLines > 0) {
        const double commentTop = tableArea.bottom() + gap;
        paintComment(painter, QRectF(page.left(), commentTop, page.width(), footTop - commentTop), footTop - 2 * mm,
                     report.comment, smallFont);
    }
    painter.restore();
}
