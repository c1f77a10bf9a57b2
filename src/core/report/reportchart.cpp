#include "reportchart.h"

#include "reportfigures.h"
#include "reporttexts.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace
{
const QColor kCo2Colour(200, 0, 200);
const QColor kTempColour(0, 0, 0);
const QColor kHumidityColour(0, 0, 230);
// The bands from the first limit up: faint yellow, orange, red.
const QColor kBandColours[3]
    = { QColor(255, 251, 226), QColor(255, 241, 222), QColor(255, 230, 230) };

struct Range {
    bool any = false;
    double low = 0;
    double high = 0;
    void take(double v)
    {
        low = any ? std::min(low, v) : v;
        high = any ? std::max(high, v) : v;
        any = true;
    }
};

Range ValueRange(const ReportFigures& figures, Quantity q)
{
    Range range;
    const QuantityFigures& values = figures[q];
    if (values.readings > 0) {
        range.take(values.min);
        range.take(values.max);
    }
    return range;
}
} // namespace

std::vector<ChartColumn> ChartColumns(
    const ReportFigures& figures, const ChartTimeline& timeline, int quantity, int columns)
{
    std::vector<ChartColumn> result(static_cast<size_t>(std::max(columns, 1)));
    const double span = double(std::max<qint64>(timeline.to - timeline.from, 1));
    const int lastColumn = static_cast<int>(result.size()) - 1;
    const auto& steps = figures.steps;
    size_t nextStep = 0;
    qint64 shift = 0;
    qint64 previousAt = 0;
    int previousColumn = -1; // -1: the record before has no reading
    for (size_t i = 0; i < figures.samples.size(); ++i) {
        if (nextStep < steps.size() && steps[nextStep].record == static_cast<qint64>(i))
            shift += steps[nextStep++].seconds;
        const ChartSample& s = figures.samples[i];
        const qint64 at = s.seconds + shift;
        const qint32 value = quantity == 0 ? s.co2 : quantity == 1 ? s.temperature : s.humidity;
        if (!IsReading(value)) {
            previousColumn = -1;
            continue;
        }
        const int c = std::clamp(
            static_cast<int>(double(at - timeline.from) * lastColumn / span), 0, lastColumn);
        ChartColumn& column = result[static_cast<size_t>(c)];
        if (column.empty) {
            column.empty = false;
            column.low = column.high = value;
        } else {
            column.low = std::min(column.low, double(value));
            column.high = std::max(column.high, double(value));
        }
        if (previousColumn >= 0 && previousColumn != c
            && !IsGap(at - previousAt, figures.interval)) {
            column.joinsPrevious = true;
            column.alone = false;
            result[static_cast<size_t>(previousColumn)].alone = false;
        }
        previousColumn = c;
        previousAt = at;
    }
    return result;
}

void DrawChart(QPainter& painter, const QRectF& area, double mm, const ReportFigures& figures)
{
    painter.save();
    const bool fahrenheit = figures.settings.fahrenheit;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(7);
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    const double line = metrics.height();

    const QRectF plot = area.adjusted(16 * mm, 3 * line, -26 * mm, -2.6 * line);
    constexpr int kDivisions = 6;

    // CO2 from 0 to above the last limit; temperature over at least 5 degrees and humidity over
    // at least 10 %RH about their readings, humidity within 0 to 100 %RH.
    const auto& limits = figures.settings.co2Limits;
    Range co2 = ValueRange(figures, Quantity::Co2);
    co2.take(0);
    co2.take(limits[2] * 1.02);
    const ChartScale co2Scale = FittedScale(co2.low, co2.high, 0, kDivisions, co2.low);
    Range temp = ValueRange(figures, Quantity::Temperature);
    if (!temp.any)
        temp.take(fahrenheit ? 680 : 200);
    const ChartScale tempScale = FittedScale(temp.low / 10, temp.high / 10, 5, kDivisions);
    Range rh = ValueRange(figures, Quantity::Humidity);
    if (!rh.any)
        rh.take(450);
    const ChartScale rhScale = FittedScale(rh.low / 10, rh.high / 10, 10, kDivisions,
        std::min(0.0, rh.low / 10), std::max(100.0, rh.high / 10));

    const auto yOf = [&plot](const ChartScale& scale, double value) {
        return plot.bottom() - (value - scale.low) / (scale.high() - scale.low) * plot.height();
    };

    // The bands of the CO2 limits.
    for (int b = 0; b < 3; ++b) {
        const double top = b < 2 ? yOf(co2Scale, limits[b + 1]) : plot.top();
        const double bottom = yOf(co2Scale, limits[b]);
        if (bottom > plot.top())
            painter.fillRect(QRectF(plot.left(), std::max(top, plot.top()), plot.width(),
                                 bottom - std::max(top, plot.top())),
                kBandColours[b]);
    }

    // Value grid and the three scales.
    QPen gridPen(QColor(200, 200, 200));
    gridPen.setWidthF(0.15 * mm);
    for (int i = 0; i <= kDivisions; ++i) {
        const double y = plot.bottom() - i * plot.height() / kDivisions;
        painter.setPen(gridPen);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        const auto label
            = [&](const ChartScale& scale, double x, const QColor& colour, bool alignRight) {
                  const QString text = ScaleText(scale.low + i * scale.step, scale.step);
                  painter.setPen(colour);
                  const QRectF box(alignRight ? x - 20 * mm : x, y - line / 2, 20 * mm, line);
                  painter.drawText(
                      box, (alignRight ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, text);
              };
        label(co2Scale, plot.left() - 1.5 * mm, kCo2Colour, true);
        label(tempScale, plot.right() + 1.5 * mm, kTempColour, false);
        label(rhScale, plot.right() + 13 * mm, kHumidityColour, false);
    }
    painter.setPen(kCo2Colour);
    painter.drawText(QRectF(area.left(), plot.top() - 1.3 * line, plot.left() - area.left(), line),
        Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("ppm"));
    painter.setPen(kTempColour);
    painter.drawText(QRectF(plot.right() + 1.5 * mm, plot.top() - 1.3 * line, 12 * mm, line),
        Qt::AlignLeft | Qt::AlignVCenter, TemperatureUnit(fahrenheit));
    painter.setPen(kHumidityColour);
    painter.drawText(QRectF(plot.right() + 13 * mm, plot.top() - 1.3 * line, 12 * mm, line),
        Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("%RH"));

    // Time axis: clock time at whole steps, the date under the first label of each day, each
    // label clear of its neighbours; a dashed line where the clock was set back.
    const ChartTimeline timeline = ChartTimelineOf(figures);
    const ChartTimeAxis axis
        = TimeAxisOf(figures, timeline, plot.left(), plot.width(), area.left(), area.right(), mm,
            [&metrics](const QString& text) { return metrics.horizontalAdvance(text); });
    painter.setPen(gridPen);
    for (const double x : axis.ticks)
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom() + mm));
    QPen stepPen(QColor(90, 90, 90));
    stepPen.setWidthF(0.2 * mm);
    stepPen.setStyle(Qt::DashLine);
    painter.setPen(stepPen);
    // A file whose clock goes back and forth all the time would be a wall of lines: its steps
    // are only named in the text.
    constexpr size_t kMostStepLines = 60;
    if (axis.clockSteps.size() <= kMostStepLines) {
        for (const double x : axis.clockSteps)
            painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
    painter.setPen(Qt::black);
    const double firstRow = plot.bottom() + 1.2 * mm;
    const auto drawLabel = [&painter, line](const ChartLabel& label, double top) {
        if (label.shown)
            painter.drawText(QRectF(label.left, top, label.width, line),
                Qt::AlignHCenter | Qt::AlignVCenter, label.text);
    };
    for (const ChartLabel& label : axis.times)
        drawLabel(label, firstRow);
    for (const ChartLabel& label : axis.dates)
        drawLabel(label, firstRow + line);
    drawLabel(axis.firstDate, firstRow + line);

    // The frame, under the traces, so that a value at 0 or 100 %RH still shows.
    QPen framePen(Qt::black);
    framePen.setWidthF(0.25 * mm);
    painter.setPen(framePen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);

    // The traces: in each column a stroke from its lowest to its highest value, and a line
    // along the lows and one along the highs of columns whose records are joined, so that a
    // steady value is a whole line and a short peak in a long period still shows; a column
    // joined to no other is a dot.
    const int columns = std::max(1, static_cast<int>(plot.width() / (mm / 6)));
    const ChartScale* scales[3] = { &co2Scale, &tempScale, &rhScale };
    const QColor colours[3] = { kCo2Colour, kTempColour, kHumidityColour };
    const double dot = 0.45 * mm;
    painter.setClipRect(plot.adjusted(-dot, -mm, dot, mm));
    for (const int q : { 1, 2, 0 }) {
        const std::vector<ChartColumn> data = ChartColumns(figures, timeline, q, columns);
        const double divide = q == 0 ? 1.0 : 10.0;
        std::vector<QLineF> strokes;
        std::vector<QPointF> dots;
        strokes.reserve(3 * data.size());
        QPointF previousLow;
        QPointF previousHigh;
        for (size_t c = 0; c < data.size(); ++c) {
            const ChartColumn& column = data[c];
            if (column.empty)
                continue;
            const double x = plot.left() + (c + 0.5) * plot.width() / data.size();
            const QPointF low(x, yOf(*scales[q], column.low / divide));
            const QPointF high(x, yOf(*scales[q], column.high / divide));
            if (column.high > column.low)
                strokes.emplace_back(low, high);
            if (column.joinsPrevious) {
                strokes.emplace_back(previousLow, low);
                if (column.high > column.low || previousHigh != previousLow)
                    strokes.emplace_back(previousHigh, high);
            }
            if (column.alone) {
                dots.push_back(low);
                if (column.high > column.low)
                    dots.push_back(high);
            }
            previousLow = low;
            previousHigh = high;
        }
        QPen pen(colours[q]);
        pen.setWidthF(0.3 * mm);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        painter.setPen(pen);
        painter.drawLines(strokes.data(), static_cast<int>(strokes.size()));
        painter.setPen(Qt::NoPen);
        painter.setBrush(colours[q]);
        for (const QPointF& centre : dots)
            painter.drawEllipse(centre, dot, dot);
        painter.setBrush(Qt::NoBrush);
    }
    painter.setClipping(false);

    // Legend above the plot.
    double x = plot.left();
    const double y = area.top() + line / 2;
    const struct {
        QColor colour;
        QString text;
    } legend[] = {
        { kCo2Colour, QStringLiteral("CO2 (ppm)") },
        { kTempColour, QStringLiteral("Temperature (%1)").arg(TemperatureUnit(fahrenheit)) },
        { kHumidityColour, QStringLiteral("Relative humidity (%RH)") },
    };
    for (const auto& entry : legend) {
        QPen pen(entry.colour);
        pen.setWidthF(0.6 * mm);
        painter.setPen(pen);
        painter.drawLine(QPointF(x, y), QPointF(x + 6 * mm, y));
        painter.setPen(Qt::black);
        painter.drawText(QPointF(x + 7.5 * mm, y + metrics.ascent() / 2 - mm / 4), entry.text);
        x += 9.5 * mm + metrics.horizontalAdvance(entry.text);
    }
    for (int b = 0; b < 3; ++b) {
        painter.fillRect(QRectF(x, y - 1.5 * mm, 6 * mm, 3 * mm), kBandColours[b]);
        x += 6 * mm;
    }
    painter.setPen(Qt::black);
    painter.drawText(QPointF(x + 1.5 * mm, y + metrics.ascent() / 2 - mm / 4),
        QStringLiteral("CO2 bands from %1 / %2 / %3 ppm")
            .arg(limits[0])
            .arg(limits[1])
            .arg(limits[2]));
    painter.restore();
}
