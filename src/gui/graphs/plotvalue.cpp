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

// A character of UTF-16 or of UTF-8 text (a byte of a longer character is 0x80 or more).
char16_t UnitOf(QChar c)
{
    return c.unicode();
}
char16_t UnitOf(char c)
{
    return static_cast<unsigned char>(c);
}

// A cell as it reads after its leading blanks (logger lists write " 23.4"), as UTF-16 or UTF-8.
template <typename View> View WithoutLeadingBlanks(View cell)
{
    qsizetype i = 0;
    while (i < cell.size() && (UnitOf(cell[i]) == u' ' || UnitOf(cell[i]) == u'\t'))
        ++i;
    return cell.sliced(i);
}

// A plain decimal's value, or nothing when the text is more than that (a marker, an exponent,
// more than 15 digits, anything after the number). The same reading of UTF-16 and UTF-8 text:
// every character it takes is ASCII.
template <typename View> std::optional<double> PlainDecimal(View text)
{
    static constexpr double kPowersOfTen[]
        = { 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15 };
    qsizetype i = 0;
    const qsizetype n = text.size();
    bool negative = false;
    if (i < n && (UnitOf(text[i]) == u'-' || UnitOf(text[i]) == u'+'))
        negative = UnitOf(text[i++]) == u'-';
    qint64 digits = 0;
    int count = 0;
    int decimals = 0;
    bool point = false;
    for (; i < n; ++i) {
        const char16_t c = UnitOf(text[i]);
        if (c >= u'0' && c <= u'9') {
            if (++count > 15)
                return std::nullopt;
            digits = digits * 10 + (c - u'0');
            decimals += point;
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (count == 0)
        return std::nullopt;
    // Both exact in a double, so the one rounding of the division gives the nearest double.
    const double v = static_cast<double>(digits) / kPowersOfTen[decimals];
    return negative ? -v : v;
}

// The height of a plain decimal of a trace.
double PlainHeight(Trace trace, double v, const ScaleLimits& limits, float plotHeight)
{
    const Scale scale = ScaleOf(trace, limits);
    if (trace == Trace::Co2 || trace == Trace::Humidity)
        return HighFirst(v, scale, plotHeight);
    return LowFirst(v, scale, plotHeight);
}

} // namespace

double CellNumber(const QString& cell)
{
    if (const std::optional<double> v = PlainDecimal(WithoutLeadingBlanks(QStringView(cell))))
        return *v;
    return LeadingNumber(cell);
}

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
        const QString text = (trace == Trace::WetBulb ? reading.WetC : reading.DewC).text();
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

std::optional<double> PlotCellValue(
    Trace trace, const QString& cell, const ScaleLimits& limits, float plotHeight)
{
    const Scale scale = ScaleOf(trace, limits);
    const double top = plotHeight + kAboveScale;
    const QStringView text = WithoutLeadingBlanks(QStringView(cell));
    // Most cells are plain decimals, which are neither markers nor contain one.
    if (const std::optional<double> plain = PlainDecimal(text))
        return PlainHeight(trace, *plain, limits, plotHeight);
    if (text.startsWith(Marker::NoReading))
        return std::nullopt;
    const double v = LeadingNumber(cell);
    switch (trace) {
    case Trace::Co2:
    case Trace::Humidity:
        if (text.contains(Marker::Over))
            return top;
        return HighFirst(v, scale, plotHeight);
    case Trace::Temperature:
    case Trace::WetBulb:
    case Trace::DewPoint:
        if (text.startsWith(Marker::Under))
            return kBelowScale;
        if (text.startsWith(Marker::Over))
            return top;
        return LowFirst(v, scale, plotHeight);
    }
    return std::nullopt;
}

std::optional<double> PlotCellValue(
    Trace trace, QByteArrayView utf8, const ScaleLimits& limits, float plotHeight)
{
    if (const std::optional<double> plain = PlainDecimal(WithoutLeadingBlanks(utf8)))
        return PlainHeight(trace, *plain, limits, plotHeight);
    return PlotCellValue(trace, QString::fromUtf8(utf8), limits, plotHeight);
}
