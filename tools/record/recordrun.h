#pragma once

#include "acquisition/sessionstate.h"
#include "platform/beeper.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class Clock;
class MeterSession;
class RecordEvents;
class SerialLink;
class Timer;
struct LoggerTables;

// What a recording without a display is asked to do.
struct RecordPlan {
    QString file;
    int intervalSeconds = 2;
    qint64 forSeconds = 0; // 0: until stopped
    int portNumber = 0; // the COMn the display names, 0 for a device given by its path
};

// A recording without a display: a meter session on an open link, recording to the plan's file
// exactly as the program's "Save" does once the meter's first reading is in, until the --for
// time is over or stop() is called. Every change is told to the listeners (RecordEvents).
class RecordRun final : public QObject
{
    Q_OBJECT
public:
    // Writes one set of a dump that arrived whole (its GridSet row's cells); true with a line
    // that sums it up, false with the file's name and the reason.
    using SetWriter = std::function<bool(
        const LoggerTables& tables, const QStringList& setRowCells, QString* summary)>;

    RecordRun(SerialLink& link, Clock& clock, RecordPlan plan, QObject* parent = nullptr);
    ~RecordRun() override;

    void addListener(RecordEvents* listener) { m_listeners << listener; }
    // Where the sets of a dump go; without one they are downloaded (so live readings go on
    // after the dump) and not written.
    void setSetWriter(SetWriter writer) { m_setWriter = std::move(writer); }

    // Starts the session on the link (opened already, or opened now). False when the link
    // cannot be opened.
    bool start();
    // Ends the recording after the record in progress: the file is closed, finished(0) follows.
    void stop(const QString& why);

    const SessionState& state() const { return m_state; }
    MeterSession& session() { return *m_session; }

Q_SIGNALS:
    // The run is over: 0 done or stopped, 4 the data file could not be created (message says
    // which and why).
    void finished(int exitCode, const QString& message);

private:
    void firstReading();
    void afterSample(const QString& recordLine);
    void armDeadline();
    void deadlinePassed();
    void writeSet(const QStringList& cells);
    void dumpOver(const QString& message);
    template <typename Call> void tell(Call call);

    Clock& m_clock;
    RecordPlan m_plan;
    SessionState m_state;
    struct SilentBeeper final : Beeper {
        void beep() override { }
    } m_beeper;
    std::unique_ptr<MeterSession> m_session;
    QList<RecordEvents*> m_listeners;
    SetWriter m_setWriter;
    Timer* m_deadline = nullptr;
    qint64 m_deadlineMs = 0; // monotonic time at which the --for time is over
    qint64 m_lastCount = 0;
    qint64 m_lastPart = 0;
    bool m_recordingWanted = true;
    bool m_over = false;
    bool m_dumpOutcomeTold = false;
};
