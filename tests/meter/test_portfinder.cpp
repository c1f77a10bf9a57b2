// Listening for the meter on every port, with fake ports and a fake clock: the marks, the
// default choice, the time it takes, and ports that vanish, flood or cannot be opened.
#include "meter/meterheard.h"
#include "meter/portchoice.h"
#include "meter/portfinder.h"
#include "meter/portlisttext.h"
#include "support/fakeclock.h"
#include "support/fakeportsystem.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

namespace
{
QByteArray LiveFrame(quint8 co2Low)
{
    return QByteArray::fromHex("020001") + char(co2Low) + QByteArray::fromHex("01f400e603");
}

QByteArray Garbage(int size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, '\0');
    for (char& b : bytes)
        b = char(random.bounded(256));
    return bytes;
}
} // namespace

class TestPortFinder : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void judgesWhatItHears_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("heard");
        const QByteArray two = LiveFrame(0x90) + LiveFrame(0x91);
        QTest::newRow("nothing") << QByteArray() << int(Heard::Nothing);
        QTest::newRow("one frame") << LiveFrame(0x90) << int(Heard::Meter);
        QTest::newRow("two frames") << two << int(Heard::Sure);
        QTest::newRow("cut piece first") << two.right(13) + LiveFrame(1) << int(Heard::Sure);
        QTest::newRow("signature")
            << QByteArray::fromHex("aa55aa55aa55aa55aa55aa02000510") << int(Heard::Sure);
        QTest::newRow("chance frames in a flood")
            << Garbage(600, 1) + two + Garbage(600, 2) << int(Heard::Nothing);
        QTest::newRow("flood") << Garbage(kMostBytesHeard, 3) << int(Heard::NotAMeter);
    }
    void judgesWhatItHears()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, heard);
        QCOMPARE(int(JudgeHeardBytes(bytes)), heard);
    }

    // Each port: "meter", "meter-slow" (one frame), "silent", "flood", "vanish", "refused".
    void listensToEveryPortAtOnce_data()
    {
        QTest::addColumn<QStringList>("behaviour");
        QTest::addColumn<QStringList>("found");
        QTest::addColumn<int>("choice");
        QTest::addColumn<int>("doneByMs");
        QTest::newRow("one meter")
            << QStringList { "silent", "meter" } << QStringList { "", "meter" } << 1 << 1500;
        QTest::newRow("two meters, first chosen")
            << QStringList { "meter-slow", "silent", "meter" }
            << QStringList { "meter", "", "meter" } << 0 << 1500;
        QTest::newRow("only meters: done early")
            << QStringList { "meter" } << QStringList { "meter" } << 0 << 0;
        QTest::newRow("flood, vanish, refused")
            << QStringList { "flood", "vanish", "refused" }
            << QStringList { "", "", "no permission" } << -1 << 0;
        QTest::newRow("no ports") << QStringList {} << QStringList {} << -1 << 0;
    }
    void listensToEveryPortAtOnce()
    {
        QFETCH(QStringList, behaviour);
        QFETCH(QStringList, found);
        QFETCH(int, choice);
        QFETCH(int, doneByMs);
        FakeClock clock;
        FakePortSystem system;
        for (int i = 0; i < behaviour.size(); ++i) {
            system.entries.append(FakePort(QStringLiteral("ttyUSB%1").arg(i)));
            if (behaviour[i] == QLatin1String("refused"))
                system.refused.insert(system.entries.last().devicePath,
                    { PortProblem::Kind::Permission, QStringLiteral("dialout"), {}, {} });
        }
        PortFinder finder(system, clock);
        QSignalSpy done(&finder, &PortFinder::listeningDone);
        finder.start();
        for (int i = 0; i < behaviour.size(); ++i) {
            FakeSerialLink* link = system.opened(system.entries[i].devicePath);
            const QString& b = behaviour[i];
            if (b == QLatin1String("meter"))
                link->feed(LiveFrame(1).right(4) + LiveFrame(2) + LiveFrame(3));
            else if (b == QLatin1String("meter-slow"))
                link->feed(LiveFrame(1));
            else if (b == QLatin1String("flood"))
                for (int k = 0; k < 3; ++k)
                    link->feed(Garbage(2000, k));
            else if (b == QLatin1String("vanish"))
                link->loseLink();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        clock.advance(doneByMs);
        QCOMPARE(done.count(), behaviour.isEmpty() ? 0 : 1);
        QVERIFY(!finder.isListening());
        QCOMPARE(finder.ports().size(), behaviour.size());
        for (int i = 0; i < behaviour.size(); ++i) {
            QCOMPARE(PortListCells(finder.ports()[i]).last(), found[i]);
            // Every listened port is closed once listening is over.
            if (FakeSerialLink* link = system.opened(system.entries[i].devicePath))
                QVERIFY(!link->isOpen());
        }
        QCOMPARE(finder.defaultChoice(), choice);
        if (behaviour.isEmpty())
            QVERIFY(PortListReport(finder.ports()).contains(QStringLiteral("No serial ports")));
    }

    void aPortPluggedInLaterIsListedAndListenedTo()
    {
        FakeClock clock;
        FakePortSystem system;
        system.entries = { FakePort(QStringLiteral("ttyS0"), 1) };
        PortFinder finder(system, clock);
        finder.start();
        clock.advance(PortFinder::kListenMs);
        QCOMPARE(system.linksMade, 1);

        system.entries.append(FakePort(QStringLiteral("ttyUSB0"), 0, QStringLiteral("A1")));
        clock.advance(PortFinder::kRefreshMs - PortFinder::kListenMs % PortFinder::kRefreshMs);
        QCOMPARE(finder.ports().size(), 2);
        QCOMPARE(system.linksMade, 2); // the old port is not listened to again
        QVERIFY(finder.isListening());
        system.opened(system.entries[1].devicePath)->feed(LiveFrame(5) + LiveFrame(6));
        QCOMPARE(finder.defaultChoice(), 1);

        // Unplugged again: gone from the list at the next look.
        system.entries.removeLast();
        clock.advance(PortFinder::kRefreshMs);
        QCOMPARE(finder.ports().size(), 1);
        QCOMPARE(finder.defaultChoice(), -1);
    }

    void stopLetsEveryPortGo()
    {
        FakeClock clock;
        FakePortSystem system;
        system.entries
            = { FakePort(QStringLiteral("ttyUSB0")), FakePort(QStringLiteral("ttyUSB1")) };
        PortFinder finder(system, clock);
        finder.start();
        QVERIFY(system.opened(QStringLiteral("/dev/ttyUSB0"))->isOpen());
        finder.stop();
        QVERIFY(!system.opened(QStringLiteral("/dev/ttyUSB0")));
        QVERIFY(!system.opened(QStringLiteral("/dev/ttyUSB1")));
        system.entries.append(FakePort(QStringLiteral("ttyUSB2")));
        clock.advance(5000);
        QCOMPARE(system.linksMade, 2); // no more looking after stop()
    }

    void lowestFreeComNumber_data()
    {
        QTest::addColumn<QList<int>>("reached");
        QTest::addColumn<int>("free");
        QTest::newRow("none reached") << QList<int> {} << 1;
        QTest::newRow("gap") << QList<int> { 1, 2, 4 } << 3;
        QTest::newRow("all reached") << QList<int> { 1, 2, 3, 4, 5, 6, 7, 8 } << 0;
    }
    void lowestFreeComNumber()
    {
        QFETCH(QList<int>, reached);
        QFETCH(int, free);
        QCOMPARE(LowestFreeComNumber([&reached](int n) { return reached.contains(n); }), free);
    }
};

QTEST_MAIN(TestPortFinder)
#include "test_portfinder.moc"
