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

constexpr qint64 kTimeSteps[] = { 60, 300, 600, 900, 1800, 3600, 7200, 10800, 21600, 43200, 86400,
    2 * 86400, 7 * 86400, 14 * 86400, 28 * 86400 };

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

ChartScale NiceScale(double low, double high, int divisions)
{
    if (!(high > low))
        high = low + 1;
    const double raw = (high - low) / divisions;
    double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (;;) {
        for (const double factor : { 1.0, 2.0, 2.5, 5.0 }) {
            const double step = factor * power;
            const double start = std::floor(low / step + 1e-9) * step;
            if (start + step * divisions >= high - 1e-9)
                return { start, step, divisions };
        }
        power *= 10;
    }
}

std::vector<ChartColumn> ChartColumns(const ReportFigures& figures, int quantity, int columns)
{
    std::vector<ChartColumn> result(static_cast<size_t>(std::max(columns, 1)));
    const double span = double(std::max<qint64>(figures.last - figures.first, 1));
    const int lastColumn = static_cast<int>(result.size()) - 1;
    for (const ChartSample& s : figures.samples) {
        const qint32 value = quantity == 0 ? s.co2 : quantity == 1 ? s.temperature : s.humidity;
        if (!IsReading(value))
            continue;
        const int c = std::clamp(
            static_cast<int>((s.seconds - figures.first) * lastColumn / span), 0, lastColumn);
        ChartColumn& column = result[static_cast<size_t>(c)];
        if (column.empty) {
            column = { false, double(value), double(value) };
        } else {
            column.low = std::min(column.low, double(value));
            column.high = std::max(column.high, double(value));
        }
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

    const auto& limits = figures.settings.co2Limits;
    Range co2 = ValueRange(figures, Quantity::Co2);
    co2.take(0);
    co2.take(limits[2] * 1.02);
    const ChartScale co2Scale = NiceScale(co2.low, co2.high, kDivisions);
    Range temp = ValueRange(figures, Quantity::Temperature);
    if (!temp.any)
        temp.take(fahrenheit ? 680 : 200);
    temp.take(temp.low + 50); // at least 5 degrees
    const ChartScale tempScale = NiceScale(temp.low / 10, temp.high / 10, kDivisions);
    Range rh = ValueRange(figures, Quantity::Humidity);
    rh.take(0);
    rh.take(1000);
    const ChartScale rhScale = NiceScale(rh.low / 10, rh.high / 10, kDivisions);

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
                  const double value = scale.low + i * scale.step;
                  const QString text = QString::number(value, 'g', 6);
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

    // Time axis: clock time at whole steps, the date under the first label of each day.
    const qint64 first = figures.first;
    const qint64 span = std::max<qint64>(figures.last - first, 1);
    qint64 step = kTimeSteps[std::size(kTimeSteps) - 1];
    for (const qint64 candidate : kTimeSteps) {
        if (span / candidate <= 7) {
            step = candidate;
            break;
        }
    }
    const auto xOf
        = [&](qint64 t) { return plot.left() + double(t - first) / span * plot.width(); };
    qint64 previousDay = -1;
    const double labelWidth = metrics.horizontalAdvance(QStringLiteral("0000-00-00")) + mm;
    for (qint64 t = (first + step - 1) / step * step; t <= figures.last; t += step) {
        const double x = xOf(t);
        painter.setPen(gridPen);
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom() + mm));
        painter.setPen(Qt::black);
        const QRectF box(x - labelWidth / 2, plot.bottom() + 1.2 * mm, labelWidth, line);
        if (step < 86400)
            painter.drawText(box, Qt::AlignCenter, ClockText(t));
        const qint64 day = t / 86400;
        if (day != previousDay || step >= 86400)
            painter.drawText(box.translated(0, step < 86400 ? line : 0), Qt::AlignCenter,
                DateText(figures.settings.firstDate, t));
        previousDay = day;
    }
    if (first % step != 0 && (first / 86400 != (first + step - 1) / step * step / 86400)) {
        // The first day has no label of its own: its date stands at the left end.
        painter.drawText(QRectF(plot.left(), plot.bottom() + 1.2 * mm + line, labelWidth, line),
            Qt::AlignLeft | Qt::AlignVCenter, DateText(figures.settings.firstDate, first));
    }

    // The traces: in each column a stroke from its lowest to its highest value, and a line
    // along the lows and one along the highs of neighbouring columns, so that a steady value is
    // a whole line and a short peak in a long period still shows.
    const int columns = std::max(1, static_cast<int>(plot.width() / (mm / 6)));
    const ChartScale* scales[3] = { &co2Scale, &tempScale, &rhScale };
    const QColor colours[3] = { kCo2Colour, kTempColour, kHumidityColour };
    painter.setClipRect(plot.adjusted(0, -mm, 0, mm));
    for (const int q : { 1, 2, 0 }) {
        const std::vector<ChartColumn> data = ChartColumns(figures, q, columns);
        const double divide = q == 0 ? 1.0 : 10.0;
        std::vector<QLineF> strokes;
        strokes.reserve(3 * data.size());
        QPointF previousLow;
        QPointF previousHigh;
        bool joined = false;
        for (size_t c = 0; c < data.size(); ++c) {
            const ChartColumn& column = data[c];
            if (column.empty) {
                joined = false;
                continue;
            }
            const double x = plot.left() + (c + 0.5) * plot.width() / data.size();
            const QPointF low(x, yOf(*scales[q], column.low / divide));
            const QPointF high(x, yOf(*scales[q], column.high / divide));
            if (column.high > column.low)
                strokes.emplace_back(low, high);
            if (joined) {
                strokes.emplace_back(previousLow, low);
                if (column.high > column.low || previousHigh != previousLow)
                    strokes.emplace_back(previousHigh, high);
            } else if (column.high == column.low) {
                strokes.emplace_back(low - QPointF(mm / 12, 0), low + QPointF(mm / 12, 0));
            }
            previousLow = low;
            previousHigh = high;
            joined = true;
        }
        QPen pen(colours[q]);
        pen.setWidthF(0.3 * mm);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        painter.setPen(pen);
        painter.drawLines(strokes.data(), static_cast<int>(strokes.size()));
    }
    painter.setClipping(false);

    QPen framePen(Qt::black);
    framePen.setWidthF(0.25 * mm);
    painter.setPen(framePen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);

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
