#pragma once

#include "recordoptions.h"
#include "recordstatus.h"

#include <QList>
#include <QObject>

#include <memory>

class Clock;
class PortSystem;
class RecordRun;
class SerialPortLink;

// nimbrel-record once its options are read: makes the logger folder ready when one is given,
// opens the port given (or listens for the meter when none is), follows the meter's adapter
// through unplugs, then runs one RecordRun until the --for time is over or stop() is called.
// finished() reports the exit status once; it may come from start() itself.
class RecordCommand final : public QObject
{
    Q_OBJECT
public:
    RecordCommand(const RecordOptions& options, Clock& clock, PortSystem& ports,
        RecordStatus::Output output, bool terminal, QObject* parent = nullptr);
    ~RecordCommand() override;

    void start();
    // A stop signal: the record in progress is finished, the file closed, and the status is 0.
    void stop(const QString& why);

    RecordRun* run() const { return m_run; }

Q_SIGNALS:
    void finished(int status);

private:
    void record(const PortArgument& port);
    void finish(int status);

    RecordOptions m_options;
    Clock& m_clock;
    PortSystem& m_ports;
    RecordStatus m_status;
    std::unique_ptr<SerialPortLink> m_link;
    RecordRun* m_run = nullptr;
    bool m_finished = false;
    QList<int> m_setsWritten; // set files of the dump in progress, to date when it is over
};
