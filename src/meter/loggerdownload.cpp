#include "loggerdownload.h"

#include "platform/clock.h"
#include "platform/prompts.h"
#include "platform/seriallink.h"

#include <algorithm>

LoggerDownload::LoggerDownload(
    SerialLink& link, Clock& clock, LoggerDownloadStore& store, Prompts& prompts, QObject* parent)
    : DownloadHook(parent)
    , m_link(link)
    , m_clock(clock)
    , m_store(store)
    , m_prompts(prompts)
{
    m_headerTimer = m_clock.createTimer(this);
    m_headerTimer->setSingleShot(true);
    m_quietTimer = m_clock.createTimer(this);
    m_quietTimer->setSingleShot(true);
    connect(m_headerTimer, &Timer::timeout, this, &LoggerDownload::headerWaitOver);
    connect(m_quietTimer, &Timer::timeout, this, &LoggerDownload::quietTooLong);
    connect(&m_link, &SerialLink::readyRead, this, &LoggerDownload::pump);
}

QString LoggerDownload::brokenMessage(int set, int setCount)
{
    return QStringLiteral("Logger download stopped: the meter sent nothing for %1 seconds "
                          "during set %2 of %3. %4 complete set(s) received.")
        .arg(kQuietMs / 1000)
        .arg(set)
        .arg(setCount)
        .arg(set - 1);
}

void LoggerDownload::begin(int setCount, quint32 writeAddress)
{
    if (m_state != State::Idle)
        return; // a download is already running
    if (setCount <= 0) {
        m_prompts.message(
            m_messageParent, Prompts::Icon::Information, QStringLiteral("No Data in Memory!"));
        Q_EMIT finished();
        return;
    }
    // The count is one byte of the signature frame; the tables hold sets 1 to 255.
    m_setCount = std::min(setCount, 255);
    m_set = 0;
    m_store.BeginLoggerDownload(m_setCount, writeAddress);
    startSet();
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
    if (m_state != State::HeaderLate && m_state != State::Piece)
        return; // a header is read only once its 0.2 s are over
    if (m_link.bytesAvailable() <= 0)
        return;
    const QByteArray bytes = m_link.readAll();
    if (bytes.isEmpty())
        return;
    m_quietTimer->start(kQuietMs);
    if (m_state == State::HeaderLate)
        takeHeaderBytes(bytes);
    else
        takePieceBytes(bytes);
}

void LoggerDownload::headerWaitOver()
{
    if (m_state != State::HeaderWait)
        return;
    // From now on the header is taken as soon as its 8 bytes are in, however late they come.
    m_state = State::HeaderLate;
    m_quietTimer->start(kQuietMs);
    pump();
}

void LoggerDownload::takeHeaderBytes(const QByteArray& bytes)
{
    m_header += bytes;
    if (m_header.size() < kHeaderBytes)
        return;
    m_header.truncate(kHeaderBytes);
    m_recordBytes = std::max(0, m_store.StoreSetHeader(m_set, m_header));
    m_fetched = 0;
    requestNextPiece();
}

void LoggerDownload::takePieceBytes(const QByteArray& bytes)
{
    const int wanted = m_pieceTarget - m_pieceCount;
    const QByteArray taken = bytes.size() > wanted ? bytes.left(wanted) : bytes;
    m_pieceCount += static_cast<int>(taken.size());
    m_store.AppendSetBytes(m_set, taken);
    if (m_pieceCount < m_pieceTarget)
        return;
    m_fetched += m_pieceTarget;
    requestNextPiece();
}

void LoggerDownload::requestNextPiece()
{
    const qint64 remaining = m_recordBytes - m_fetched;
    if (remaining <= 0) {
        m_store.AddLoggerSet(m_set);
        startSet();
        return;
    }
    m_pieceTarget = static_cast<int>(std::min<qint64>(kPieceBytes, remaining));
    m_pieceCount = 0;
    m_state = State::Piece;
    m_quietTimer->start(kQuietMs);
    sendSpace();
    m_pumpAgain = true; // the piece may already be waiting
}

void LoggerDownload::startSet()
{
    ++m_set;
    m_quietTimer->stop();
    if (m_set > m_setCount) {
        sendSpace(); // the space that ends the dump
        finish();
        return;
    }
    m_header.clear();
    m_state = State::HeaderWait;
    sendSpace();
    m_headerTimer->start(kHeaderWaitMs);
}

void LoggerDownload::sendSpace()
{
    // Nothing was asked for since the last reply: what is waiting belongs to no set.
    if (m_link.bytesAvailable() > 0)
        m_link.readAll();
    m_link.write(QByteArray(1, ' '));
}

void LoggerDownload::quietTooLong()
{
    if (m_state != State::HeaderLate && m_state != State::Piece)
        return;
    const int set = m_set;
    m_headerTimer->stop();
    m_state = State::Idle;
    m_store.downloadBroken(set);
    m_prompts.message(m_messageParent, Prompts::Icon::Critical, brokenMessage(set, m_setCount));
    Q_EMIT finished();
}

void LoggerDownload::finish()
{
    m_headerTimer->stop();
    m_quietTimer->stop();
    m_state = State::Idle;
    Q_EMIT finished();
}
