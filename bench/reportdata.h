#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <cmath>

// Writes a recording as the recorder does: parts of at most perFile records ("week.nblg",
// "week-1.nblg", ...), each with the header line, one sample every `interval` seconds from
// 08:00:00, CO2 rising and falling with occupancy, temperature and humidity drifting slowly.
// Returns the paths in order.
inline QStringList WriteRecording(const QString& folder, const QString& base, qint64 records,
    qint64 perFile = 34800, int interval = 1)
{
    QStringList paths;
    const QByteArray header = "No.s\tTime\tppm\t\xb0"
                              "C\tDew\xb0"
                              "C\tWet\xb0"
                              "C\tRH%\t\xb0"
                              "F\tDew\xb0"
                              "F\tWet\xb0"
                              "F\r\n";
    QFile file;
    QByteArray text;
    for (qint64 i = 0; i < records; ++i) {
        if (i % perFile == 0) {
            if (file.isOpen()) {
                file.write(text);
                file.close();
            }
            const qint64 part = i / perFile;
            const QString name = part == 0 ? base + QStringLiteral(".nblg")
                                           : QStringLiteral("%1-%2.nblg").arg(base).arg(part);
            paths << QDir(folder).filePath(name);
            file.setFileName(paths.back());
            file.open(QIODevice::WriteOnly);
            text = header;
        }
        const qint64 t = 8 * 3600 + i * interval;
        const int s = static_cast<int>(t % 86400);
        const double hour = s / 3600.0;
        const bool occupied = hour > 8.5 && hour < 17.5;
        const int co2 = static_cast<int>(
            450 + (occupied ? 700 + 300 * std::sin(t / 1800.0) : 50) + (i * 7919 % 41));
        const double c = 21 + 2 * std::sin(t / 20000.0);
        const double rh = 45 + 8 * std::cos(t / 15000.0);
        const double dew = c - (100 - rh) / 5;
        const double wet = (c + dew) / 2;
        const auto one
            = [](double v) { return QByteArray::number(std::trunc(v * 10) / 10, 'f', 1); };
        const auto f = [&one](double v) { return one(v * 9 / 5 + 32); };
        char time[16];
        std::snprintf(time, sizeof time, "%02d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
        text += QByteArray::number(i + 1) + '\t' + QByteArray(time) + '\t' + QByteArray::number(co2)
            + '\t' + one(c) + '\t' + one(dew) + '\t' + one(wet) + '\t' + one(rh) + '\t' + f(c)
            + '\t' + f(dew) + '\t' + f(wet) + "\r\n";
        if (text.size() > (1 << 20)) {
            file.write(text);
            text.clear();
        }
    }
    if (file.isOpen())
        file.write(text);
    return paths;
}
