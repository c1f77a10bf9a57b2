#include "recorddays.h"

#include <QLocale>

#include <algorithm>

QDate RecordDays::at(qint64 row) const
{
    const auto after = std::upper_bound(starts.begin(), starts.end(), row,
        [](qint64 r, const std::pair<qint64, QDate>& start) { return r < start.first; });
    return after == starts.begin() ? QDate() : std::prev(after)->second;
}

QStringList FileTimeLabels(
    const QStringList& times, const std::vector<QDate>& dates, const std::vector<bool>& shown)
{
    QStringList texts;
    QDate before; // the date of the last label shown
    for (qsizetype i = 0; i < times.size(); ++i) {
        const QDate date = i < qsizetype(dates.size()) ? dates[i] : QDate();
        const bool isShown = shown.empty() || (i < qsizetype(shown.size()) && shown[i]);
        texts << (date.isValid() && date != before ? DatedTimeLabel(times[i], date) : times[i]);
        if (isShown)
            before = date;
    }
    return texts;
}

QString DatedTimeLabel(const QString& time, const QDate& date)
{
    return QLocale::c().toString(date, QStringLiteral("d MMM ")) + time;
}
