#pragma once

#include <QObject>

class QSocketNotifier;

// A single-shot timer to the microsecond. QTimer counts whole milliseconds, too coarse for the
// wire: a 256-byte piece ends 88.889 ms after it starts, and a tick on the millisecond lets its
// last byte out 0.111 ms late, every piece. Linux only, like the pseudo-terminal it paces.
class MicroTimer final : public QObject
{
    Q_OBJECT
public:
    explicit MicroTimer(QObject* parent = nullptr);
    ~MicroTimer() override;
    MicroTimer(const MicroTimer&) = delete;
    MicroTimer& operator=(const MicroTimer&) = delete;

    // False when the system gave no timer; start() then does nothing.
    bool isValid() const { return m_fd >= 0; }
    // Fires timeout() once, delayUs microseconds from now (at once when delayUs <= 0),
    // replacing any earlier start.
    void start(qint64 delayUs);
    void stop();
    bool isActive() const { return m_active; }

Q_SIGNALS:
    void timeout();

private:
    void expired();

    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
    bool m_active = false;
};
