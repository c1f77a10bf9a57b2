#pragma once

#include "loggerimage.h"

#include <QByteArray>
#include <QStringList>

#include <vector>

// Faults the meter can put into its next dump.
struct DumpFaults {
    int stopAfter = -1; // stop answering once this many dump bytes (from the first header
                        // byte) have been sent; negative: never
    int quietMs = 5000; // silence after such a stop, then live frames resume
    int overshoot = 0; // extra bytes in the first record piece: the bytes that follow it
    bool shortHeader = false; // first set header sent as 5 bytes, the other 3 with the next piece

    bool any() const { return stopAfter >= 0 || overshoot > 0 || shortHeader; }
};

// The meter's side of a logger dump. It falls silent for a gap, sends the signature frame, then
// answers each space from the program with the next piece: a set's header for the set's first
// space, then its record bytes 256 at a time with the remainder last; one more space ends the
// dump. It only reacts to the times and bytes it is given, so it runs the same on a clock of
// its own or a test's.
class DumpSession
{
public:
    enum class State { Idle, Gap, AwaitSpace, Quiet };

    static constexpr qint64 kGapMs = 2500;
    static constexpr qint64 kAnswerTimeoutMs = 5000;
    static constexpr int kSignatureRepeats = 3;
    static constexpr int kPieceSize = 256;
    static constexpr int kShortHeaderSize = 5;
    static constexpr char kSpace = 0x20;
    static constexpr char kUnusedMemory = char(0xFF);

    // One answer: a slice of the dumped bytes (past their end the memory reads FF).
    struct Reply {
        int offset = 0;
        int length = 0;
        bool records = false; // carries record bytes (not a header, not the final answer)
    };

    // The answers to the spaces in order, the last one for the final space (normally empty).
    static std::vector<Reply> replyPlan(const LoggerImage& image, const DumpFaults& faults);

    // Stops live frames and starts a dump of `image` now.
    void start(const LoggerImage& image, const DumpFaults& faults, qint64 nowMs);
    // Abandons a dump (the meter is unplugged or silenced).
    void abort();
    // Bytes from the program; only spaces mean anything.
    void receive(const QByteArray& fromProgram, qint64 nowMs);
    // Runs whatever timed step is due at `nowMs`.
    void advance(qint64 nowMs);

    // Bytes to send, in order, since the last call.
    QByteArray takeOutput();
    // What happened, one line each, for the operator.
    QStringList takeEvents();

    State state() const { return m_state; }
    bool isActive() const { return m_state != State::Idle; }
    // When advance() has something to do next; -1 when idle.
    qint64 nextDeadlineMs() const { return m_state == State::Idle ? -1 : m_deadlineMs; }
    int signaturesSent() const { return m_signatures; }
    qint64 dumpBytesSent() const { return m_dumpBytesSent; }
    // The last dump ran to its final space (or was empty).
    bool completed() const { return m_completed; }

private:
    void sendSignature(qint64 nowMs);
    void answerSpace(qint64 nowMs);
    void finish(const QString& why);
    QByteArray replyBytes(const Reply& reply) const;
    bool stopsEarly() const;

    State m_state = State::Idle;
    QByteArray m_stream;
    QByteArray m_signature;
    int m_setCount = 0;
    std::vector<Reply> m_plan;
    qint64 m_planBytes = 0;
    std::size_t m_next = 0;
    DumpFaults m_faults;
    qint64 m_deadlineMs = 0;
    int m_signatures = 0;
    qint64 m_dumpBytesSent = 0;
    bool m_completed = false;
    QByteArray m_output;
    QStringList m_events;
};
