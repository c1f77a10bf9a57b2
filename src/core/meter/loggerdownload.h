#pragma once

#include "downloadhook.h"
#include "liveframewatch.h"
#include "protocol.h"

#include <QByteArray>
#include <QString>

class Clock;
class SerialLink;
class Timer;

// Where the sets of a logger download go. Calls arrive in this order: BeginLoggerDownload once,
// then for each set StoreSetHeader, AppendSetBytes for every piece and AddLoggerSet when the set
// is whole; downloadBroken instead of AddLoggerSet when the meter stops sending.
class LoggerDownloadStore
{
public:
    virtual ~LoggerDownloadStore() = default;
    virtual void BeginLoggerDownload(int setCount, quint32 writeAddress) = 0;
    // Returns the number of record bytes to fetch for the set (8 per record).
    virtual int StoreSetHeader(int set, const QByteArray& header) = 0;
    virtual void AppendSetBytes(int set, const QByteArray& bytes) = 0;
    virtual void AddLoggerSet(int set) = 0;
    // The download ended inside set `set`; sets before it arrived whole, this one did not.
    virtual void downloadBroken(int set) = 0;
};

// The exchange that fetches the logger's sets once the meter has sent its signature frame. For
// each set the program sends one space, waits 0.2 s and takes the 8-byte set header, then sends
// one space per piece of record bytes (256 bytes, the remainder last) and collects each piece as
// it arrives; one more space ends the dump. Every wait is a timer or a readyRead, so other
// windows and timers run meanwhile.
//
// The meter answers only when asked. So before a set's header and before the final space the
// line must have been quiet for the settle time: bytes that come after a reply is complete, or
// that wait before a space is sent, belong to no set and are dropped, and one set's bytes never
// reach another (a meter that reads on past the end of a piece sends those bytes again with the
// next one). Within a set, while the meter sends exactly what it is asked for, the next piece is
// asked for as soon as the last one is in; once it has sent more than asked, every piece waits
// the settle time too. A header that is short after 0.2 s is completed from the bytes that
// follow: once its record count is in, the first piece is asked for and the header's missing
// bytes are taken from its front (the meter sends them there); otherwise the rest is awaited.
//
// Every reply is held to a quiet time: when a header or a piece is due and no byte arrives for
// kQuietMs, or the line will not fall quiet for that long once a reply is complete, the download
// ends. So a meter that keeps answering, however slowly, is never cut off, and a silent one
// never holds the acquisition. Set headers are checked against the meter's capacity (129,536
// record bytes over all sets), not against the write address, which a meter may report a little
// off. A meter that goes back to live readings in the middle of a dump ends it too. When the
// download ends early the sets that arrived whole stay, the broken one is reported to the store,
// nothing more is sent, and stopped() says what happened once the download is over.
class LoggerDownload final : public DownloadHook
{
    Q_OBJECT
public:
    static constexpr int kHeaderWaitMs = 200;
    // The settle time: how long the line must be quiet before the next space, so that the bytes
    // still on their way after a reply are noticed. The meter sends a reply back to back, a byte
    // every 0.35 ms, so what it sends beyond the end follows the last byte asked for as closely as
    // the link passes bytes on: at once through a pseudo-terminal or a serial port's own driver,
    // in packets up to 16 ms apart through a USB adapter. The settle is therefore the longest
    // pause between the bytes of the latest piece, half as long again, and at least kSettleMs,
    // which covers the hold-ups a busy machine puts between two deliveries (up to about 10 ms);
    // at most kMaxSettleMs, well below the quiet time, so a slow meter's line can still settle.
    static constexpr int kSettleMs = 12;
    static constexpr int kMaxSettleMs = 250;
    // The pause before the next piece of a set while the meter sends exactly what it is asked for:
    // none, so a full memory from a meter that behaves comes in at the speed of the wire.
    static constexpr int kPieceSettleMs = 0;
    static constexpr int kQuietMs = 2000;
    // The record bytes the logger memory holds at most, over all sets.
    static constexpr qint64 kCapacityRecordBytes = kLoggerCapacityBytes;
    static constexpr int kPieceBytes = 256;

    enum class State { Idle, HeaderWait, HeaderLate, Piece, Settle };

    LoggerDownload(
        SerialLink& link, Clock& clock, LoggerDownloadStore& store, QObject* parent = nullptr);

    // What the user is told when the meter's memory holds no set.
    static QString noDataMessage() { return QStringLiteral("No Data in Memory!"); }

    void begin(int setCount, quint32 writeAddress) override;

    State state() const { return m_state; }
    // The settle time this download uses now (see kSettleMs).
    int settleMs() const;

    // Why a download ended before its last set.
    enum class Stop {
        Silent, // no byte for the quiet time while a reply was due
        KeptSending, // the line never fell quiet after a reply
        BeyondCapacity, // a set header claims more records than the memory holds
        LiveReadings, // the meter went back to its live reading frames
    };
    // The message for a download that ended during set `set` of `setCount`.
    static QString stoppedMessage(Stop why, int set, int setCount);
    // The message when the meter stops answering during set `set` of `setCount`.
    static QString brokenMessage(int set, int setCount)
    {
        return stoppedMessage(Stop::Silent, set, setCount);
    }

Q_SIGNALS:
    // The download ended early; emitted after finished(), so the acquisition tick is over when
    // the message is shown.
    void stopped(const QString& message);
    // The meter's memory holds no set: nothing is asked for. Emitted before finished(), inside
    // the tick that heard the dump, so the user reads it before live readings go on.
    void noDataInMemory();

private:
    // What the next space asks for.
    enum class Ask { Header, Piece, End };

    void pump();
    void step();
    void headerWaitOver();
    void takeHeaderBytes(const QByteArray& bytes);
    void notePieceBytes();
    void takePieceBytes(QByteArray bytes);
    void settleOn(const QByteArray& bytes);
    void goOnWithShortHeader();
    void pieceDone();
    void askWhenQuiet(Ask ask);
    void askNow();
    void sendSpace();
    void quietTooLong();
    // A set header whose records, with those of the sets before it, do not fit the memory ends
    // the download: it is not a header (bytes were lost, or the meter sends something else).
    bool headerFits(qint64 recordBytes);
    // Takes bytes off the line into the live-frame watch; true when the download ended on it.
    bool endedOnLiveReadings(const QByteArray& bytes);
    // The set a download that ends now breaks in: the next one once a set is whole and its
    // header is due.
    int brokenSet() const;
    void stopBroken(int set, Stop why);
    void finish();

    SerialLink& m_link;
    Clock& m_clock;
    LoggerDownloadStore& m_store;
    Timer* m_headerTimer = nullptr;
    Timer* m_settleTimer = nullptr;
    Timer* m_quietTimer = nullptr;
    LiveFrameWatch m_liveFrames;
    // Record bytes the headers so far have claimed.
    qint64 m_claimedRecordBytes = 0;
    // The meter has sent more than it was asked for: every piece waits the settle time.
    bool m_overshoots = false;
    // The longest pause between two deliveries of bytes within the latest piece that came in more
    // than one; the same for the piece coming in, its deliveries so far and when the last came.
    qint64 m_linkGapMs = 0;
    qint64 m_pieceGapMs = 0;
    int m_pieceDeliveries = 0;
    qint64 m_lastBytesAt = 0;

    State m_state = State::Idle;
    Ask m_ask = Ask::Header;
    int m_setCount = 0;
    int m_set = 0;
    QByteArray m_header;
    qint64 m_recordBytes = 0; // R of the current set
    qint64 m_fetched = 0; // record bytes of the current set in completed pieces
    int m_pieceTarget = 0; // bytes the current piece should hold
    int m_pieceCount = 0; // bytes of the current piece so far
    bool m_headerWaitJustOver = false;
    bool m_pumping = false;
    bool m_pumpAgain = false;
};
