#include "plotvalue.h"

#include "meter/currentreading.h"
#include "meter/numbertext.h"

#include <cmath>

namespace
{

struct Scale {
    float min;
    float max;
};

Scale ScaleOf(Trace trace, const ScaleLimits& limits)
{
    switch (trace) {
    case Trace::Humidity:
        return { limits.RHMin, limits.RHMax };
    case Trace::Co2:
        return { limits.CO2Min, limits.CO2Max };
    case Trace::Temperature:
    case Trace::WetBulb:
    case Trace::DewPoint:
        break;
    }
    return { limits.TempMinC, limits.TempMaxC };
}

// Below, above or within the scale, the lower limit tested first.
double LowFirst(double v, Scale scale, float plotHeight)
{
    const float single = static_cast<float>(v);
    if (single < scale.min)
        return kBelowScale;
    if (single > scale.max)
        return plotHeight + kAboveScale;
    return ScaledHeight(v, scale.min, scale.max, plotHeight);
}

// Above, below or within the scale, the upper limit tested first.
double HighFirst(double v, Scale scale, float plotHeight)
{
    const float single = static_cast<float>(v);
    if (single > scale.max)
        return plotHeight + kAboveScale;
    if (single < scale.min)
        return kBelowScale;
    return ScaledHeight(v, scale.min, scale.max, plotHeight);
}

// The number written in a dew-point or wet-bulb text, or nothing when it holds none.
std::optional<double> TextNumber(const QString& text)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

// A height for a finite number; a value that is no number at all leaves a gap.
template <typename Height> std::optional<double> IfFinite(double v, Height height)
{
    if (!std::isfinite(v))
        return std::nullopt;
    return height(v);
}

} // namespace

double ScaledHeight(double v, float min, float max, float plotHeight)
{
    const double span = static_cast<double>(max) - static_cast<double>(min);
    if (span == 0)
        return 0;
    return plotHeight * (v - min) / span;
}

std::optional<double> PlotValue(
    Trace trace, const CurrentReading& reading, const ScaleLimits& limits, float plotHeight)
{
    const Scale scale = ScaleOf(trace, limits);
    const double top = plotHeight + kAboveScale;
    switch (trace) {
    case Trace::Temperature: {
        const TaggedValue& t = reading.TempC;
        if (t.isNumber())
            return IfFinite(t.value(), [&](double v) { return LowFirst(v, scale, plotHeight); });
        if (t.markerText().contains(Marker::Under))
            return kBelowScale;
        if (t.markerText().contains(Marker::Over))
            return top;
        return std::nullopt;
    }
    case Trace::Humidity:
        if (!reading.HumidityPct.isNumber())
            return std::nullopt;
        return IfFinite(
            reading.HumidityPct.value(), [&](double v) { return LowFirst(v, scale, plotHeight); });
    case Trace::WetBulb:
    case Trace::DewPoint: {
        const QString& text = trace == Trace::WetBulb ? reading.WetC : reading.DewC;
        if (text.contains(Marker::Under))
            return kBelowScale;
        // A wet bulb is at the top only when its text is exactly the marker.
        if (trace == Trace::WetBulb ? text == Marker::Over : text.contains(Marker::Over))
            return top;
        const std::optional<double> v = TextNumber(text);
        if (!v)
            return std::nullopt;
        return LowFirst(*v, scale, plotHeight);
    }
    case Trace::Co2: {
        const TaggedValue& c = reading.Co2Ppm;
        if (c.isNumber())
            return IfFinite(c.value(), [&](double v) { return HighFirst(v, scale, plotHeight); });
        if (c.markerText().contains(Marker::Over))
            return top;
        return std::nullopt;
    }
    }
    return std::nullopt;
}

double PlotCellValue(Trace trace, const QString& cell, const ScaleLimits& limits, float plotHeight)
{
    const Scale scale = ScaleOf(trace, limits);
    const double top = plotHeight + kAboveScale;
    const double v = LeadingNumber(cell);
    switch (trace) {
    case Trace::Co2:
    case Trace::Humidity:
        if (cell.contains(Marker::Over))
            return top;
        return HighFirst(v, scale, plotHeight);
    case Trace::Temperature:
    case Trace::WetBulb:
    case Trace::DewPoint:
        if (cell == Marker::Under)
            return kBelowScale;
        if (cell == Marker::Over)
            return top;
        return LowFirst(v, scale, plotHeight);
    }
    return 0;
}
