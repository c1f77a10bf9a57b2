#pragma once

#include "recording/gridrows.h"

#include <QString>
#include <QtGlobal>

class Clock;
class GridModel;
class QWidget;

// A recording part or a saved list holds at most 34,800 rows; reading stops after maxRows rows
// (far more than any data file holds), so that a huge file that is no data file (a file of
// empty lines, say) cannot make the list take all memory. Past the bound the rows are only
// counted, up to kCountedRowsFactor times the bound.
constexpr qint64 kMaxListedRows = 2'000'000;
constexpr qint64 kCountedRowsFactor = 10;

// How reading a data file into a grid went.
struct DataFileLoad {
    enum class Status { Loaded, NotOpened, NotRegular, ReadError };
    Status status = Status::NotOpened;
    qint64 rowsListed = 0;
    // Rows in the file (lines without an upper-case "N"), counted to the end or, when
    // countedToTheEnd is false, up to where counting stopped.
    qint64 rowsInFile = 0;
    bool countedToTheEnd = true;
};

// Reads a data file into a grid, the way "Open" fills the file list: every line that holds no
// upper-case "N" becomes a row, its tab-separated fields filling the columns from the left. The
// window caption counts the lines read ("0 Records Completed" after the header) and ends as the
// file's title. Memory beyond the rows stays bounded whatever the file holds. Rows read before
// a read error stay. The rows are gathered in storage, whose memory is used again.
DataFileLoad ReadDataFile(const QString& path, GridModel& grid, QWidget& window, Clock& clock,
    qint64 maxRows = kMaxListedRows, GridRows storage = GridRows());
// The same; false when the file could not be opened or read.
bool LoadDataFile(const QString& path, GridModel& grid, QWidget& window, Clock& clock,
    qint64 maxRows = kMaxListedRows);

// What the user is told after reading path (a file that is not a regular file, rows left out),
// or nothing. A file that cannot be opened or read is not told: that ends "Open" quietly.
QString DataFileLoadMessage(const DataFileLoad& load, const QString& path);
