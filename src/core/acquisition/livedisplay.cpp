#include "livedisplay.h"

#include "meter/numbertext.h"

#include <QRegularExpression>

DisplayTexts DisplayTextsFor(const CurrentReading& r)
{
    DisplayTexts t;
    t.LblAir = r.Co2Ppm.text();
    t.LblRH = OneDecimalText(r.HumidityPct.text());
    t.UsedC = OneDecimalText(r.TempC.text());
    t.UsedDC = OneDecimalText(r.DewC.text());
    t.UsedWC = OneDecimalText(r.WetC.text());
    t.UsedF = OneDecimalText(r.TempF.text());
    t.UsedDF = OneDecimalText(r.DewF.text());
    t.UsedWF = OneDecimalText(r.WetF.text());
    return t;
}

QString UnitSwitchText(const QString& valueText)
{
    // Rounded on the value's decimal text, halves away from zero, as a number format does.
    const QString plain = valueText.trimmed();
    static const QRegularExpression number(QStringLiteral("^(-?)(\\d{1,15})(?:\\.(\\d*))?$"));
    const QRegularExpressionMatch m = number.match(plain);
    if (!m.hasMatch())
        return valueText;
    const bool negative = !m.captured(1).isEmpty();
    const QString fraction = m.captured(3);
    qint64 tenths
        = m.captured(2).toLongLong() * 10 + (fraction.isEmpty() ? 0 : fraction.at(0).digitValue());
    if (fraction.size() > 1 && fraction.at(1).digitValue() >= 5)
        ++tenths;
    QString text = QString::number(tenths / 10) + QLatin1Char('.') + QString::number(tenths % 10);
    if (negative && tenths != 0)
        return QLatin1Char('-') + text;
    return QLatin1Char(' ') + text;
}

QString UnitSwitchText(const TaggedValue& value)
{
    return value.isNumber() ? UnitSwitchText(PlainText(value.value())) : value.markerText();
}
