#include "pacer.h"

Pacer::Pacer(int bytesPerSecond)
    : m_rate(bytesPerSecond)
{
}

qint64 Pacer::bytesDueAfter(qint64 elapsedUs, int bytesPerSecond)
{
    if (elapsedUs <= 0)
        return 0;
    return elapsedUs * bytesPerSecond / 1000000;
}

void Pacer::enqueue(const QByteArray& bytes, qint64 nowUs)
{
    if (bytes.isEmpty())
        return;
    if (m_queue.isEmpty()) {
        // The line has been idle: a new busy spell starts now.
        m_originUs = nowUs;
        m_sentSinceOrigin = 0;
    }
    m_queue.append(bytes);
}

QByteArray Pacer::due(qint64 nowUs) const
{
    if (m_rate <= 0)
        return m_queue;
    const qint64 allowed = bytesDueAfter(nowUs - m_originUs, m_rate) - m_sentSinceOrigin;
    if (allowed <= 0)
        return QByteArray();
    return m_queue.left(qsizetype(qMin<qint64>(allowed, m_queue.size())));
}

void Pacer::consumed(int written, int offered, qint64 nowUs)
{
    if (written > 0) {
        m_queue.remove(0, qMin<qsizetype>(written, m_queue.size()));
        m_sentSinceOrigin += written;
    }
    if (written < offered && !m_queue.isEmpty()) {
        m_originUs = nowUs;
        m_sentSinceOrigin = 0;
    }
}

void Pacer::clear()
{
    m_queue.clear();
    m_sentSinceOrigin = 0;
}

qint64 Pacer::dueUs(qint64 bytesSinceOrigin) const
{
    if (m_rate <= 0)
        return m_originUs;
    // Smallest t with (t - origin) * rate / 1e6 >= bytesSinceOrigin.
    return m_originUs + (bytesSinceOrigin * 1000000 + m_rate - 1) / m_rate;
}

qint64 Pacer::nextDueUs() const
{
    return m_queue.isEmpty() ? -1 : dueUs(m_sentSinceOrigin + 1);
}

qint64 Pacer::lastDueUs() const
{
    return m_queue.isEmpty() ? -1 : dueUs(m_sentSinceOrigin + m_queue.size());
}
