#include "recorddays.h"

#include <QLocale>

#include <algorithm>

QDate RecordDays::at(qint64 row) const
{
    const auto after = std::upper_bound(starts.begin(), starts.end(), row,
        [](qint64 r, const std::pair<qint64, QDate>& start) { return r < start.first; });
    return after == starts.begin() ? QDate() : std::prev(after)->second;
}

QString FileTimeLabel(const QString& time, qint64 row, const RecordDays& days, QDate* labelled)
{
    const QDate date = days.at(row);
    if (!date.isValid() || date == *labelled)
        return time;
    *labelled = date;
    return DatedTimeLabel(time, date);
}

QString DatedTimeLabel(const QString& time, const QDate& date)
{
    return QLocale::c().toString(date, QStringLiteral("d MMM ")) + time;
}
