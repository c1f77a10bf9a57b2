#include "loggerdownload.h"

#include "platform/clock.h"
#include "platform/seriallink.h"
#include "protocol.h"

#include <algorithm>
#include <utility>

LoggerDownload::LoggerDownload(
    SerialLink& link, Clock& clock, LoggerDownloadStore& store, QObject* parent)
    : DownloadHook(parent)
    , m_link(link)
    , m_clock(clock)
    , m_store(store)
{
    m_headerTimer = m_clock.createTimer(this);
    m_headerTimer->setSingleShot(true);
    m_settleTimer = m_clock.createTimer(this);
    m_settleTimer->setSingleShot(true);
    m_quietTimer = m_clock.createTimer(this);
    m_quietTimer->setSingleShot(true);
    connect(m_headerTimer, &Timer::timeout, this, &LoggerDownload::headerWaitOver);
    connect(m_settleTimer, &Timer::timeout, this, &LoggerDownload::pump);
    connect(m_quietTimer, &Timer::timeout, this, &LoggerDownload::quietTooLong);
    connect(&m_link, &SerialLink::readyRead, this, &LoggerDownload::pump);
}

QString LoggerDownload::stoppedMessage(Stop why, int set, int setCount)
{
    QString cause;
    switch (why) {
    case Stop::Silent:
        cause = QStringLiteral("the meter stopped answering during set %1 of %2");
        break;
    case Stop::KeptSending:
        cause = QStringLiteral("the meter kept sending without being asked during set %1 of %2");
        break;
    case Stop::BeyondCapacity:
        cause = QStringLiteral("the header of set %1 of %2 claims more records than the meter's "
                               "memory holds");
        break;
    case Stop::LiveReadings:
        cause = QStringLiteral("the meter went back to live readings during set %1 of %2");
        break;
    }
    return QStringLiteral("Logger download stopped: %1. %2 complete set(s) received.")
        .arg(cause.arg(set).arg(setCount))
        .arg(set - 1);
}

void LoggerDownload::begin(int setCount, quint32 writeAddress)
{
    if (m_state != State::Idle)
        return; // a download is already running
    if (setCount <= 0) {
        Q_EMIT noDataInMemory();
        Q_EMIT finished();
        return;
    }
    // The count is one byte of the signature frame; the tables hold sets 1 to 255.
    m_setCount = std::min(setCount, 255);
    m_set = 0;
    m_overshoots = false;
    m_linkGapMs = 0;
    m_claimedRecordBytes = 0;
    m_liveFrames.reset();
    m_store.BeginLoggerDownload(m_setCount, writeAddress);
    m_ask = Ask::Header;
    askNow();
}

// Works through what has arrived without recursing: a space whose answer comes back at once
// (inside write) only asks for one more round of the loop.
void LoggerDownload::pump()
{
    if (m_pumping) {
        m_pumpAgain = true;
        return;
    }
    m_pumping = true;
    do {
        m_pumpAgain = false;
        step();
    } while (m_pumpAgain);
    m_pumping = false;
}

void LoggerDownload::step()
{
    const bool headerWaitJustOver = std::exchange(m_headerWaitJustOver, false);
    if (m_state != State::HeaderLate && m_state != State::Piece && m_state != State::Settle)
        return; // a header is read only once its 0.2 s are over
    const QByteArray bytes = m_link.bytesAvailable() > 0 ? m_link.readAll() : QByteArray();
    if (endedOnLiveReadings(bytes))
        return;
    switch (m_state) {
    case State::HeaderLate:
        if (!bytes.isEmpty()) {
            m_quietTimer->start(kQuietMs);
            takeHeaderBytes(bytes);
        }
        if (headerWaitJustOver && m_state == State::HeaderLate)
            goOnWithShortHeader();
        return;
    case State::Piece:
        if (!bytes.isEmpty()) {
            m_quietTimer->start(kQuietMs);
            notePieceBytes();
            takePieceBytes(bytes);
        }
        return;
    case State::Settle:
        if (!bytes.isEmpty())
            settleOn(bytes);
        else if (!m_settleTimer->isActive())
            askNow(); // quiet for the settle time
        return;
    default:
        return;
    }
}

void LoggerDownload::headerWaitOver()
{
    if (m_state != State::HeaderWait)
        return;
    m_state = State::HeaderLate;
    m_headerWaitJustOver = true;
    m_quietTimer->start(kQuietMs);
    pump();
}

void LoggerDownload::takeHeaderBytes(const QByteArray& bytes)
{
    m_header += bytes;
    if (m_header.size() < kSetHeaderBytes)
        return;
    if (m_header.size() > kSetHeaderBytes)
        m_overshoots = true; // wait out its surplus from now on
    m_header.truncate(kSetHeaderBytes);
    const int recordBytes = std::max(0, m_store.StoreSetHeader(m_set, m_header));
    if (!headerFits(recordBytes))
        return;
    m_recordBytes = recordBytes;
    m_fetched = 0;
    pieceDone();
}

// The header is short when its wait is over. Once its record count is in, the download goes on
// to the first piece, as the meter expects, and the header's other bytes are taken from the
// front of what arrives next. Without the count (or with no records to ask for) it waits for
// the rest to come by itself.
void LoggerDownload::goOnWithShortHeader()
{
    if (m_header.size() < 2)
        return;
    const qint64 recordBytes
        = qint64(kRecordBytes) * (quint8(m_header.at(0)) * 256 + quint8(m_header.at(1)));
    if (recordBytes == 0 || !headerFits(recordBytes))
        return;
    m_recordBytes = recordBytes;
    m_fetched = 0;
    pieceDone();
}

// Takes what a short header still lacks from the front of bytes; true once it is whole.
static bool CompleteHeader(QByteArray& header, QByteArray& bytes, int headerBytes)
{
    const int owed = headerBytes - static_cast<int>(header.size());
    if (owed <= 0)
        return false;
    header += bytes.left(owed);
    bytes.remove(0, owed);
    return header.size() == headerBytes;
}

void LoggerDownload::takePieceBytes(QByteArray bytes)
{
    // The record count was read from the part of a short header that came first; the pieces
    // keep to it.
    if (CompleteHeader(m_header, bytes, kSetHeaderBytes))
        m_store.StoreSetHeader(m_set, m_header);
    if (bytes.isEmpty() || m_header.size() < kSetHeaderBytes)
        return;
    const int wanted = m_pieceTarget - m_pieceCount;
    if (bytes.size() > wanted) {
        bytes.truncate(wanted);
        m_overshoots = true; // wait out its surplus from now on
    }
    m_pieceCount += static_cast<int>(bytes.size());
    m_store.AppendSetBytes(m_set, bytes);
    if (m_pieceCount < m_pieceTarget)
        return;
    // The latest piece that came in more than one go tells how the link passes bytes on; a
    // hold-up of the meter or the machine in one piece lasts only until the next.
    if (m_pieceDeliveries > 1)
        m_linkGapMs = m_pieceGapMs;
    m_fetched += m_pieceTarget;
    pieceDone();
}

// Bytes while waiting for the line to fall quiet: the rest of a short header is kept, anything
// else is what a reply carried beyond its end.
void LoggerDownload::settleOn(const QByteArray& bytes)
{
    QByteArray rest = bytes;
    if (CompleteHeader(m_header, rest, kSetHeaderBytes))
        m_store.StoreSetHeader(m_set, m_header);
    if (!rest.isEmpty())
        m_overshoots = true; // wait out its surplus from now on
    m_settleTimer->start(settleMs());
}

// Plans the next space once a header or a piece is in: the next piece of the set, else the next
// set's header, else the end of the dump.
void LoggerDownload::pieceDone()
{
    const qint64 remaining = m_recordBytes - m_fetched;
    if (remaining > 0) {
        m_pieceTarget = static_cast<int>(std::min<qint64>(kPieceBytes, remaining));
        askWhenQuiet(Ask::Piece);
        return;
    }
    m_store.AddLoggerSet(m_set);
    askWhenQuiet(m_set < m_setCount ? Ask::Header : Ask::End);
}

void LoggerDownload::askWhenQuiet(Ask ask)
{
    m_ask = ask;
    m_state = State::Settle;
    // The line must fall quiet within the quiet time, however often bytes come.
    m_quietTimer->start(kQuietMs);
    const int settle = ask == Ask::Piece && !m_overshoots ? kPieceSettleMs : settleMs();
    // Without a settle the next round of the loop asks at once, unless bytes are waiting.
    if (settle > 0)
        m_settleTimer->start(settle);
    else
        m_settleTimer->stop();
    m_pumpAgain = true; // bytes may be waiting already
}

int LoggerDownload::settleMs() const
{
    return static_cast<int>(
        std::clamp<qint64>(m_linkGapMs + m_linkGapMs / 2, kSettleMs, kMaxSettleMs));
}

// Bytes of the piece that is coming in: a pause since its earlier bytes is how long the link
// may hold bytes back.
void LoggerDownload::notePieceBytes()
{
    const qint64 now = m_clock.monotonicMs();
    if (m_pieceDeliveries > 0)
        m_pieceGapMs = std::max(m_pieceGapMs, now - m_lastBytesAt);
    ++m_pieceDeliveries;
    m_lastBytesAt = now;
}

void LoggerDownload::askNow()
{
    m_settleTimer->stop();
    switch (m_ask) {
    case Ask::Header:
        ++m_set;
        m_header.clear();
        m_state = State::HeaderWait;
        m_quietTimer->stop();
        sendSpace();
        m_headerTimer->start(kHeaderWaitMs);
        return;
    case Ask::Piece:
        m_pieceCount = 0;
        m_pieceDeliveries = 0;
        m_pieceGapMs = 0;
        m_state = State::Piece;
        m_quietTimer->start(kQuietMs);
        sendSpace();
        m_pumpAgain = true; // the piece may already be waiting
        return;
    case Ask::End:
        sendSpace();
        finish();
        return;
    }
}

void LoggerDownload::sendSpace()
{
    // Nothing was asked for since the last reply: what is waiting belongs to no set.
    if (m_link.bytesAvailable() > 0)
        m_liveFrames.take(m_link.readAll());
    m_link.write(QByteArray(1, ' '));
}

bool LoggerDownload::endedOnLiveReadings(const QByteArray& bytes)
{
    if (!m_liveFrames.take(bytes))
        return false;
    if (m_state == State::Settle && m_ask == Ask::End)
        askNow(); // every set is whole
    else
        stopBroken(brokenSet(), Stop::LiveReadings);
    return true;
}

int LoggerDownload::brokenSet() const
{
    return m_state == State::Settle && m_ask == Ask::Header ? m_set + 1 : m_set;
}

void LoggerDownload::quietTooLong()
{
    switch (m_state) {
    case State::HeaderLate:
    case State::Piece:
        stopBroken(m_set, Stop::Silent);
        return;
    case State::Settle:
        // The line never fell quiet.
        if (m_ask == Ask::End)
            askNow(); // every set is whole
        else
            stopBroken(brokenSet(), Stop::KeptSending);
        return;
    default:
        return;
    }
}

bool LoggerDownload::headerFits(qint64 recordBytes)
{
    m_claimedRecordBytes += recordBytes;
    if (m_claimedRecordBytes <= kCapacityRecordBytes)
        return true;
    stopBroken(m_set, Stop::BeyondCapacity);
    return false;
}

void LoggerDownload::stopBroken(int set, Stop why)
{
    m_headerTimer->stop();
    m_settleTimer->stop();
    m_quietTimer->stop();
    m_state = State::Idle;
    m_store.downloadBroken(set);
    // The acquisition tick ends first; the message comes after, so live readings go on while it
    // is shown.
    Q_EMIT finished();
    Q_EMIT stopped(stoppedMessage(why, set, m_setCount));
}

void LoggerDownload::finish()
{
    m_headerTimer->stop();
    m_settleTimer->stop();
    m_quietTimer->stop();
    m_state = State::Idle;
    Q_EMIT finished();
}
