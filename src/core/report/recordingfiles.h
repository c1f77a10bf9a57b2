#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

// The files of one recording: the parts the recorder splits it into, and the order to read
// given files in.

// Every part of the recording the data file at path belongs to, in part order: the first part
// (the name the recorder started with) and each further part that exists beside it ("run.nblg",
// "run-1.nblg", "run-2.nblg" ...). A part that was deleted leaves its number out; the parts after
// it are still listed. A file that has parts of its own ("run-1-1.nblg" beside "run-1.nblg") is
// the first part of them. Only files that exist are listed; none when path does not exist.
QStringList RecordingParts(const QString& path);

// What the first lines of a data file say: whether it starts with the column captions (the
// header of a recording, or the caption row of a list dump) and the number of its first record
// (-1 when none is found near the start, or the file cannot be read).
struct DataFileStart {
    bool header = false;
    qint64 firstRecord = -1;
    int firstSecondsOfDay = -1; // the first record's time of day
};
DataFileStart ReadDataFileStart(const QString& path);

// The number of the last record of a data file, read from its end; -1 without one.
qint64 ReadLastRecordNumber(const QString& path);

// The line is the column captions, as a recording's header (no tab at the end) or as a dump's
// caption row (a tab at the end).
bool IsCaptionLine(QByteArrayView line);

// The order to read data files in as one recording. Files given in another order than their
// record numbers run ("run-1.nblg run-10.nblg run.nblg", as a shell lists them) are ordered by
// their first record number when they are parts of one recording: each starts with the column
// captions and its first record follows the last record of the one before. Otherwise the order
// given is kept. When the order changes, note (if given) says so and names the order; else it
// is emptied.
QStringList RecordingOrder(const QStringList& paths, QString* note = nullptr);
