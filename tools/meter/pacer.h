#pragma once

#include "meter/protocol.h"

#include <QByteArray>

// Lets queued bytes out at the wire's speed. A pseudo-terminal delivers everything at once, so
// the meter keeps the pace itself: a byte is due once its ten bits (start, 8 data, stop) have
// gone by. Counting from the start of each busy spell keeps the average exact, with no drift
// however long the spell.
class Pacer
{
public:
    static constexpr int kWireBytesPerSecond = ::kWireBytesPerSecond;

    // bytesPerSecond <= 0 sends everything at once.
    explicit Pacer(int bytesPerSecond = kWireBytesPerSecond);

    // Bytes whose transmission has completed `elapsedUs` microseconds into a busy spell.
    static qint64 bytesDueAfter(qint64 elapsedUs, int bytesPerSecond);

    void enqueue(const QByteArray& bytes, qint64 nowUs);
    // The bytes that may be written now (a prefix of the queue).
    QByteArray due(qint64 nowUs) const;
    // `written` bytes of what due() offered went out. A short write means the line is blocked:
    // the pace starts afresh from now instead of bursting later.
    void consumed(int written, int offered, qint64 nowUs);
    // Drops everything not yet sent.
    void clear();

    bool isEmpty() const { return m_queue.isEmpty(); }
    int pending() const { return int(m_queue.size()); }
    // When the next queued byte becomes due (microseconds on the caller's clock); -1 if empty.
    qint64 nextDueUs() const;
    // When the last queued byte becomes due, the end of what is queued; -1 if empty.
    qint64 lastDueUs() const;

private:
    // When the byte that makes bytesSinceOrigin of this spell has gone by.
    qint64 dueUs(qint64 bytesSinceOrigin) const;

    int m_rate;
    QByteArray m_queue;
    qint64 m_originUs = 0;
    qint64 m_sentSinceOrigin = 0;
};
