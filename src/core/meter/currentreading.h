#pragma once

#include <QString>

// A value that is either a number or a marker text standing in its place.
class TaggedValue
{
public:
    TaggedValue() = default;
    static TaggedValue number(double value) { return TaggedValue(value, QString()); }
    static TaggedValue marker(const QString& text) { return TaggedValue(0.0, text); }
    // A value not worked out yet: a marker whose text is empty.
    static TaggedValue notWorkedOut() { return TaggedValue(0.0, QString::fromLatin1("", 0)); }

    bool isNumber() const { return m_marker.isNull(); }
    double value() const { return m_number; }
    const QString& markerText() const { return m_marker; }
    // The plain text of the number, or the marker.
    QString text() const;

    bool operator==(const TaggedValue& other) const
    {
        return isNumber() == other.isNumber()
            && (isNumber() ? m_number == other.m_number : m_marker == other.m_marker);
    }

private:
    TaggedValue(double number, const QString& marker)
        : m_number(number)
        , m_marker(marker)
    {
    }
    double m_number = 0.0;
    QString m_marker;
};

namespace Marker
{
inline const QString Over = QStringLiteral("OL");
inline const QString Under = QStringLiteral("-OL");
inline const QString NoReading = QStringLiteral("----");
} // namespace Marker

// The latest decoded reading. Each decoding routine overwrites only its own fields.
struct CurrentReading {
    TaggedValue Co2Ppm = TaggedValue::number(0);
    TaggedValue HumidityPct = TaggedValue::number(0);
    TaggedValue TempC = TaggedValue::number(0);
    TaggedValue TempF = TaggedValue::number(32);
    TaggedValue DewC = TaggedValue::notWorkedOut();
    TaggedValue DewF = TaggedValue::notWorkedOut();
    TaggedValue WetC = TaggedValue::notWorkedOut();
    TaggedValue WetF = TaggedValue::notWorkedOut();
    bool TempNegative = false;
    bool TempOverload = false;
    bool NoTrhReading = false;
};
