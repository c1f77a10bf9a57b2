#include "meter/loggerdownload.h"
#include "support/fakeclock.h"
#include "support/fakes.h"

#include <QSignalSpy>
#include <QtTest>

namespace
{
QByteArray Header(int records, int interval = 60)
{
    QByteArray h(8, '\0');
    h[0] = char(records >> 8);
    h[1] = char(records & 0xFF);
    h[2] = char(0x7E);
    h[3] = char(0x14);
    h[4] = char(0x05);
    h[5] = char(0x00);
    h[6] = char(interval >> 8);
    h[7] = char(interval & 0xFF);
    return h;
}

// Record bytes that differ from set to set and from record to record.
QByteArray Records(int set, int records)
{
    QByteArray bytes;
    for (int i = 0; i < records; ++i)
        for (int k = 0; k < 8; ++k)
            bytes.append(char((set * 37 + i * 8 + k) & 0xFF));
    return bytes;
}

// What the meter answers to each space of a download of these sets: the header, then the
// record bytes in pieces of 256 and a remainder; nothing to the final space.
QList<QByteArray> Replies(const QList<int>& recordCounts)
{
    QList<QByteArray> replies;
    for (int s = 0; s < recordCounts.size(); ++s) {
        replies.append(Header(recordCounts[s]));
        const QByteArray data = Records(s + 1, recordCounts[s]);
        for (int at = 0; at < data.size(); at += 256)
            replies.append(data.mid(at, 256));
    }
    replies.append(QByteArray());
    return replies;
}

// A live reading frame, as a meter that has left its dump sends them.
const QByteArray kLiveFrame = QByteArray::fromHex("0200019f01f400fa03");

// A meter that answers the k-th space with reply k, at once; a tail of a reply can come
// kTailMs later (anything asked meanwhile comes after it), and after one reply the meter can
// babble a byte every kTailMs for ever; from the liveFrom-th space on it can answer nothing and
// send a live frame every kLiveMs. A slow meter sends slowBytes every slowMs instead of whole
// replies.
struct ScriptedMeter {
    static constexpr int kTailMs = 10;
    static constexpr int kLiveMs = 200;
    QList<QByteArray> replies;
    QMap<int, QByteArray> lateTails;
    int babbleAfter = -1;
    int liveFrom = -1;
    int slowBytes = 0;
    int slowMs = 0;
    int spaces = 0;
    QList<qint64> spaceTimes;

    void attach(FakeSerialLink& link, FakeClock& clock)
    {
        Timer* tail = clock.createTimer(nullptr);
        tail->setSingleShot(true);
        Timer* babble = clock.createTimer(nullptr);
        babble->setInterval(kTailMs);
        Timer* live = clock.createTimer(nullptr);
        live->setInterval(kLiveMs);
        Timer* slow = clock.createTimer(nullptr);
        m_timers = { tail, babble, live, slow };
        QObject::connect(tail, &Timer::timeout, [this, &link] { link.feed(m_tail); });
        QObject::connect(babble, &Timer::timeout, [&link] { link.feed(QByteArray(1, 'b')); });
        QObject::connect(live, &Timer::timeout, [&link] { link.feed(kLiveFrame); });
        QObject::connect(slow, &Timer::timeout, [this, &link, slow] {
            link.feed(m_slow.left(slowBytes));
            m_slow.remove(0, slowBytes);
            if (m_slow.isEmpty())
                slow->stop();
        });
        link.onWrite = [this, &link, &clock, tail, babble, live, slow](const QByteArray& bytes) {
            for (char c : bytes) {
                if (c != ' ')
                    continue;
                const int k = spaces++;
                spaceTimes.append(clock.monotonicMs());
                QByteArray reply = k < replies.size() ? replies[k] : QByteArray();
                if (liveFrom >= 0 && k >= liveFrom)
                    reply.clear(); // back to live frames: spaces go unanswered
                if (k == liveFrom)
                    live->start();
                if (slowBytes > 0) {
                    m_slow += reply;
                    if (!slow->isActive())
                        slow->start(slowMs);
                    continue;
                }
                // The meter sends in order: a reply waits behind a tail still on its way.
                if (tail->isActive())
                    m_tail += reply;
                else if (!reply.isEmpty())
                    link.feed(reply);
                if (lateTails.contains(k)) {
                    m_tail = lateTails[k];
                    tail->start(kTailMs);
                }
                if (k == babbleAfter)
                    babble->start();
            }
        };
    }
    ~ScriptedMeter() { qDeleteAll(m_timers); }

private:
    QByteArray m_tail;
    QByteArray m_slow;
    QList<Timer*> m_timers;
};

// Records what the exchange stores, in order.
class RecordingStore final : public LoggerDownloadStore
{
public:
    void BeginLoggerDownload(int setCount, quint32 writeAddress) override
    {
        calls << QStringLiteral("begin %1 %2").arg(setCount).arg(writeAddress);
    }
    int StoreSetHeader(int set, const QByteArray& header) override
    {
        calls << QStringLiteral("header %1").arg(set);
        headers[set] = header;
        data[set] = header;
        return 8 * (quint8(header.at(0)) * 256 + quint8(header.at(1)));
    }
    void AppendSetBytes(int set, const QByteArray& bytes) override { data[set] += bytes; }
    void AddLoggerSet(int set) override { calls << QStringLiteral("add %1").arg(set); }
    void downloadBroken(int set) override { calls << QStringLiteral("broken %1").arg(set); }

    QStringList calls;
    QMap<int, QByteArray> headers;
    QMap<int, QByteArray> data;
};

struct Rig {
    FakeClock clock;
    FakeSerialLink link;
    RecordingStore store;
    ScriptedMeter meter;
    LoggerDownload download { link, clock, store };
    QSignalSpy finished { &download, &DownloadHook::finished };
    QSignalSpy noData { &download, &LoggerDownload::noDataInMemory };
    // What stopped() said, each after finished() (the tick is over when it is shown).
    QStringList stops;
    bool stoppedAfterFinished = true;

    qint64 finishedAt = -1;

    Rig()
    {
        link.open();
        meter.attach(link, clock);
        QObject::connect(
            &download, &DownloadHook::finished, [this] { finishedAt = clock.monotonicMs(); });
        QObject::connect(&download, &LoggerDownload::stopped, [this](const QString& message) {
            stoppedAfterFinished = stoppedAfterFinished && finished.size() == 1;
            stops << message;
        });
    }
    // Lets time pass in small steps until the exchange is over (or a limit is reached).
    void runToEnd(qint64 limitMs = 600000)
    {
        for (qint64 t = 0; t < limitMs && finished.isEmpty(); t += 50)
            clock.advance(50);
    }
};

int SpacesFor(const QList<int>& recordCounts)
{
    int spaces = 1; // the final one
    for (int c : recordCounts)
        spaces += 1 + (8 * c + 255) / 256;
    return spaces;
}
} // namespace

class TestLoggerDownload : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void wholeDownload_data()
    {
        QTest::addColumn<QList<int>>("counts");
        QTest::newRow("0 records") << QList<int> { 0 };
        QTest::newRow("32 records: one full piece") << QList<int> { 32 };
        QTest::newRow("33 records: a piece and 8 bytes") << QList<int> { 33 };
        QTest::newRow("70 records: two pieces and 48 bytes") << QList<int> { 70 };
        QTest::newRow("four sets") << QList<int> { 0, 70, 32, 33 };
        QTest::newRow("a full memory in one set") << QList<int> { 16192 };
    }
    void wholeDownload()
    {
        QFETCH(QList<int>, counts);
        Rig rig;
        rig.meter.replies = Replies(counts);
        // The write address a meter reports: the headers and records of all its sets.
        quint32 address = 1280 + 8 * counts.size();
        for (int c : counts)
            address += 8 * c;
        rig.download.begin(counts.size(), address);
        rig.runToEnd();

        QCOMPARE(rig.finished.size(), 1);
        QCOMPARE(rig.link.written, QByteArray(SpacesFor(counts), ' '));
        QStringList expectedCalls { QStringLiteral("begin %1 %2").arg(counts.size()).arg(address) };
        for (int s = 1; s <= counts.size(); ++s) {
            expectedCalls << QStringLiteral("header %1").arg(s) << QStringLiteral("add %1").arg(s);
            QCOMPARE(rig.store.data[s], Header(counts[s - 1]) + Records(s, counts[s - 1]));
        }
        QCOMPARE(rig.store.calls, expectedCalls);
        QVERIFY(rig.noData.isEmpty());
        QVERIFY(rig.stops.isEmpty());
        QCOMPARE(rig.download.state(), LoggerDownload::State::Idle);
    }

    void emptyLoggerOnlySaysSo()
    {
        Rig rig;
        rig.download.begin(0, 1280);
        QCOMPARE(rig.finished.size(), 1);
        QVERIFY(rig.link.written.isEmpty());
        QVERIFY(rig.store.calls.isEmpty());
        QCOMPARE(rig.noData.size(), 1);
        QVERIFY(rig.stops.isEmpty());
    }

    // The header is read 0.2 s after its space; a piece is asked for after a pause of a few byte
    // times, a set's header and the final space once the line has been quiet for the settle time.
    void spacesFollowTheirWaits()
    {
        Rig rig;
        rig.meter.replies = Replies({ 33, 0 });
        rig.download.begin(2, 1280 + 16 + 264);
        rig.runToEnd();
        QCOMPARE(rig.store.headers[1], Header(33));
        const qint64 h = LoggerDownload::kHeaderWaitMs;
        const qint64 q = LoggerDownload::kSettleMs;
        const qint64 p = LoggerDownload::kPieceSettleMs;
        // Header 1, two pieces, header 2, the final space.
        QCOMPARE(rig.meter.spaceTimes,
            (QList<qint64> { 0, h + p, h + 2 * p, h + 2 * p + q, 2 * h + 2 * p + 2 * q }));
        QCOMPARE(rig.finishedAt, 2 * h + 2 * p + 2 * q);
    }

    void slowPieceWithinTheQuietTimeCompletes()
    {
        Rig rig;
        QList<QByteArray> replies = Replies({ 32 });
        const QByteArray piece = replies[1];
        replies[1] = piece.left(64);
        rig.meter.replies = replies;
        rig.download.begin(1, 1280 + 8 + 256);
        rig.clock.advance(LoggerDownload::kHeaderWaitMs + LoggerDownload::kPieceSettleMs);
        QCOMPARE(rig.meter.spaces, 2);
        for (int at = 64; at < 256; at += 64) {
            rig.clock.advance(LoggerDownload::kQuietMs - 1);
            rig.link.feed(piece.mid(at, 64));
        }
        rig.runToEnd();
        QCOMPARE(rig.store.data[1], Header(32) + piece);
        QVERIFY(rig.noData.isEmpty());
        QVERIFY(rig.stops.isEmpty());
    }

    // A header short at the end of its wait: the rest comes in front of the first piece (the
    // meter holds it back until asked), or by itself later when the count is not yet known or
    // there is no piece to ask for.
    void shortHeaderIsCompleted_data()
    {
        QTest::addColumn<QList<int>>("counts");
        QTest::addColumn<int>("first"); // header bytes there at the end of the wait
        QTest::addColumn<bool>("withPiece"); // the rest comes in front of the first piece
        QTest::newRow("5 bytes, rest with the piece") << QList<int> { 33, 32 } << 5 << true;
        QTest::newRow("2 bytes, rest with the piece") << QList<int> { 70 } << 2 << true;
        QTest::newRow("1 byte, rest later") << QList<int> { 33 } << 1 << false;
        QTest::newRow("no records, rest later") << QList<int> { 0, 32 } << 5 << false;
    }
    void shortHeaderIsCompleted()
    {
        QFETCH(QList<int>, counts);
        QFETCH(int, first);
        QFETCH(bool, withPiece);
        Rig rig;
        QList<QByteArray> replies = Replies(counts);
        const QByteArray rest = replies[0].mid(first);
        replies[0].truncate(first);
        if (withPiece)
            replies[1].prepend(rest);
        rig.meter.replies = replies;
        rig.download.begin(counts.size(), 1280 + 2000);
        if (!withPiece) {
            rig.clock.advance(1500);
            QVERIFY(rig.store.headers.isEmpty());
            QCOMPARE(rig.link.written, QByteArray(" "));
            rig.link.feed(rest);
        }
        rig.runToEnd();
        for (int s = 1; s <= counts.size(); ++s)
            QCOMPARE(rig.store.data[s], Header(counts[s - 1]) + Records(s, counts[s - 1]));
        QCOMPARE(rig.store.calls.last(), QStringLiteral("add %1").arg(counts.size()));
        QCOMPARE(rig.link.written, QByteArray(SpacesFor(counts), ' '));
        QVERIFY(rig.noData.isEmpty());
        QVERIFY(rig.stops.isEmpty());
    }

    // The meter goes quiet where the test says: reply `silentReply` is cut to `keep` bytes. The
    // download ends kQuietMs after the last space, or after the header's wait when a header was
    // due.
    void meterStopsSending_data()
    {
        QTest::addColumn<QList<int>>("counts");
        QTest::addColumn<int>("silentReply");
        QTest::addColumn<int>("keep");
        QTest::addColumn<int>("brokenSet");
        QTest::addColumn<int>("recordBytesKept");
        QTest::addColumn<int>("spaces");
        QTest::addColumn<bool>("headerDue");
        QTest::newRow("no header at all") << QList<int> { 32 } << 0 << 0 << 1 << 0 << 1 << true;
        QTest::newRow("1 byte of a header") << QList<int> { 32 } << 0 << 1 << 1 << 0 << 1 << true;
        // The count is in, so the piece is asked for; nothing comes.
        QTest::newRow("half a header") << QList<int> { 32 } << 0 << 4 << 1 << 0 << 2 << false;
        QTest::newRow("inside a piece") << QList<int> { 70 } << 2 << 100 << 1 << 356 << 3 << false;
        QTest::newRow("before a piece") << QList<int> { 70 } << 3 << 0 << 1 << 512 << 4 << false;
        QTest::newRow("between sets") << QList<int> { 32, 33 } << 2 << 0 << 2 << 0 << 3 << true;
    }
    void meterStopsSending()
    {
        QFETCH(QList<int>, counts);
        QFETCH(int, silentReply);
        QFETCH(int, keep);
        QFETCH(int, brokenSet);
        QFETCH(int, recordBytesKept);
        QFETCH(int, spaces);
        QFETCH(bool, headerDue);
        Rig rig;
        QList<QByteArray> replies = Replies(counts);
        replies[silentReply] = replies[silentReply].left(keep);
        rig.meter.replies = replies.mid(0, silentReply + 1);
        rig.download.begin(counts.size(), 1280 + 2000);
        for (int t = 0; t < 10000 && rig.finished.isEmpty(); ++t)
            rig.clock.advance(1);

        QCOMPARE(rig.finished.size(), 1);
        QCOMPARE(rig.link.written.size(), spaces); // nothing more is asked of a silent meter
        QCOMPARE(rig.finishedAt,
            rig.meter.spaceTimes.last() + LoggerDownload::kQuietMs
                + (headerDue ? LoggerDownload::kHeaderWaitMs : 0));
        QCOMPARE(rig.store.calls.last(), QStringLiteral("broken %1").arg(brokenSet));
        for (int s = 1; s < brokenSet; ++s)
            QVERIFY(rig.store.calls.contains(QStringLiteral("add %1").arg(s)));
        QVERIFY(!rig.store.calls.contains(QStringLiteral("add %1").arg(brokenSet)));
        if (rig.store.data.contains(brokenSet))
            QCOMPARE(rig.store.data[brokenSet].size(), 8 + recordBytesKept);
        QVERIFY(rig.noData.isEmpty());
        QCOMPARE(rig.stops.size(), 1);
        QVERIFY(rig.stoppedAfterFinished);
        QCOMPARE(rig.stops[0], LoggerDownload::brokenMessage(brokenSet, counts.size()));
        QVERIFY(rig.stops[0].contains(QStringLiteral("%1 complete set(s)").arg(brokenSet - 1)));

        // Bytes that come after the end are left to the acquisition cycle.
        rig.link.feed(QByteArray(300, 'x'));
        rig.clock.advance(5000);
        QCOMPARE(rig.link.written.size(), spaces);
    }

    // A meter that keeps talking after the first piece: its bytes fill the set's remaining
    // pieces, but the line never falls quiet before the next set's header, so the download ends
    // there and no byte of it reaches another set.
    void meterThatNeverFallsQuietEndsTheDownload()
    {
        Rig rig;
        rig.meter.replies = Replies({ 70, 32 });
        rig.meter.babbleAfter = 1; // after the first piece
        rig.download.begin(2, 1280 + 16 + 560 + 256);
        rig.runToEnd();
        QCOMPARE(rig.finished.size(), 1);
        QCOMPARE(rig.link.written.size(), 4); // header 1 and its three pieces
        QCOMPARE(rig.finishedAt, rig.meter.spaceTimes.last() + LoggerDownload::kQuietMs);
        QCOMPARE(rig.store.calls.last(), QStringLiteral("broken 2"));
        QVERIFY(rig.store.data[1].startsWith(QByteArray(Header(70) + Records(1, 70).left(256))));
        QCOMPARE(rig.store.data[1].size(), 8 + 560);
        QVERIFY(rig.store.data[2].isEmpty());
        QCOMPARE(rig.stops,
            QStringList {
                LoggerDownload::stoppedMessage(LoggerDownload::Stop::KeptSending, 2, 2) });
    }

    // Headers are held to the meter's capacity, not to the write address: a meter whose address
    // is a little off still gives every set (here the eight sets of a full memory), and the
    // dump ends with its final space.
    void addressSlightlyOffStillDownloadsEverySet_data()
    {
        QTest::addColumn<int>("addressOff");
        QTest::newRow("one byte short") << -1;
        QTest::newRow("without the headers") << -64;
        QTest::newRow("one byte over") << 1;
    }
    void addressSlightlyOffStillDownloadsEverySet()
    {
        QFETCH(int, addressOff);
        const QList<int> counts { 0, 32, 33, 5, 70, 50, 50, 15944 };
        Rig rig;
        rig.meter.replies = Replies(counts);
        rig.download.begin(counts.size(), 1280 + 129536 + addressOff);
        rig.runToEnd();
        QCOMPARE(rig.finished.size(), 1);
        QCOMPARE(rig.store.calls.last(), QStringLiteral("add 8"));
        QCOMPARE(rig.store.data[8], Header(15944) + Records(8, 15944));
        QCOMPARE(rig.link.written, QByteArray(SpacesFor(counts), ' '));
        QVERIFY(rig.stops.isEmpty());
    }

    // A header whose records, with those before it, exceed the capacity is no header: the
    // download ends when it is read and says why.
    void headerBeyondTheCapacityEndsTheDownload_data()
    {
        QTest::addColumn<QList<int>>("counts");
        QTest::addColumn<int>("brokenSet");
        QTest::newRow("one record too many") << QList<int> { 16193 } << 1;
        QTest::newRow("the second set over the rest") << QList<int> { 16000, 193 } << 2;
    }
    void headerBeyondTheCapacityEndsTheDownload()
    {
        QFETCH(QList<int>, counts);
        QFETCH(int, brokenSet);
        Rig rig;
        rig.meter.replies = Replies(counts);
        rig.download.begin(counts.size(), 1280 + 129536);
        rig.runToEnd();
        QCOMPARE(rig.finished.size(), 1);
        QCOMPARE(rig.store.calls.last(), QStringLiteral("broken %1").arg(brokenSet));
        QCOMPARE(rig.store.calls.count(QStringLiteral("add 1")), brokenSet - 1);
        QCOMPARE(rig.finishedAt, rig.meter.spaceTimes.last() + LoggerDownload::kHeaderWaitMs);
        QCOMPARE(rig.stops,
            QStringList { LoggerDownload::stoppedMessage(
                LoggerDownload::Stop::BeyondCapacity, brokenSet, counts.size()) });
        QVERIFY(rig.stoppedAfterFinished);
    }

    // A meter that goes back to live frames during a dump sends them whatever it is asked: the
    // download ends within a few frames, the whole sets before stay, and the frames are left to
    // the acquisition. Sets of 70 and 33 records: header 1 is reply 0, header 2 reply 4.
    void meterBackToLiveReadingsEndsTheDownload_data()
    {
        QTest::addColumn<int>("liveFrom");
        QTest::addColumn<int>("brokenSet");
        QTest::newRow("instead of the first header") << 0 << 1;
        QTest::newRow("instead of a piece") << 2 << 1;
        QTest::newRow("instead of the next set's header") << 4 << 2;
    }
    void meterBackToLiveReadingsEndsTheDownload()
    {
        QFETCH(int, liveFrom);
        QFETCH(int, brokenSet);
        Rig rig;
        rig.meter.replies = Replies({ 70, 33 });
        rig.meter.liveFrom = liveFrom;
        rig.download.begin(2, 1280 + 16 + 560 + 264);
        rig.runToEnd();
        QCOMPARE(rig.finished.size(), 1);
        QCOMPARE(rig.store.calls.last(), QStringLiteral("broken %1").arg(brokenSet));
        if (brokenSet == 2)
            QCOMPARE(rig.store.data[1], Header(70) + Records(1, 70));
        QVERIFY(rig.finishedAt <= rig.meter.spaceTimes[liveFrom]
                + (LiveFrameWatch::kFramesInARow + 1) * ScriptedMeter::kLiveMs);
        QCOMPARE(rig.stops,
            QStringList {
                LoggerDownload::stoppedMessage(LoggerDownload::Stop::LiveReadings, brokenSet, 2) });
        // A live frame taken for a header may ask for one piece; nothing more is asked.
        QVERIFY(rig.link.written.size() <= liveFrom + 2);
    }

    // Records whose bytes happen to hold a few live frames in a row are records.
    void recordsThatLookLikeAFewLiveFramesAreKept()
    {
        Rig rig;
        QList<QByteArray> replies = Replies({ 32 });
        QByteArray piece(256, char(0x10));
        for (int frame = 0; frame < LiveFrameWatch::kFramesInARow - 1; ++frame)
            piece.replace(5 + 9 * frame, 9, kLiveFrame);
        replies[1] = piece;
        rig.meter.replies = replies;
        rig.download.begin(1, 1280 + 8 + 256);
        rig.runToEnd();
        QCOMPARE(rig.store.calls.last(), QStringLiteral("add 1"));
        QCOMPARE(rig.store.data[1], Header(32) + piece);
    }

    // A slow meter that keeps answering (16 bytes every 0.15 s, 150 s for this set) is never cut
    // off, however long the whole download takes.
    void slowMeterIsNeverCutOff()
    {
        Rig rig;
        rig.meter.replies = Replies({ 2000 });
        rig.meter.slowBytes = 16;
        rig.meter.slowMs = 150;
        rig.download.begin(1, 1280 + 8 + 16000);
        rig.runToEnd();
        QCOMPARE(rig.finished.size(), 1);
        QCOMPARE(rig.store.data[1], Header(2000) + Records(1, 2000));
        QCOMPARE(rig.link.written, QByteArray(SpacesFor({ 2000 }), ' '));
        QVERIFY(rig.stops.isEmpty());
        QVERIFY(rig.finishedAt > 16000 / 16 * 150);
    }

    // Bytes that keep coming, never 2 s apart and never the right ones, still end the download:
    // with the header come bytes nobody asked for, and the line never falls quiet after it.
    void aTricklingLineStillEnds()
    {
        Rig rig;
        rig.meter.replies = { Header(100) }; // then nothing but a byte every 10 ms
        rig.meter.babbleAfter = 0;
        rig.download.begin(1, 1280 + 8 + 800);
        rig.runToEnd();
        QCOMPARE(rig.finished.size(), 1);
        QCOMPARE(rig.store.calls.last(), QStringLiteral("broken 1"));
        QCOMPARE(rig.finishedAt, LoggerDownload::kHeaderWaitMs + LoggerDownload::kQuietMs);
        QCOMPARE(rig.stops,
            QStringList {
                LoggerDownload::stoppedMessage(LoggerDownload::Stop::KeptSending, 1, 1) });
    }

    // A write address far beyond any memory (the largest the call takes) does not cut the
    // download short.
    void anAddressBeyondAnyMemoryStillDownloads()
    {
        Rig rig;
        rig.meter.replies = Replies({ 3 });
        rig.download.begin(1, 0xFFFFFFFFu);
        rig.runToEnd();
        QCOMPARE(rig.finished.size(), 1);
        QCOMPARE(rig.store.calls.last(), QStringLiteral("add 1"));
        QVERIFY(rig.noData.isEmpty());
        QVERIFY(rig.stops.isEmpty());
    }

    void extraBytesNeverReachAnotherSet_data()
    {
        QTest::addColumn<int>("reply");
        QTest::addColumn<int>("extra");
        QTest::addColumn<bool>("late"); // the extra bytes come after the reply, not with it
        QTest::addColumn<bool>("following"); // they are the bytes that follow in memory, not junk
        // Sets of 70 and 33 records: replies are header 1, three pieces (256, 256, 48), header 2,
        // two pieces (256, 8).
        QTest::newRow("long header") << 0 << 5 << false << false;
        QTest::newRow("long full piece") << 1 << 44 << false << true;
        QTest::newRow("long second header") << 4 << 300 << false << false;
        QTest::newRow("long last piece") << 6 << 8 << false << false;
        QTest::newRow("first piece, following bytes later") << 1 << 40 << true << true;
        QTest::newRow("middle piece, junk later") << 2 << 30 << true << false;
        QTest::newRow("last piece of a set, following bytes later") << 3 << 16 << true << true;
        QTest::newRow("second header, junk later") << 4 << 16 << true << false;
    }
    void extraBytesNeverReachAnotherSet()
    {
        QFETCH(int, reply);
        QFETCH(int, extra);
        QFETCH(bool, late);
        QFETCH(bool, following);
        Rig rig;
        const QList<int> counts { 70, 33 };
        QList<QByteArray> replies = Replies(counts);
        QByteArray surplus(extra, char(0xEE));
        if (following) { // what a meter that reads on sends
            surplus = replies.mid(reply + 1).join() + QByteArray(extra, char(0xFF));
            surplus.truncate(extra);
        }
        if (late)
            rig.meter.lateTails[reply] = surplus;
        else
            replies[reply] += surplus;
        rig.meter.replies = replies;
        // Bytes left over from the signature frame come before anything is asked.
        rig.link.feed(QByteArray(7, char(0xAA)));
        rig.download.begin(2, 1280 + 16 + 560 + 264);
        rig.runToEnd();
        QCOMPARE(rig.finished.size(), 1);
        // Bytes that come late inside a set, after its next piece was asked for, cannot be told
        // from that piece: they may shift the set's own records, never another set's.
        const bool lateWithinSet = late && (reply == 1 || reply == 2);
        if (lateWithinSet)
            QCOMPARE(rig.store.data[1].size(), 8 + 560);
        else
            QCOMPARE(rig.store.data[1], Header(70) + Records(1, 70));
        QCOMPARE(rig.store.data[2], Header(33) + Records(2, 33));
        QCOMPARE(rig.link.written, QByteArray(SpacesFor(counts), ' '));
        QVERIFY(rig.noData.isEmpty());
        QVERIFY(rig.stops.isEmpty());
    }

    // Bytes beyond a reply come as late as the link passes bytes on: in packets 16 ms apart
    // through a USB adapter, longer on a slow line. The settle before the next set's header
    // follows the pauses seen within the pieces, so such bytes still never reach another set.
    void extraBytesAfterASlowLinkNeverReachAnotherSet_data()
    {
        QTest::addColumn<int>("packetBytes");
        QTest::addColumn<int>("packetMs");
        QTest::newRow("USB adapter, 64 bytes every 16 ms") << 64 << 16;
        QTest::newRow("slow meter, 16 bytes every 0.15 s") << 16 << 150;
    }
    void extraBytesAfterASlowLinkNeverReachAnotherSet()
    {
        QFETCH(int, packetBytes);
        QFETCH(int, packetMs);
        Rig rig;
        const QList<int> counts { 32, 5 };
        QList<QByteArray> replies = Replies(counts);
        // The set's only piece ends with a packet; the junk comes one packet later.
        replies[1] += QByteArray(packetBytes, char(0xEE));
        rig.meter.replies = replies;
        rig.meter.slowBytes = packetBytes;
        rig.meter.slowMs = packetMs;
        rig.download.begin(2, 1280 + 16 + 296);
        rig.runToEnd();
        QCOMPARE(rig.store.data[1], Header(32) + Records(1, 32));
        QCOMPARE(rig.store.data[2], Header(5) + Records(2, 5));
        QCOMPARE(rig.link.written, QByteArray(SpacesFor(counts), ' '));
        QVERIFY(rig.stops.isEmpty());
    }

    void secondBeginWhileRunningIsIgnored()
    {
        Rig rig;
        rig.meter.replies = Replies({ 32 });
        rig.download.begin(1, 1280 + 8 + 256);
        rig.download.begin(5, 1280);
        rig.runToEnd();
        QCOMPARE(rig.store.calls.count(QStringLiteral("begin 1 1544")), 1);
        QCOMPARE(rig.store.calls.size(), 3);
        QCOMPARE(rig.finished.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestLoggerDownload)
#include "test_loggerdownload.moc"
