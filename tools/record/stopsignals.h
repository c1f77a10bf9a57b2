#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM and SIGINT as a Qt signal. The handler only writes the signal's number to a pipe; the
// event loop reads it and sends stopRequested(), so nothing runs inside the handler and the
// record in progress is finished first. One instance per process.
class StopSignals final : public QObject
{
    Q_OBJECT
public:
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;

    // Whether the pipe and the handlers are in place.
    bool installed() const { return m_notifier != nullptr; }

Q_SIGNALS:
    void stopRequested(int signalNumber);

private:
    void readPipe();

    QSocketNotifier* m_notifier = nullptr;
};
