#pragma once

#include <QString>
#include <QtGlobal>

// What happens to a recording without a display, in the order it happens. The status output
// listens; so may anything else that keeps track of a recording (every call has a default that
// does nothing).
class RecordEvents
{
public:
    virtual ~RecordEvents() = default;

    // The port is open and the meter is listened to; recording starts with its first reading.
    virtual void waitingForMeter() { }
    // The data file is created with its header line.
    virtual void recordingStarted(const QString& path) { Q_UNUSED(path); }
    // Record `number` (counted across the parts) is in the file and flushed.
    virtual void recordWritten(qint64 number, const QString& recordLine)
    {
        Q_UNUSED(number);
        Q_UNUSED(recordLine);
    }
    // The recording goes on in part `part` (1, 2, ...), created with its header line.
    virtual void partStarted(qint64 part, const QString& path)
    {
        Q_UNUSED(part);
        Q_UNUSED(path);
    }
    // The meter stopped answering (the display shows "No COM"; records repeat the last reading),
    // and answers again.
    virtual void meterSilent() { }
    virtual void meterAnswering() { }
    // The port went away (cable pulled); it is reopened once the meter is back.
    virtual void portLost() { }
    virtual void portRestored() { }
    // Records stopped reaching the file: the file and the reason. Recording tries again with
    // each record.
    virtual void writeFailed(const QString& message) { Q_UNUSED(message); }
    // The dates file beside the data file could not be written (told once per recording; the
    // records go on and the next event tries again).
    virtual void datesNotWritten(const QString& message) { Q_UNUSED(message); }
    // A logger dump: its sets are coming; a set was written to its file (or could not be); the
    // dump is over (message empty), or stopped part way or found no set (message says so).
    virtual void dumpBegun() { }
    virtual void setWritten(const QString& summary) { Q_UNUSED(summary); }
    virtual void setNotWritten(const QString& message) { Q_UNUSED(message); }
    virtual void dumpEnded(const QString& message) { Q_UNUSED(message); }
    // Recording stopped after `records` records: the file is closed. why: "done" (the --for
    // time is over) or the signal that stopped it.
    virtual void recordingStopped(qint64 records, const QString& why)
    {
        Q_UNUSED(records);
        Q_UNUSED(why);
    }
};
