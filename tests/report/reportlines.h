#pragma once

#include <QByteArray>
#include <QString>

// A record line of a data file: number, time, CO2, then temperature, dew point, wet bulb and
// RH as given, the Fahrenheit columns made from the Celsius ones (a marker is copied).
inline QByteArray RecordLine(int number, const char* time, const char* co2,
    const char* temp = "21.0", const char* rh = "45.0")
{
    const auto fahrenheit = [](const char* c) {
        bool ok = false;
        const double v = QByteArray(c).toDouble(&ok);
        return ok ? QByteArray::number(v * 9 / 5 + 32, 'f', 1) : QByteArray(c);
    };
    return QByteArray::number(number) + '\t' + time + '\t' + co2 + '\t' + temp + "\t9.0\t14.0\t"
        + rh + '\t' + fahrenheit(temp) + "\t48.2\t57.2";
}
