#pragma once

#include "meter/currentreading.h"

#include <QObject>
#include <QString>

#include <functional>

class AcquisitionCycle;
class Clock;
class QTextStream;
class SerialLink;
class SetDownload;
class Timer;
struct SetDownloadOutcome;

// Exit statuses of nimbrel-logger beside the shared ones (common/headlessmessages.h).
enum LoggerExit {
    kExitNoDump = 5, // no dump began within the wait
    kExitNoData = 6, // "No Data in Memory!"
    kExitIncomplete = 7, // stopped part way, or a set not listed in full; the whole sets written
};

// The status for how a dump ended: a file not written (4) goes before an incomplete download (7).
int LoggerExitStatus(const SetDownloadOutcome& outcome);

// One logger download on an open port: the acquisition cycle runs as in the program until the
// meter sends its dump, which is downloaded with the program's exchange and written as set
// files in folder; one line per set written goes to out, messages to say. finished() reports
// the exit status once: kExitNoDump when no dump began within the wait.
class LoggerSession final : public QObject
{
    Q_OBJECT
public:
    LoggerSession(SerialLink& link, Clock& clock, const QString& folder, int waitSeconds,
        QTextStream& out, std::function<void(const QString&)> say, QObject* parent = nullptr);
    ~LoggerSession() override;

    void start();

Q_SIGNALS:
    void finished(int status);

private:
    void end(const SetDownloadOutcome& outcome);
    void finish(int status);

    QTextStream& m_out;
    std::function<void(const QString&)> m_say;
    int m_waitSeconds;
    CurrentReading m_reading;
    AcquisitionCycle* m_cycle = nullptr;
    SetDownload* m_download = nullptr;
    Timer* m_wait = nullptr;
    bool m_finished = false;
};
