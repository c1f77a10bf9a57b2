#pragma once

#include <QObject>
#include <QStringList>
#include <QTime>

#include <functional>

class Clock;
class DataFileHandle;
class Timer;
struct RecordingState;

// The three main-window captions the recorder keeps: LblCount, LblRec and LblFileName.
class RecorderLabels
{
public:
    virtual ~RecorderLabels() = default;
    virtual void setRecordCount(const QString& text) = 0;
    virtual void setRecIndicator(const QString& text) = 0;
    virtual void setFileTitle(const QString& text) = 0;
};

// The live list as the recorder fills it.
class LiveListSink
{
public:
    virtual ~LiveListSink() = default;
    // Adds one sample row (its number, a tab, the record text), scrolling the list along.
    virtual void appendSample(const QString& rowText) = 0;
    // Writes the whole list, caption row first, to fileName, then empties the list; false
    // (and the rows kept) when the file could not be written.
    virtual bool dumpLiveList(const QString& fileName) = 0;
};

// What follows the recording record by record (the dates of the recording): told of every
// record that reached the data file and of every new part. Called within the tick; the calls
// must cost next to nothing.
class RecordingHooks
{
public:
    virtual ~RecordingHooks() = default;
    // Record `number` is in the file, stamped `stamp`; resynchronised: the drift check set the
    // stamp to the clock since the record before.
    virtual void recorded(qint64 number, const QTime& stamp, bool resynchronised) = 0;
    // The part file `path` is created with its header; its first record comes next.
    virtual void partStarted(const QString& path) = 0;
    // Row `row` was added to the live list (before a dump that it fills up), stamped `stamp`.
    virtual void listed(qint64 row, const QTime& stamp, bool resynchronised)
    {
        Q_UNUSED(row);
        Q_UNUSED(stamp);
        Q_UNUSED(resynchronised);
    }
};

// The sample stamp moved on by seconds, as a time of day (it wraps at midnight).
QTime AdvanceStamp(const QTime& stamp, qint64 seconds);
// The stamp and the clock are 4 seconds or more apart (the shorter way round midnight), or
// their seconds differ by 4 or more either way (a minute boundary between them).
bool StampDrifted(const QTime& stamp, const QTime& now);
// "hh:mm:ss".
QString StampText(const QTime& time);

// The PC sampling recorder. Timer2 ticks every 960 ms for the whole run; every SamplingSeconds
// ticks it stamps a sample, copies the main window's eight value texts into one record, writes
// it to the data file while recording (starting a new part every 34,800 records) and adds it to
// the live list while that is open (dumping the list every 34,800 rows).
class Recorder final : public QObject
{
    Q_OBJECT
public:
    static constexpr int kTickMs = 960;
    static constexpr qint64 kSplitSize = 34800;

    Recorder(RecordingState& state, Clock& clock, DataFileHandle& file,
        std::function<QStringList()> sampleTexts, RecorderLabels& labels, LiveListSink& liveList,
        QObject* parent = nullptr);

    // Takes the time of day as the first stamp and starts Timer2.
    void start();
    Timer& timer2() { return *m_timer2; }
    // Who follows the records written (none by default); hooks must outlive the recorder.
    void setHooks(RecordingHooks* hooks) { m_hooks = hooks; }
    QString sampleStamp() const { return StampText(m_stamp); }
    // One Timer2 tick.
    void tick();

    // What LblRec shows while samples cannot be recorded.
    static QString failedIndicator() { return QStringLiteral("Rec error"); }

Q_SIGNALS:
    // A sample was taken; recordLine is the stamp and the eight texts joined by tabs.
    void sampled(const QString& recordLine);
    // Samples stopped reaching the data file (a part could not be created, a record could not be
    // written): the file and the reason, for the user. Sent once, at the end of the tick, until
    // a record is written again or recording stops.
    void recordingFailed(const QString& message);

private:
    void record(const QString& recordLine);
    bool startNextPart();
    void addToLiveList(const QString& recordLine);
    void fail(const QString& message);
    QString currentPartName() const;

    RecordingState& m_state;
    Clock& m_clock;
    DataFileHandle& m_file;
    std::function<QStringList()> m_sampleTexts;
    RecorderLabels& m_labels;
    LiveListSink& m_liveList;
    Timer* m_timer2 = nullptr;
    QTime m_stamp = QTime(0, 0);
    RecordingHooks* m_hooks = nullptr;
    // The drift check set the stamp to the clock since the last record written.
    bool m_resynchronised = false;
    bool m_listResynchronised = false; // the same since the row before
    // The user has been told that samples are not being recorded.
    bool m_failing = false;
    QString m_failure; // to tell at the end of this tick
};
