#pragma once

#include "recorder.h"
#include "recordingdates.h"

#include <QDateTime>
#include <QObject>
#include <QString>

class Clock;
struct RecordingState;

// The time of day `stamp` as a date-time: on the day that puts it nearest `now`, with now's UTC
// offset (a stamp of 23:59:59 taken at 00:00:02 is of the day before).
QDateTime StampDateTime(const QTime& stamp, const QDateTime& now);

// Keeps the dates file of the recording beside each of its parts (recordingdates.h): the first
// record's date-time, the meter going silent and answering again, the clock set or the computer
// asleep (the drift check's resynchronisations), a change of UTC offset or of the sampling
// interval, each new part and the stop. The file is written whole at each event, and only once the
// record the event names is in the data file, so that the dates file always fits the data file,
// even one never stopped. Between events a record costs a few comparisons.
class DatesKeeper final : public QObject, public RecordingHooks
{
    Q_OBJECT
public:
    DatesKeeper(const RecordingState& state, Clock& clock, QObject* parent = nullptr);

    // What the dates name of the port the meter is on: "COM1", "/dev/ttyUSB0", its USB serial.
    void setPort(const QString& port, const QString& device, const QString& usbSerial);

    // A recording to path starts (its data file is created with the header): a dates file left
    // beside it belongs to the file it replaces and goes. Without a path the dates are only
    // kept (the live list's, written when it is saved or dumped).
    void recordingStarted(const QString& path);
    // The recording stops after its last record: the dates end with the stop.
    void recordingStopped();

    // The session's meter: a reading was decoded; it went silent; it answers again.
    void readingTaken();
    void meterSilent();
    void meterAnswering();

    void recorded(qint64 number, const QTime& stamp, bool resynchronised) override;
    void partStarted(const QString& path) override;

    // The dates of the part being recorded, as last written or about to be.
    const RecordingDates& dates() const { return m_dates; }
    // The dates of the records of this part so far, written beside dataFilePath (the part's
    // records saved there; without a record, a dates file there goes). False with the reason it
    // cannot be written.
    bool writeTo(const QString& dataFilePath, QString* error) const;

Q_SIGNALS:
    // The dates file could not be written: the file and the reason. Told once per recording;
    // the recording goes on and the next event tries again.
    void datesFailed(const QString& message);

private:
    void firstRecordOfPart(qint64 number, const QTime& stamp);
    void checkClock(qint64 number, const QTime& stamp);
    void addEvent(DatesEvent::Kind kind, qint64 record, const QDateTime& at, qint64 seconds = 0,
        int interval = 0);
    void write();
    QDateTime lastReadingAt(const QDateTime& now) const;

    const RecordingState& m_state;
    Clock& m_clock;
    QString m_port;
    QString m_device;
    QString m_usbSerial;

    // The part the dates are of; its first record is still to come while partPending.
    bool m_active = false;
    bool m_partPending = false;
    bool m_firstPart = true;
    QString m_path;
    RecordingDates m_dates;
    // Events not written yet; the file is written once record m_dueRecord is in.
    bool m_dirty = false;
    qint64 m_dueRecord = 0;
    qint64 m_lastRecord = 0;
    bool m_failureTold = false;

    // The meter as the records see it.
    bool m_silent = false;
    bool m_heard = false;
    bool m_freshReading = false; // a reading came since the record before
    qint64 m_repeatFrom = 0; // the first of the records since the last reading; 0: none
    qint64 m_lastReadingMs = 0; // passingMs() of the last reading
    bool m_reconnecting = false; // the next record of a fresh reading is "reconnected"

    // Where the clock was last seen against the records: record, moment, passing count.
    qint64 m_anchorRecord = 0;
    QDateTime m_anchorAt;
    qint64 m_anchorMs = 0;
    int m_offset = 0;
    int m_interval = 0; // seconds between the records now
};
