#pragma once

#include "loggertables.h"
#include "recording/gridrows.h"

#include <QStringList>

class Clock;

// The rows a set lists into the data list.
struct ListedSet {
    GridRows rows;
    // Every record of the set was listed (see ListLoggerSet for what abandons a listing).
    bool completed = false;
};

// The data list's rows of the set that a GridSet row names (its four cells, SetRowCells), as a
// click on that row lists them into the data list: the same rows, so the data list's "Save"
// of them writes the same file. The clock paces the listing's counting caption, which is not
// kept.
ListedSet ListSetRows(
    const LoggerTables& tables, const QStringList& setRowCells, const Clock& clock);
