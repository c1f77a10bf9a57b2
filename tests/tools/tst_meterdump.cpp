// The virtual meter's dump exchange, driven without a pseudo-terminal: the session is given
// times and spaces and its output is collected. Also the pacing arithmetic.
#include "dumpsession.h"
#include "loggerimage.h"
#include "pacer.h"

#include <QTest>

namespace
{

LoggerImage imageOf(const QStringList& sets)
{
    std::vector<LoggerSetPlan> plans;
    for (const QString& text : sets) {
        LoggerSetPlan plan;
        QString error;
        if (!LoggerSetPlan::parse(text, &plan, &error))
            qFatal("%s", qPrintable(error));
        plans.push_back(plan);
    }
    LoggerImage image;
    QString error;
    if (!image.build(plans, 17, &error))
        qFatal("%s", qPrintable(error));
    return image;
}

// Starts a dump at time 0 and runs it to the signature.
QByteArray startAndTakeSignature(
    DumpSession& session, const LoggerImage& image, const DumpFaults& faults)
{
    session.start(image, faults, 0);
    session.advance(DumpSession::kGapMs);
    return session.takeOutput();
}

const QByteArray kSpace(1, ' ');

} // namespace

class TestMeterDump : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void answersEachSpaceWithTheNextPiece_data();
    void answersEachSpaceWithTheNextPiece();
    void piecesRebuildTheMemoryImage_data();
    void piecesRebuildTheMemoryImage();
    void gapThenSignature();
    void emptyLoggerSendsOnlyTheSignature();
    void unansweredSignatureIsRepeatedThenGivenUp();
    void programThatStopsAskingEndsTheDump_data();
    void programThatStopsAskingEndsTheDump();
    void onlySpacesCount();
    void overshootCarriesTheFollowingBytes();
    void abortEndsAtOnce();

    void bytesDueAfter_data();
    void bytesDueAfter();
    void longSpellKeepsTheExactAverage();
    void idleLineStartsAFreshSpell();
    void lastQueuedByteIsDueWhenTheWireEndsIt_data();
    void lastQueuedByteIsDueWhenTheWireEndsIt();
    void blockedLineDoesNotBurstLater();
    void unpacedSendsEverything();
};

void TestMeterDump::answersEachSpaceWithTheNextPiece_data()
{
    QTest::addColumn<QStringList>("sets");
    QTest::addColumn<int>("stopAfter");
    QTest::addColumn<int>("overshoot");
    QTest::addColumn<bool>("shortHeader");
    QTest::addColumn<QList<int>>("replies"); // lengths, the last one answering the final space
    QTest::addColumn<bool>("completes");

    QTest::newRow("70 records: two full pieces and 48")
        << QStringList { "70" } << -1 << 0 << false << QList<int> { 8, 256, 256, 48, 0 } << true;
    QTest::newRow("32 records: no remainder")
        << QStringList { "32" } << -1 << 0 << false << QList<int> { 8, 256, 0 } << true;
    QTest::newRow("33 records: remainder of 8")
        << QStringList { "33" } << -1 << 0 << false << QList<int> { 8, 256, 8, 0 } << true;
    QTest::newRow("empty set then 5 records")
        << QStringList { "0", "5" } << -1 << 0 << false << QList<int> { 8, 8, 40, 0 } << true;
    QTest::newRow("short header") << QStringList { "70" } << -1 << 0 << true
                                  << QList<int> { 5, 259, 256, 48, 0 } << true;
    QTest::newRow("short header of an empty set")
        << QStringList { "0" } << -1 << 0 << true << QList<int> { 5, 3 } << true;
    QTest::newRow("overshoot 10") << QStringList { "70" } << -1 << 10 << false
                                  << QList<int> { 8, 266, 256, 48, 0 } << true;
    QTest::newRow("overshoot lands on the first set with records")
        << QStringList { "0", "5" } << -1 << 3 << false << QList<int> { 8, 8, 43, 0 } << true;
    QTest::newRow("overshoot without records: the header")
        << QStringList { "0" } << -1 << 4 << false << QList<int> { 12, 0 } << true;
    QTest::newRow("stop inside a piece")
        << QStringList { "70" } << 300 << 0 << false << QList<int> { 8, 256, 36 } << false;
    QTest::newRow("stop on a piece boundary")
        << QStringList { "70" } << 264 << 0 << false << QList<int> { 8, 256 } << false;
    QTest::newRow("stop inside the header")
        << QStringList { "70" } << 3 << 0 << false << QList<int> { 3 } << false;
    QTest::newRow("stop before the first byte")
        << QStringList { "70" } << 0 << 0 << false << QList<int> {} << false;
    QTest::newRow("stop at the very end is no fault")
        << QStringList { "70" } << 568 << 0 << false << QList<int> { 8, 256, 256, 48, 0 } << true;
    QTest::newRow("stop past the end") << QStringList { "70" } << 100000 << 0 << false
                                       << QList<int> { 8, 256, 256, 48, 0 } << true;
}

void TestMeterDump::answersEachSpaceWithTheNextPiece()
{
    QFETCH(QStringList, sets);
    QFETCH(int, stopAfter);
    QFETCH(int, overshoot);
    QFETCH(bool, shortHeader);
    QFETCH(QList<int>, replies);
    QFETCH(bool, completes);

    const LoggerImage image = imageOf(sets);
    DumpFaults faults;
    faults.stopAfter = stopAfter;
    faults.overshoot = overshoot;
    faults.shortHeader = shortHeader;
    faults.quietMs = 3000;
    DumpSession session;
    QCOMPARE(startAndTakeSignature(session, image, faults), image.signature());

    qint64 now = DumpSession::kGapMs;
    QList<int> got;
    for (int i = 0; i < replies.size(); ++i) {
        now += 200;
        session.receive(kSpace, now);
        got << int(session.takeOutput().size());
    }
    QCOMPARE(got, replies);

    if (completes) {
        QVERIFY(!session.isActive());
        QVERIFY(session.completed());
        return;
    }
    // Stopped: further spaces get nothing, and live frames resume after the quiet.
    QCOMPARE(session.state(), DumpSession::State::Quiet);
    const qint64 stoppedAt = now; // the last reply, or the signature when nothing was sent
    session.receive(kSpace, now + 100);
    QVERIFY(session.takeOutput().isEmpty());
    session.advance(stoppedAt + faults.quietMs - 1);
    QVERIFY(session.isActive());
    session.advance(stoppedAt + faults.quietMs);
    QVERIFY(!session.isActive());
    QVERIFY(!session.completed());
    QCOMPARE(session.dumpBytesSent(), qint64(stopAfter));
}

void TestMeterDump::piecesRebuildTheMemoryImage_data()
{
    QTest::addColumn<bool>("fullMemory");
    QTest::addColumn<bool>("shortHeader");
    QTest::addColumn<int>("spaces");
    // Headers and pieces of 70, 0, 5 and 33 records, then the final space.
    QTest::newRow("default sets") << false << false << 4 + 1 + 2 + 3 + 1;
    QTest::newRow("default sets, short header") << false << true << 4 + 1 + 2 + 3 + 1;
    // 8 headers, 0 + 1 + 2 + 1 + 3 + 2 + 2 + 499 record pieces, the final space.
    QTest::newRow("full memory") << true << false << 8 + 510 + 1;
}

void TestMeterDump::piecesRebuildTheMemoryImage()
{
    QFETCH(bool, fullMemory);
    QFETCH(bool, shortHeader);
    QFETCH(int, spaces);
    LoggerImage image;
    QString error;
    QVERIFY(image.build(
        fullMemory ? LoggerImage::fullMemoryLayout() : LoggerImage::defaultLayout(), 4, &error));
    DumpFaults faults;
    faults.shortHeader = shortHeader;
    DumpSession session;
    startAndTakeSignature(session, image, faults);

    QByteArray received;
    int asked = 0;
    qint64 now = DumpSession::kGapMs;
    while (session.isActive() && asked < 100000) {
        session.receive(kSpace, ++now);
        received += session.takeOutput();
        ++asked;
    }
    QCOMPARE(asked, spaces);
    QVERIFY(session.completed());
    QCOMPARE(received.size(), image.bytes().size());
    QVERIFY(received == image.bytes());
}

void TestMeterDump::gapThenSignature()
{
    const LoggerImage image = imageOf({ QStringLiteral("3") });
    DumpSession session;
    session.start(image, DumpFaults(), 1000);
    QCOMPARE(session.state(), DumpSession::State::Gap);
    QCOMPARE(session.nextDeadlineMs(), 1000 + DumpSession::kGapMs);
    session.receive(kSpace, 2000); // spaces before the signature mean nothing
    session.advance(1000 + DumpSession::kGapMs - 1);
    QVERIFY(session.takeOutput().isEmpty());
    session.advance(1000 + DumpSession::kGapMs);
    QCOMPARE(session.takeOutput().toHex(' '),
        QByteArray("aa 55 aa 55 aa 55 aa 55 aa 55 aa 01 00 05 20"));
    QCOMPARE(session.state(), DumpSession::State::AwaitSpace);
    QCOMPARE(session.nextDeadlineMs(), 1000 + DumpSession::kGapMs + DumpSession::kAnswerTimeoutMs);
}

void TestMeterDump::emptyLoggerSendsOnlyTheSignature()
{
    const LoggerImage image = imageOf({});
    DumpFaults faults;
    faults.shortHeader = true;
    faults.overshoot = 5;
    faults.stopAfter = 0;
    DumpSession session;
    QCOMPARE(startAndTakeSignature(session, image, faults).toHex(' '),
        QByteArray("aa 55 aa 55 aa 55 aa 55 aa 55 aa 00 00 05 00"));
    QVERIFY(!session.isActive());
    QVERIFY(session.completed());
    session.receive(kSpace, 3000);
    QVERIFY(session.takeOutput().isEmpty());
}

void TestMeterDump::unansweredSignatureIsRepeatedThenGivenUp()
{
    const LoggerImage image = imageOf({ QStringLiteral("1") });
    DumpSession session;
    session.start(image, DumpFaults(), 0);
    QList<qint64> signatureTimes;
    // Step through time as a host timer would, firing at each deadline.
    for (int guard = 0; guard < 20 && session.isActive(); ++guard) {
        const qint64 at = session.nextDeadlineMs();
        session.advance(at);
        if (!session.takeOutput().isEmpty())
            signatureTimes << at;
        if (session.state() == DumpSession::State::Gap)
            session.receive(kSpace, at + 100); // too early: ignored, the gap goes on
    }
    const qint64 gap = DumpSession::kGapMs, wait = DumpSession::kAnswerTimeoutMs;
    QCOMPARE(signatureTimes,
        (QList<qint64> { gap, 2 * gap + wait, 3 * gap + 2 * wait, 4 * gap + 3 * wait }));
    QCOMPARE(session.signaturesSent(), 1 + DumpSession::kSignatureRepeats);
    QVERIFY(!session.isActive());
    QVERIFY(!session.completed());
}

void TestMeterDump::programThatStopsAskingEndsTheDump_data()
{
    QTest::addColumn<int>("spaces");
    QTest::newRow("after the header") << 1;
    QTest::newRow("in the middle") << 2;
    QTest::newRow("no final space") << 4;
}

void TestMeterDump::programThatStopsAskingEndsTheDump()
{
    QFETCH(int, spaces);
    const LoggerImage image = imageOf({ QStringLiteral("70") });
    DumpSession session;
    startAndTakeSignature(session, image, DumpFaults());
    qint64 now = DumpSession::kGapMs;
    for (int i = 0; i < spaces; ++i)
        session.receive(kSpace, now += 50);
    QVERIFY(!session.takeOutput().isEmpty());
    session.advance(now + DumpSession::kAnswerTimeoutMs - 1);
    QVERIFY(session.isActive());
    session.advance(now + DumpSession::kAnswerTimeoutMs);
    QVERIFY(!session.isActive());
    QVERIFY(!session.completed());
    QCOMPARE(session.signaturesSent(), 1);
}

void TestMeterDump::onlySpacesCount()
{
    const LoggerImage image = imageOf({ QStringLiteral("70") });
    DumpSession session;
    startAndTakeSignature(session, image, DumpFaults());
    session.receive(QByteArray("x\r\n\0\xAA", 5), 3000);
    QVERIFY(session.takeOutput().isEmpty());
    session.receive(QByteArray("ab "), 3100);
    QCOMPARE(session.takeOutput().size(), 8);
    // Two spaces in one read get two pieces, in order.
    session.receive(QByteArray("  "), 3200);
    QCOMPARE(session.takeOutput(), image.bytes().mid(8, 512));
}

void TestMeterDump::overshootCarriesTheFollowingBytes()
{
    const LoggerImage image = imageOf({ QStringLiteral("33"), QStringLiteral("2") });
    DumpFaults faults;
    faults.overshoot = 20;
    DumpSession session;
    startAndTakeSignature(session, image, faults);
    QList<QByteArray> replies;
    for (qint64 now = 3000; session.isActive(); now += 10) {
        session.receive(kSpace, now);
        replies << session.takeOutput();
    }
    const QByteArray& bytes = image.bytes();
    QCOMPARE(replies.size(), 6);
    QCOMPARE(replies[1], bytes.mid(8, 276)); // the piece and the 20 bytes after it
    QCOMPARE(replies[2], bytes.mid(264, 8)); // the meter carries on where the piece ended
    QCOMPARE(replies[3], bytes.mid(272, 8));
    QCOMPARE(replies[4], bytes.mid(280, 16));

    // Past the end of the used memory the meter reads erased bytes.
    const LoggerImage small = imageOf({ QStringLiteral("1") });
    DumpSession tail;
    startAndTakeSignature(tail, small, faults);
    tail.receive(QByteArray("  "), 3000);
    QCOMPARE(tail.takeOutput(), small.bytes() + QByteArray(20, char(0xFF)));
}

void TestMeterDump::abortEndsAtOnce()
{
    const LoggerImage image = imageOf({ QStringLiteral("70") });
    DumpSession session;
    startAndTakeSignature(session, image, DumpFaults());
    session.receive(kSpace, 3000);
    session.takeOutput();
    session.abort();
    QVERIFY(!session.isActive());
    QCOMPARE(session.nextDeadlineMs(), -1);
    session.receive(kSpace, 3100);
    QVERIFY(session.takeOutput().isEmpty());
}

void TestMeterDump::bytesDueAfter_data()
{
    QTest::addColumn<qint64>("elapsedUs");
    QTest::addColumn<qint64>("bytes");
    QTest::newRow("start") << qint64(0) << qint64(0);
    QTest::newRow("before the first byte ends") << qint64(347) << qint64(0);
    QTest::newRow("first byte") << qint64(348) << qint64(1);
    QTest::newRow("1 ms") << qint64(1000) << qint64(2);
    QTest::newRow("a 256-byte piece, 88.9 ms") << qint64(88889) << qint64(256);
    QTest::newRow("1 s") << qint64(1000000) << qint64(2880);
    QTest::newRow("full memory, 44.978 s") << qint64(44977778) << qint64(129536);
    QTest::newRow("an hour") << qint64(3600) * 1000000 << qint64(10368000);
}

void TestMeterDump::bytesDueAfter()
{
    QFETCH(qint64, elapsedUs);
    QFETCH(qint64, bytes);
    QCOMPARE(Pacer::bytesDueAfter(elapsedUs, Pacer::kWireBytesPerSecond), bytes);
}

void TestMeterDump::longSpellKeepsTheExactAverage()
{
    Pacer pacer;
    const int total = 129536 + 15;
    pacer.enqueue(QByteArray(total, 'x'), 1000);
    qint64 sent = 0;
    qint64 now = 1000;
    int step = 0;
    while (!pacer.isEmpty()) {
        now += 1500 + (step++ * 7919) % 3500; // uneven ticks of 1.5 to 5 ms
        const QByteArray chunk = pacer.due(now);
        pacer.consumed(int(chunk.size()), int(chunk.size()), now);
        sent += chunk.size();
        QCOMPARE(sent, qMin<qint64>(total, Pacer::bytesDueAfter(now - 1000, 2880)));
    }
    // The last byte goes out within one tick of its due time, whatever the tick pattern.
    const qint64 dueUs = (qint64(total) * 1000000 + 2879) / 2880;
    QVERIFY2(now - 1000 >= dueUs && now - 1000 < dueUs + 5000, qPrintable(QString::number(now)));
}

void TestMeterDump::idleLineStartsAFreshSpell()
{
    Pacer pacer;
    pacer.enqueue(QByteArray(9, 'a'), 0);
    const QByteArray first = pacer.due(10000);
    QCOMPARE(first.size(), 9);
    pacer.consumed(9, 9, 10000);
    QVERIFY(pacer.isEmpty());
    QCOMPARE(pacer.nextDueUs(), -1);
    // Half a second idle earns no credit: the next frame is paced from when it is queued.
    pacer.enqueue(QByteArray(9, 'b'), 500000);
    QCOMPARE(pacer.nextDueUs(), 500000 + 348);
    QVERIFY(pacer.due(500000).isEmpty());
    QCOMPARE(pacer.due(500000 + 1000).size(), 2);
    QCOMPARE(pacer.due(500000 + 3125).size(), 9);
}

void TestMeterDump::lastQueuedByteIsDueWhenTheWireEndsIt_data()
{
    QTest::addColumn<int>("bytes");
    QTest::addColumn<qint64>("tickUs"); // a tick that lets out what is due by then; 0: none
    QTest::addColumn<qint64>("lastDueUs");
    QTest::newRow("set header, 2.778 ms") << 8 << qint64(0) << qint64(1000 + 2778);
    QTest::newRow("piece, 88.889 ms") << 256 << qint64(0) << qint64(1000 + 88889);
    QTest::newRow("piece, half of it sent") << 256 << qint64(1000 + 44445) << qint64(1000 + 88889);
    QTest::newRow("nothing queued") << 0 << qint64(0) << qint64(-1);
}

void TestMeterDump::lastQueuedByteIsDueWhenTheWireEndsIt()
{
    QFETCH(int, bytes);
    QFETCH(qint64, tickUs);
    QFETCH(qint64, lastDueUs);
    Pacer pacer;
    pacer.enqueue(QByteArray(bytes, 'p'), 1000);
    if (tickUs > 0) {
        const QByteArray chunk = pacer.due(tickUs);
        pacer.consumed(int(chunk.size()), int(chunk.size()), tickUs);
    }
    QCOMPARE(pacer.lastDueUs(), lastDueUs);
    if (lastDueUs < 0)
        return;
    // The last byte is not out a microsecond before, and everything is at that time.
    QCOMPARE(pacer.due(lastDueUs - 1).size(), pacer.pending() - 1);
    QCOMPARE(pacer.due(lastDueUs).size(), pacer.pending());
}

void TestMeterDump::blockedLineDoesNotBurstLater()
{
    Pacer pacer;
    pacer.enqueue(QByteArray(100, 'x'), 0);
    QCOMPARE(pacer.due(10000).size(), 28);
    pacer.consumed(5, 28, 10000); // the line took only 5
    QCOMPARE(pacer.pending(), 95);
    QVERIFY(pacer.due(10000).isEmpty());
    QCOMPARE(pacer.due(20000).size(), 28);
}

void TestMeterDump::unpacedSendsEverything()
{
    Pacer pacer(0);
    pacer.enqueue(QByteArray(5000, 'x'), 7);
    QCOMPARE(pacer.due(7).size(), 5000);
    pacer.consumed(4095, 5000, 7);
    QCOMPARE(pacer.due(7).size(), 905);
}

QTEST_APPLESS_MAIN(TestMeterDump)
#include "tst_meterdump.moc"
