#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

// The dates of a list's records where its file's dates file names them: the row (from 0) at
// which each day begins and that day. None without a dates file; the time labels then show the
// time texts alone, as the list does.
struct RecordDays {
    std::vector<std::pair<qint64, QDate>> starts;

    bool empty() const { return starts.empty(); }
    // The date of a row; invalid without dates.
    QDate at(qint64 row) const;
};

// A time label that shows its date: "8 Dec 07:00:00" (the month in English, so no reader takes
// day for month).
QString DatedTimeLabel(const QString& time, const QDate& date);

// The texts of the file graph's time labels, left to right: each its time text, with its date
// where it has one (dates: invalid where not) and the shown label before it has another day, or
// there is none. shown: which labels are shown (every one where it is empty).
QStringList FileTimeLabels(
    const QStringList& times, const std::vector<QDate>& dates, const std::vector<bool>& shown);
