#pragma once

#include "datafileloading.h"

class Clock;
class ListWindows;
class Prompts;
class QWidget;

// "Open" of a chosen file: a fresh file list with the file's title, filled with the file's rows.
// Something that is not a regular file (a device, a pipe, a folder) is refused with a message
// and opens no list; when the file holds more rows than the list takes, a message says how many
// are listed. A file that cannot be opened or read ends quietly, with the rows read so far.
void OpenDataFileIntoList(const QString& path, ListWindows& lists, Prompts& prompts, Clock& clock,
    QWidget* messageParent, qint64 maxRows = kMaxListedRows);
