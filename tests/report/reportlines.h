#pragma once

#include <QByteArray>
#include <QString>
#include <QTime>

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

// A part of a recording as the recorder writes it: the header line, then count records at
// 700 ppm numbered from first, a minute apart from startMinute (minutes since midnight).
inline QByteArray RecorderPart(int first, int count, int startMinute)
{
    QByteArray text = "No.s\tTime\tppm\t\xb0"
                      "C\tDew\xb0"
                      "C\tWet\xb0"
                      "C\tRH%\t\xb0"
                      "F\tDew\xb0"
                      "F\tWet\xb0"
                      "F\r\n";
    for (int i = 0, m = startMinute % 1440; i < count; ++i, m = (m + 1) % 1440)
        text += RecordLine(first + i, qPrintable(QTime(m / 60, m % 60).toString("hh:mm:ss")), "700")
            + "\r\n";
    return text;
}
