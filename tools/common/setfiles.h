#pragma once

#include <QString>
#include <QStringList>

class Clock;
struct LoggerTables;

// Makes folder ready for set files: created (with its parents) when missing. False with the
// reason when it is no folder, cannot be made or cannot be written.
bool PrepareSetFolder(const QString& folder, QString* error);

// The file of set `set` in folder: folder/set-N.nblg.
QString SetFilePath(const QString& folder, int set);

// A set written to its file.
struct WrittenSet {
    int set = 0;
    QString startTime; // "hh:mm:ss"
    int records = 0; // as the set header says
    int intervalSeconds = 0;
    QString path;
    int rowsListed = 0;
    bool completed = false; // every record listed (see ListLoggerSet)
    // The set's dates file could not be written: its name and the reason (the set file is).
    QString datesProblem;
};

// One line for a script: set, start time, records, interval and the file, tab-separated.
QString SetSummaryLine(const WrittenSet& written);

// Writes the set that a GridSet row names (its four cells) to folder/set-N.nblg exactly as the
// data list's "Save" writes that set once a click on the row has listed it, with the set's dates
// file beside it once the download has dated the sets (a dates file of another file goes). False
// with the file's name and the system's reason in error.
bool WriteSetFile(const QString& folder, const LoggerTables& tables, const QStringList& setRowCells,
    const Clock& clock, WrittenSet* written, QString* error);
