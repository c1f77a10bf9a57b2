#pragma once

#include <QDate>
#include <QString>

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

// The label of a row of the file graph, labels taken from left to right: its time text, with
// its date where the days name one and the label before (whose date labelled keeps) showed
// another or none.
QString FileTimeLabel(const QString& time, qint64 row, const RecordDays& days, QDate* labelled);
