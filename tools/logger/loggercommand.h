#pragma once

#include "loggeroptions.h"

#include <QObject>

#include <memory>

class Clock;
class LoggerSession;
class PortSystem;
class QTextStream;
class SerialPortLink;

// nimbrel-logger once its options are read: makes the folder ready, opens the port given (or
// listens for the meter when none is), then runs one LoggerSession. finished() reports the exit
// status once; it may come from start() itself.
class LoggerCommand final : public QObject
{
    Q_OBJECT
public:
    LoggerCommand(const LoggerOptions& options, Clock& clock, PortSystem& ports, QTextStream& out,
        QObject* parent = nullptr);
    ~LoggerCommand() override;

    void start();

Q_SIGNALS:
    void finished(int status);

private:
    void download(const PortArgument& port);
    void finish(int status);

    LoggerOptions m_options;
    Clock& m_clock;
    PortSystem& m_ports;
    QTextStream& m_out;
    std::unique_ptr<SerialPortLink> m_link;
    LoggerSession* m_session = nullptr;
    bool m_finished = false;
};
