#pragma once

#include <QString>

class Clock;
class GridModel;
class QWidget;

// Reads a data file into a grid, the way "Open" fills the file list: every line that holds no
// upper-case "N" becomes a row, its tab-separated fields filling the columns from the left. The
// window caption counts the lines read ("0 Records Completed" after the header) and ends as the
// file's title. Rows are added in batches; memory beyond the rows stays bounded whatever the
// file holds. False when the file could not be opened or read; the rows read so far stay.
bool LoadDataFile(const QString& path, GridModel& grid, QWidget& window, Clock& clock);
