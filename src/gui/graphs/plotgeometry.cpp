#include "plotgeometry.h"

#include <algorithm>
#include <cmath>

PlotGeometry PlotGeometryFor(double scaleWidth, double scaleHeight)
{
    PlotGeometry geometry;
    geometry.PlotLeft = 170;
    geometry.PlotBottom = static_cast<float>(scaleHeight - 27);
    geometry.PlotHeight = static_cast<float>(scaleHeight - 100);
    const double d = scaleWidth - 170;
    const long long r = static_cast<long long>(std::nearbyint(d));
    geometry.PlotWidth = static_cast<float>(d - static_cast<double>(r % 30));
    return geometry;
}

float TickY(const PlotGeometry& geometry, int i)
{
    return geometry.PlotBottom - static_cast<float>(i) * geometry.PlotHeight / 16;
}

float ScaleColumnX(const PlotGeometry& geometry, ScaleColumn column)
{
    switch (column) {
    case ScaleColumn::Celsius:
        return geometry.PlotLeft - 32;
    case ScaleColumn::Humidity:
        return geometry.PlotLeft - 72;
    case ScaleColumn::Fahrenheit:
        return geometry.PlotLeft - 112;
    case ScaleColumn::Co2:
        return geometry.PlotLeft - 162;
    }
    return geometry.PlotLeft;
}

QColor ScaleColumnColour(ScaleColumn column)
{
    switch (column) {
    case ScaleColumn::Humidity:
        return TraceColour(Trace::Humidity);
    case ScaleColumn::Co2:
        return TraceColour(Trace::Co2);
    case ScaleColumn::Celsius:
    case ScaleColumn::Fahrenheit:
        break;
    }
    return QColor(0, 0, 0);
}

double ScaleLabelValue(float min, float max, int j)
{
    return static_cast<double>(min)
        + j * (static_cast<double>(max) - static_cast<double>(min)) / 8.0;
}

QString ScaleLabelText(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral(" 0");
    // Rounded to hundredths half away from zero, judged on the value's 15-digit decimal form so
    // that 0.125 stored as 0.12499999... still gives 0.13.
    const double hundredths = std::round(QString::number(value * 100, 'g', 15).toDouble());
    if (hundredths == 0)
        return QStringLiteral(" 0");
    if (std::fabs(hundredths) >= 1e15) // beyond any range the dialogs accept
        return (value < 0 ? QString() : QStringLiteral(" ")) + QString::number(value, 'f', 0);
    const bool negative = hundredths < 0;
    const long long cents = static_cast<long long>(std::fabs(hundredths));
    QString text = QString::number(cents / 100);
    const long long fraction = cents % 100;
    if (fraction != 0) {
        text += QLatin1Char('.') + QString::number(fraction / 10);
        if (fraction % 10 != 0)
            text += QString::number(fraction % 10);
    }
    return (negative ? QStringLiteral("-") : QStringLiteral(" ")) + text;
}

QPointF ScaleLabelTopLeft(
    const PlotGeometry& geometry, float columnX, int j, double textWidth, double textHeight)
{
    return QPointF(columnX - textWidth / 4,
        geometry.PlotBottom - textHeight / 2 - j * geometry.PlotHeight / 8);
}

LegendEntry LegendEntryAt(const PlotGeometry& geometry, int index)
{
    const float left = geometry.PlotLeft;
    switch (index) {
    case 0:
        return { QStringLiteral("\u00B0C"), left - 30, QColor(0, 0, 0) };
    case 1:
        return { QStringLiteral("RH%"), left - 70, TraceColour(Trace::Humidity) };
    case 2:
        return { QStringLiteral("\u00B0F"), left - 110, QColor(0, 0, 0) };
    case 3:
        return { QStringLiteral("ppm"), left - 160, TraceColour(Trace::Co2) };
    case 4:
        return { QStringLiteral("Dew"), left + 30, TraceColour(Trace::DewPoint) };
    default:
        return { QStringLiteral("Wet"), left + 90, TraceColour(Trace::WetBulb) };
    }
}

float LegendTop(const PlotGeometry& geometry)
{
    return geometry.PlotBottom - geometry.PlotHeight - 25;
}

QColor TraceColour(Trace trace)
{
    switch (trace) {
    case Trace::Temperature:
        return QColor(0, 0, 0);
    case Trace::Humidity:
        return QColor(0, 0, 255);
    case Trace::WetBulb:
        return QColor(0, 255, 0);
    case Trace::DewPoint:
        return QColor(255, 0, 0);
    case Trace::Co2:
        return QColor(255, 0, 255);
    }
    return QColor(0, 0, 0);
}

QColor PaletteColour(int index)
{
    static const QRgb kPalette[16] = {
        qRgb(0, 0, 0),
        qRgb(0, 0, 128),
        qRgb(0, 128, 0),
        qRgb(0, 128, 128),
        qRgb(128, 0, 0),
        qRgb(128, 0, 128),
        qRgb(128, 128, 0),
        qRgb(192, 192, 192),
        qRgb(128, 128, 128),
        qRgb(0, 0, 255),
        qRgb(0, 255, 0),
        qRgb(0, 255, 255),
        qRgb(255, 0, 0),
        qRgb(255, 0, 255),
        qRgb(255, 255, 0),
        qRgb(255, 255, 255),
    };
    return QColor(kPalette[index & 15]);
}

float AdvanceSweep(float sweepX, float sampleStep, float plotWidth)
{
    const float next = sweepX + sampleStep;
    // NaN (a step from a zero plot width) restarts as well, never leaves the sweep undefined.
    if (!(next < plotWidth))
        return 0;
    return next;
}

TimeMark RealTimeMarkAt(float sweepX)
{
    const double rounded = std::nearbyint(static_cast<double>(sweepX));
    if (!std::isfinite(rounded))
        return TimeMark::None;
    if (std::fmod(rounded, 60.0) == 0)
        return TimeMark::Label;
    if (std::fmod(rounded, 30.0) == 0)
        return TimeMark::MidMark;
    return TimeMark::None;
}

TimeMark FileMarkAt(int k, float pointCount)
{
    const long long n = static_cast<long long>(std::nearbyint(pointCount));
    const long long threeQuarters
        = static_cast<long long>(std::nearbyint(3.0 * static_cast<double>(pointCount))) / 4;
    if (k == 1 || k == n / 4 || k == n / 2 || k == threeQuarters
        || static_cast<float>(k) == pointCount)
        return TimeMark::Label;
    for (int m = 1; m <= 8; ++m) {
        const long long eighth
            = static_cast<long long>(std::nearbyint(m * static_cast<double>(pointCount))) / 8;
        if (k == eighth)
            return TimeMark::MidMark;
    }
    return TimeMark::None;
}

float MidMarkTop(const PlotGeometry& geometry)
{
    return static_cast<float>(geometry.PlotBottom - 4.2 * geometry.PlotHeight / 8);
}

float MidMarkBottom(const PlotGeometry& geometry)
{
    return static_cast<float>(geometry.PlotBottom - 3.8 * geometry.PlotHeight / 8);
}

float TimeLabelLeft(float x, double textWidth, bool firstRecord)
{
    const double left = x - textWidth / 2;
    return static_cast<float>(firstRecord ? left - 20 : left);
}

float TimeLabelTop(const PlotGeometry& geometry)
{
    return geometry.PlotBottom + 10;
}

void FitTimeLabels(std::vector<LabelSpan>& labels, double clientWidth)
{
    for (LabelSpan& label : labels) {
        label.left = std::max(0.0, std::min(label.left, clientWidth - label.width));
        label.shown = true;
    }
    if (labels.size() < 2)
        return;
    const LabelSpan& first = labels.front();
    const LabelSpan& last = labels.back();
    const double firstClear = first.left + first.width + kLabelGap;
    if (last.left < firstClear) {
        for (size_t i = 1; i < labels.size(); ++i)
            labels[i].shown = false;
        return;
    }
    // A label between them may slide along the axis by a third of its width, so that it still
    // stands over its line.
    const auto slide = [](const LabelSpan& label) { return label.width / 3; };
    // Whether the chosen labels fit between the first and the last, each placed as far left as
    // it may go.
    const auto fit = [&](const std::vector<size_t>& chosen) {
        double from = firstClear;
        for (size_t i : chosen) {
            const LabelSpan& label = labels[i];
            const double left = std::max(from, label.left - slide(label));
            if (left > label.left + slide(label))
                return false;
            from = left + label.width + kLabelGap;
        }
        return from <= last.left;
    };
    // Left to right, a label is shown where it fits with those already shown.
    std::vector<size_t> shown;
    for (size_t i = 1; i + 1 < labels.size(); ++i) {
        shown.push_back(i);
        if (!fit(shown)) {
            shown.pop_back();
            labels[i].shown = false;
        }
    }
    // Each then as near its own place as its neighbours let it: no further right than the labels
    // after it leave room for, no further left than the one before it.
    std::vector<double> latest(shown.size());
    double to = last.left - kLabelGap;
    for (size_t j = shown.size(); j-- > 0;) {
        const LabelSpan& label = labels[shown[j]];
        latest[j] = std::min(label.left + slide(label), to - label.width);
        to = latest[j] - kLabelGap;
    }
    double from = firstClear;
    for (size_t j = 0; j < shown.size(); ++j) {
        LabelSpan& label = labels[shown[j]];
        label.left = std::min(std::max(label.left, from), latest[j]);
        from = label.left + label.width + kLabelGap;
    }
}

void FitScaleLabelRow(std::vector<LabelSpan>& row, double rightBound)
{
    double limit = rightBound;
    for (auto label = row.rbegin(); label != row.rend(); ++label) {
        label->shown = true;
        label->left = std::min(label->left, limit - label->width);
        limit = label->left - kLabelGap;
    }
    double clearFrom = 0;
    for (size_t i = 0; i < row.size(); ++i) {
        LabelSpan& label = row[i];
        if (label.left < clearFrom) {
            const double roomTo = i + 1 < row.size() ? row[i + 1].left - kLabelGap : rightBound;
            label.left = clearFrom;
            label.shown = label.left + label.width <= roomTo;
        }
        if (label.shown)
            clearFrom = label.left + label.width + kLabelGap;
    }
}
