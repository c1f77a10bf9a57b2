#pragma once

#include <QString>
#include <QtGlobal>

class Clock;
class GridModel;
class QWidget;

// Reads a data file into a grid, the way "Open" fills the file list: every line that holds no
// upper-case "N" becomes a row, its tab-separated fields filling the columns from the left. The
// window caption counts the lines read ("0 Records Completed" after the header) and ends as the
// file's title. Rows are added in batches; memory beyond the rows stays bounded whatever the
// file holds. False when the file could not be opened or read; the rows read so far stay.
//
// A recording part or a saved list holds at most 34,800 rows; reading stops after maxRows rows
// (far more than any data file holds), so that a huge file that is no data file (a file of
// empty lines, say) cannot make the list take all memory.
constexpr qint64 kMaxListedRows = 2'000'000;
bool LoadDataFile(const QString& path, GridModel& grid, QWidget& window, Clock& clock,
    qint64 maxRows = kMaxListedRows);
