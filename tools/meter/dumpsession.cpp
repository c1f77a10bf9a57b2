#include "dumpsession.h"

std::vector<DumpSession::Reply> DumpSession::replyPlan(
    const LoggerImage& image, const DumpFaults& faults)
{
    std::vector<Reply> plan;
    for (int s = 0; s < image.setCount(); ++s) {
        int offset = image.setOffset(s);
        plan.push_back({ offset, LoggerImage::kHeaderSize, false });
        offset += LoggerImage::kHeaderSize;
        int left = image.setRecords(s) * LoggerImage::kRecordSize;
        while (left > 0) {
            const int piece = left < kPieceSize ? left : kPieceSize;
            plan.push_back({ offset, piece, true });
            offset += piece;
            left -= piece;
        }
    }
    if (plan.empty())
        return plan; // no sets: the signature is the whole dump
    plan.push_back({ image.usedBytes(), 0, false }); // the final space

    if (faults.shortHeader) {
        const int held = LoggerImage::kHeaderSize - kShortHeaderSize;
        plan[0].length = kShortHeaderSize;
        plan[1].offset -= held;
        plan[1].length += held;
    }
    if (faults.overshoot > 0) {
        std::size_t target = 0;
        for (std::size_t i = 0; i < plan.size(); ++i) {
            if (plan[i].records) {
                target = i;
                break;
            }
        }
        // The meter reads on past the piece's end, then carries on where the piece ended.
        plan[target].length += faults.overshoot;
    }
    return plan;
}

void DumpSession::start(const LoggerImage& image, const DumpFaults& faults, qint64 nowMs)
{
    m_stream = image.bytes();
    m_signature = image.signature();
    m_setCount = image.setCount();
    m_plan = replyPlan(image, faults);
    m_planBytes = 0;
    for (const Reply& reply : m_plan)
        m_planBytes += reply.length;
    m_next = 0;
    m_faults = faults;
    m_signatures = 0;
    m_dumpBytesSent = 0;
    m_completed = false;
    m_output.clear();
    m_state = State::Gap;
    m_deadlineMs = nowMs + kGapMs;
    m_events << QStringLiteral("dump: %1 set(s), %2 bytes, write address %3; silent %4 ms first")
                    .arg(m_setCount)
                    .arg(image.usedBytes())
                    .arg(image.writeAddress())
                    .arg(kGapMs);
}

bool DumpSession::stopsEarly() const
{
    // A stop at or past the dump's end withholds nothing, so it is no fault.
    return m_faults.stopAfter >= 0 && m_faults.stopAfter < m_planBytes;
}

void DumpSession::abort()
{
    if (m_state != State::Idle)
        finish(QStringLiteral("dump: abandoned"));
}

void DumpSession::finish(const QString& why)
{
    m_state = State::Idle;
    m_events << why;
}

QByteArray DumpSession::replyBytes(const Reply& reply) const
{
    QByteArray bytes = m_stream.mid(reply.offset, reply.length);
    if (bytes.size() < reply.length)
        bytes.append(QByteArray(reply.length - bytes.size(), kUnusedMemory));
    return bytes;
}

void DumpSession::sendSignature(qint64 nowMs)
{
    m_output.append(m_signature);
    ++m_signatures;
    m_events << QStringLiteral("dump: signature sent (%1 of at most %2)")
                    .arg(m_signatures)
                    .arg(kSignatureRepeats + 1);
    if (m_plan.empty()) {
        m_completed = true;
        finish(QStringLiteral("dump: logger empty, live frames resume"));
        return;
    }
    m_state = State::AwaitSpace;
    m_deadlineMs = nowMs + kAnswerTimeoutMs;
    if (stopsEarly() && m_faults.stopAfter == 0) {
        m_state = State::Quiet;
        m_deadlineMs = nowMs + m_faults.quietMs;
        m_events << QStringLiteral("dump: stopping before the first byte (fault), quiet %1 ms")
                        .arg(m_faults.quietMs);
    }
}

void DumpSession::answerSpace(qint64 nowMs)
{
    const Reply& reply = m_plan[m_next];
    QByteArray bytes = replyBytes(reply);
    const bool stopping = stopsEarly() && m_dumpBytesSent + bytes.size() >= m_faults.stopAfter;
    if (stopping)
        bytes.truncate(qsizetype(m_faults.stopAfter - m_dumpBytesSent));
    m_output.append(bytes);
    m_dumpBytesSent += bytes.size();
    ++m_next;

    if (stopping) {
        m_state = State::Quiet;
        m_deadlineMs = nowMs + m_faults.quietMs;
        m_events << QStringLiteral("dump: stopped after %1 bytes (fault), quiet %2 ms")
                        .arg(m_dumpBytesSent)
                        .arg(m_faults.quietMs);
        return;
    }
    if (m_next == m_plan.size()) {
        m_completed = true;
        finish(
            QStringLiteral("dump: complete (%1 bytes), live frames resume").arg(m_dumpBytesSent));
        return;
    }
    m_deadlineMs = nowMs + kAnswerTimeoutMs;
}

void DumpSession::receive(const QByteArray& fromProgram, qint64 nowMs)
{
    for (char byte : fromProgram) {
        if (m_state != State::AwaitSpace)
            return;
        if (byte == kSpace)
            answerSpace(nowMs);
    }
}

void DumpSession::advance(qint64 nowMs)
{
    if (m_state == State::Idle || nowMs < m_deadlineMs)
        return;
    switch (m_state) {
    case State::Idle:
        break;
    case State::Gap:
        sendSignature(nowMs);
        break;
    case State::AwaitSpace:
        if (m_next > 0) {
            finish(QStringLiteral("dump: no space for %1 ms after %2 bytes, live frames resume")
                       .arg(kAnswerTimeoutMs)
                       .arg(m_dumpBytesSent));
        } else if (m_signatures <= kSignatureRepeats) {
            m_state = State::Gap;
            m_deadlineMs = nowMs + kGapMs;
            m_events << QStringLiteral("dump: no answer to the signature, trying again");
        } else {
            finish(QStringLiteral("dump: no answer to %1 signatures, live frames resume")
                       .arg(m_signatures));
        }
        break;
    case State::Quiet:
        finish(QStringLiteral("dump: quiet over, live frames resume"));
        break;
    }
}

QByteArray DumpSession::takeOutput()
{
    QByteArray out;
    out.swap(m_output);
    return out;
}

QStringList DumpSession::takeEvents()
{
    QStringList events;
    events.swap(m_events);
    return events;
}
