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

// A meter that answers the k-th space with reply k, at once.
struct ScriptedMeter {
    QList<QByteArray> replies;
    int spaces = 0;
    void attach(FakeSerialLink& link)
    {
        link.onWrite = [this, &link](const QByteArray& bytes) {
            for (char c : bytes) {
                if (c != ' ')
                    continue;
                const int k = spaces++;
                if (k < replies.size() && !replies[k].isEmpty())
                    link.feed(replies[k]);
            }
        };
    }
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
    FakePrompts prompts;
    RecordingStore store;
    ScriptedMeter meter;
    LoggerDownload download { link, clock, store, prompts };
    QSignalSpy finished { &download, &DownloadHook::finished };

    Rig()
    {
        link.open();
        meter.attach(link);
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
        rig.download.begin(counts.size(), 1280 + 8 * counts.size());
        rig.runToEnd();

        QCOMPARE(rig.finished.size(), 1);
        QCOMPARE(rig.link.written, QByteArray(SpacesFor(counts), ' '));
        QStringList expectedCalls {
            QStringLiteral("begin %1 %2").arg(counts.size()).arg(1280 + 8 * counts.size())
        };
        for (int s = 1; s <= counts.size(); ++s) {
            expectedCalls << QStringLiteral("header %1").arg(s) << QStringLiteral("add %1").arg(s);
            QCOMPARE(rig.store.data[s], Header(counts[s - 1]) + Records(s, counts[s - 1]));
        }
        QCOMPARE(rig.store.calls, expectedCalls);
        QVERIFY(rig.prompts.messages.isEmpty());
        QCOMPARE(rig.download.state(), LoggerDownload::State::Idle);
    }

    void emptyLoggerOnlySaysSo()
    {
        Rig rig;
        rig.download.begin(0, 1280);
        QCOMPARE(rig.finished.size(), 1);
        QVERIFY(rig.link.written.isEmpty());
        QVERIFY(rig.store.calls.isEmpty());
        QCOMPARE(rig.prompts.messages.size(), 1);
        QCOMPARE(rig.prompts.messages[0].icon, Prompts::Icon::Information);
        QCOMPARE(rig.prompts.messages[0].text, QStringLiteral("No Data in Memory!"));
    }

    void headerIsTakenAfterItsWait()
    {
        Rig rig;
        rig.meter.replies = Replies({ 33 });
        rig.download.begin(1, 1280 + 8 + 264);
        rig.clock.advance(LoggerDownload::kHeaderWaitMs - 1);
        QCOMPARE(rig.link.written, QByteArray(" "));
        QVERIFY(rig.store.headers.isEmpty());
        rig.clock.advance(1);
        QCOMPARE(rig.store.headers[1], Header(33));
        QCOMPARE(rig.finished.size(), 1);
        QCOMPARE(rig.link.written, QByteArray(4, ' '));
    }

    void slowPieceWithinTheQuietTimeCompletes()
    {
        Rig rig;
        QList<QByteArray> replies = Replies({ 32 });
        const QByteArray piece = replies[1];
        replies[1] = piece.left(64);
        rig.meter.replies = replies;
        rig.download.begin(1, 1280 + 8 + 256);
        rig.clock.advance(200);
        for (int at = 64; at < 256; at += 64) {
            rig.clock.advance(LoggerDownload::kQuietMs - 1);
            rig.link.feed(piece.mid(at, 64));
        }
        QCOMPARE(rig.finished.size(), 1);
        QCOMPARE(rig.store.data[1], Header(32) + piece);
        QVERIFY(rig.prompts.messages.isEmpty());
    }

    void shortHeaderIsCompletedByLaterBytes()
    {
        Rig rig;
        QList<QByteArray> replies = Replies({ 33 });
        replies[0] = Header(33).left(5);
        rig.meter.replies = replies;
        rig.download.begin(1, 1280 + 8 + 264);
        rig.clock.advance(1500);
        QVERIFY(rig.store.headers.isEmpty());
        rig.link.feed(Header(33).mid(5));
        rig.runToEnd();
        QCOMPARE(rig.store.data[1], Header(33) + Records(1, 33));
        QCOMPARE(rig.store.calls.last(), QStringLiteral("add 1"));
        QVERIFY(rig.prompts.messages.isEmpty());
    }

    // The meter goes quiet where the test says: reply `silentReply` is cut to `keep` bytes.
    void meterStopsSending_data()
    {
        QTest::addColumn<QList<int>>("counts");
        QTest::addColumn<int>("silentReply");
        QTest::addColumn<int>("keep");
        QTest::addColumn<int>("brokenSet");
        QTest::addColumn<int>("recordBytesKept");
        QTest::newRow("no header at all") << QList<int> { 32 } << 0 << 0 << 1 << 0;
        QTest::newRow("half a header") << QList<int> { 32 } << 0 << 4 << 1 << 0;
        QTest::newRow("inside a piece") << QList<int> { 70 } << 2 << 100 << 1 << 356;
        QTest::newRow("before a piece") << QList<int> { 70 } << 3 << 0 << 1 << 512;
        QTest::newRow("between sets") << QList<int> { 32, 33 } << 2 << 0 << 2 << 0;
    }
    void meterStopsSending()
    {
        QFETCH(QList<int>, counts);
        QFETCH(int, silentReply);
        QFETCH(int, keep);
        QFETCH(int, brokenSet);
        QFETCH(int, recordBytesKept);
        Rig rig;
        QList<QByteArray> replies = Replies(counts);
        replies[silentReply] = replies[silentReply].left(keep);
        rig.meter.replies = replies.mid(0, silentReply + 1);
        rig.download.begin(counts.size(), 1280 + 2000);

        // Up to the last byte and the quiet time after it, the download waits.
        rig.clock.advance(LoggerDownload::kHeaderWaitMs * brokenSet + LoggerDownload::kQuietMs - 1);
        QVERIFY(rig.finished.isEmpty());
        rig.runToEnd(LoggerDownload::kQuietMs);
        QCOMPARE(rig.finished.size(), 1);

        QCOMPARE(rig.store.calls.last(), QStringLiteral("broken %1").arg(brokenSet));
        for (int s = 1; s < brokenSet; ++s)
            QVERIFY(rig.store.calls.contains(QStringLiteral("add %1").arg(s)));
        QVERIFY(!rig.store.calls.contains(QStringLiteral("add %1").arg(brokenSet)));
        if (rig.store.data.contains(brokenSet))
            QCOMPARE(rig.store.data[brokenSet].size(), 8 + recordBytesKept);
        // Nothing more is asked of a meter that stopped.
        QCOMPARE(rig.link.written.size(), silentReply + 1);
        QCOMPARE(rig.prompts.messages.size(), 1);
        QCOMPARE(rig.prompts.messages[0].icon, Prompts::Icon::Critical);
        QCOMPARE(
            rig.prompts.messages[0].text, LoggerDownload::brokenMessage(brokenSet, counts.size()));
        QVERIFY(rig.prompts.messages[0].text.contains(
            QStringLiteral("%1 complete set(s)").arg(brokenSet - 1)));

        // Bytes that come after the end are left to the acquisition cycle.
        rig.link.feed(QByteArray(300, 'x'));
        QCOMPARE(rig.link.written.size(), silentReply + 1);
    }

    void extraBytesNeverReachAnotherSet_data()
    {
        QTest::addColumn<int>("reply");
        QTest::addColumn<int>("extra");
        // Sets of 32 and 33 records: replies are header 1, piece, header 2, piece, 8 bytes.
        QTest::newRow("long header") << 0 << 5;
        QTest::newRow("long full piece") << 1 << 44;
        QTest::newRow("long second header") << 2 << 300;
        QTest::newRow("long last piece") << 4 << 8;
    }
    void extraBytesNeverReachAnotherSet()
    {
        QFETCH(int, reply);
        QFETCH(int, extra);
        Rig rig;
        QList<QByteArray> replies = Replies({ 32, 33 });
        replies[reply] += QByteArray(extra, char(0xEE));
        rig.meter.replies = replies;
        // Bytes left over from the signature frame come before anything is asked.
        rig.link.feed(QByteArray(7, char(0xAA)));
        rig.download.begin(2, 1280 + 16 + 256 + 264);
        rig.runToEnd();
        QCOMPARE(rig.finished.size(), 1);
        QCOMPARE(rig.store.data[1], Header(32) + Records(1, 32));
        QCOMPARE(rig.store.data[2], Header(33) + Records(2, 33));
        QCOMPARE(rig.link.written, QByteArray(SpacesFor({ 32, 33 }), ' '));
        QVERIFY(rig.prompts.messages.isEmpty());
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
