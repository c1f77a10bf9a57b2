// The numeric boxes of the dialogs read with arbitrary texts: the leading-number reading, the
// one-decimal display form, the two range dialogs' OK and the alarm limits' check and store.

#include "fuzzinput.h"

#include "alarm/alarmlimits.h"
#include "graphs/rangeentry.h"
#include "meter/numbertext.h"

#include <QRegularExpression>

#include <clocale>
#include <cmath>
#include <cstdlib>

namespace
{

QString TakeText(FuzzedDataProvider& in)
{
    // Mostly the characters a box holds, sometimes anything at all.
    if (in.ConsumeBool())
        return QString::fromUtf8(TakeBytes(in, 64));
    static const char kChars[] = "0123456789.-+eEdD \t,x";
    QString text;
    const size_t n = in.ConsumeIntegralInRange<size_t>(0, 40);
    for (size_t i = 0; i < n; ++i)
        text += QLatin1Char(kChars[in.ConsumeIntegralInRange<size_t>(0, sizeof kChars - 2)]);
    return text;
}

// The leading number worked out another way: the longest number at the front, read by the C
// library in the C locale; too large reads as 0 (too small is 0 or the subnormal number).
double ReferenceLeadingNumber(const QString& text)
{
    static const QRegularExpression kNumber(
        QStringLiteral("^[ \\t]*([+-]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[eEdD][+-]?[0-9]+)?)"));
    const QRegularExpressionMatch m = kNumber.match(QString::fromLatin1(text.toLatin1()));
    if (!m.hasMatch())
        return 0;
    QByteArray number = m.captured(1).toLatin1();
    number.replace('d', 'e').replace('D', 'e');
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const double v = strtod_l(number.constData(), nullptr, c);
    return std::isfinite(v) ? v : 0;
}

void CheckLeadingNumber(const QString& text)
{
    const double v = LeadingNumber(text);
    FUZZ_CHECK(std::isfinite(v));
    FUZZ_CHECK(v == ReferenceLeadingNumber(text));
    // The plain text of a number reads back as the number, to 15 digits.
    // (Below the smallest normal number 15 digits may read back as nothing.)
    const double back = LeadingNumber(PlainText(v));
    FUZZ_CHECK(std::fabs(v) < 1e-300 || std::fabs(back - v) <= 1e-14 * std::fabs(v));
    const QString shown = OneDecimalText(text);
    FUZZ_CHECK(shown.size() <= text.size() + 2);
}

bool Within(float v, float low, float high)
{
    return std::isfinite(v) && v >= low && v <= high;
}

void CheckRangeDialogs(FuzzedDataProvider& in)
{
    RangeEntries e;
    e.celsius = in.ConsumeBool();
    e.max = TakeText(in);
    e.min = TakeText(in);
    e.maxR = TakeText(in);
    e.minR = TakeText(in);
    e.maxCo2 = TakeText(in);
    e.minCo2 = TakeText(in);
    e.counts = TakeText(in);
    e.from = TakeText(in);
    e.to = TakeText(in);
    const float plotWidth = static_cast<float>(in.ConsumeIntegralInRange<int>(1, 4000));

    RealTimeRangeSettings realTime;
    if (ApplyRealTimeEntries(e, realTime, plotWidth).isEmpty()) {
        FUZZ_CHECK(Within(realTime.TempMaxC, -20, 60) && Within(realTime.TempMinC, -20, 60));
        FUZZ_CHECK(Within(realTime.TempMaxF, -4, 140) && Within(realTime.TempMinF, -4, 140));
        FUZZ_CHECK(Within(realTime.RHMax, 0, 100) && Within(realTime.RHMin, 0, 100));
        FUZZ_CHECK(Within(realTime.CO2Max, 0, 6000) && Within(realTime.CO2Min, 0, 6000));
        FUZZ_CHECK(std::isfinite(realTime.SampleStep) && realTime.SampleStep > 0);
        FUZZ_CHECK(LeadingNumber(CountsText(plotWidth, realTime.SampleStep)) >= 9);
    }

    PlotRangeSettings plot;
    ResetPlotRange(plot, in.ConsumeIntegralInRange<int>(0, 40000));
    if (ApplyPlotEntries(e, plot, plotWidth).isEmpty()) {
        FUZZ_CHECK(plot.FromRecord >= 1 && plot.ToRecord <= plot.RecordTotal);
        FUZZ_CHECK(plot.FromRecord < plot.ToRecord);
        FUZZ_CHECK(plot.PointCount >= 2 && std::isfinite(plot.PointStep) && plot.PointStep > 0);
    }
    // What the boxes show of any stored setting reads back as that setting.
    const float any = in.ConsumeFloatingPoint<float>();
    const QString box = BoxText(any);
    FUZZ_CHECK(!std::isfinite(any) || static_cast<float>(LeadingNumber(box)) == any
        || (any == 0 && LeadingNumber(box) == 0));
}

void CheckAlarmLimits(FuzzedDataProvider& in)
{
    AlarmSettings settings;
    if (in.ConsumeBool())
        SwitchAlarmUnit(settings, QStringLiteral("F"));
    LimitTexts texts;
    for (LimitBoxTexts& row : texts) {
        row.high = TakeText(in);
        row.low = TakeText(in);
    }
    LimitTextAllowed(texts[0].high);
    if (!LimitTextsValid(texts))
        return;
    StoreLimits(settings, texts);
    const bool fahrenheit = FahrenheitUnit(settings);
    for (AlarmQuantity q : kLimitQuantities) {
        const LimitPair shown = ShownLimits(settings, q);
        FUZZ_CHECK(std::isfinite(shown.high) && std::isfinite(shown.low));
        FUZZ_CHECK(shown.low < shown.high);
    }
    // The converted pairs are finite as well, whichever unit the dialog turns to next.
    SwitchAlarmUnit(settings, fahrenheit ? QStringLiteral("C") : QStringLiteral("F"));
    for (AlarmQuantity q : kLimitQuantities) {
        const LimitPair other = ShownLimits(settings, q);
        FUZZ_CHECK(std::isfinite(other.high) && std::isfinite(other.low));
        FUZZ_CHECK(other.low <= other.high);
    }
    const LimitTexts again = ShownLimitTexts(settings);
    for (const LimitBoxTexts& row : again)
        FUZZ_CHECK(LimitTextAllowed(row.high) && LimitTextAllowed(row.low));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    switch (in.ConsumeIntegralInRange<int>(0, 2)) {
    case 0:
        while (in.remaining_bytes() > 0)
            CheckLeadingNumber(TakeText(in));
        break;
    case 1:
        CheckRangeDialogs(in);
        break;
    default:
        CheckAlarmLimits(in);
        break;
    }
    return 0;
}
