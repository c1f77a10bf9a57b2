#include "acquisition/acquisitioncycle.h"
#include "meter/currentreading.h"
#include "meter/downloadhook.h"
#include "meter/framebytes.h"
#include "support/fakeclock.h"
#include "support/fakes.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

namespace
{

class ScriptedDownload final : public DownloadHook
{
public:
    void begin(int setCount, quint32 writeAddress) override
    {
        ++begun;
        sets = setCount;
        address = writeAddress;
    }
    void finish() { Q_EMIT finished(); }
    int begun = 0;
    int sets = -1;
    quint32 address = 0;
};

struct Rig {
    FakeClock clock;
    FakeSerialLink link;
    CurrentReading reading;
    AcquisitionCycle cycle { link, clock, reading };
    QSignalSpy decoded { &cycle, &AcquisitionCycle::readingDecoded };
    QSignalSpy silent { &cycle, &AcquisitionCycle::noDataStarted };
    QSignalSpy blinks { &cycle, &AcquisitionCycle::comLabelVisibilityChanged };
    QSignalSpy back { &cycle, &AcquisitionCycle::noDataEnded };

    Rig()
    {
        link.open();
        cycle.timer1().start();
    }
};

} // namespace

class TestAcquisition : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void streamingMeterDecodesTheFirstFrameOfWhatIsPending()
    {
        Rig rig;
        rig.clock.advance(150); // the first tick starts and empties the buffer
        QCOMPARE(rig.cycle.state(), AcquisitionCycle::State::Waiting);
        rig.link.feed(LiveFrameBytes(415, 500, 250));
        QCOMPARE(rig.decoded.count(), 0); // 9 bytes are not enough
        rig.link.feed(LiveFrameBytes(999, 100, 100));
        QCOMPARE(rig.decoded.count(), 1);
        QCOMPARE(rig.reading.Co2Ppm.text(), QStringLiteral("415"));
        QCOMPARE(rig.reading.TempC.text(), QStringLiteral("25"));
        QCOMPARE(rig.cycle.state(), AcquisitionCycle::State::Idle);
    }

    void framesSplitAcrossReadsStillCount()
    {
        Rig rig;
        rig.clock.advance(150);
        const QByteArray two = LiveFrameBytes(800, 450, 0x80EB) + LiveFrameBytes(1, 1, 1);
        for (char byte : two)
            rig.link.feed(QByteArray(1, byte));
        QCOMPARE(rig.decoded.count(), 1);
        QCOMPARE(rig.reading.TempC.text(), QStringLiteral("-23.5"));
    }

    void bytesThatArriveBeforeTheTickAreDropped()
    {
        Rig rig;
        rig.link.feed(LiveFrameBytes(1111, 500, 250) + LiveFrameBytes(1111, 500, 250));
        rig.clock.advance(150);
        QCOMPARE(rig.decoded.count(), 0);
        QCOMPARE(rig.link.bytesAvailable(), 0);
    }

    void silentMeterBlinksNoComAfterFourWaits()
    {
        Rig rig;
        rig.clock.advance(150 + 4 * 2000 - 1);
        QCOMPARE(rig.silent.count(), 0);
        rig.clock.advance(1);
        QCOMPARE(rig.silent.count(), 1);
        QCOMPARE(rig.blinks.count(), 1);
        QCOMPARE(rig.blinks.at(0).at(0).toBool(), false);
        rig.clock.advance(1000); // five more blinks, one every 0.2 s, alternating
        QCOMPARE(rig.blinks.count(), 6);
        QCOMPARE(rig.blinks.at(5).at(0).toBool(), true);
        QCOMPARE(rig.cycle.state(), AcquisitionCycle::State::NoData);

        rig.link.feed(QByteArray(1, 'x'));
        rig.clock.advance(200);
        QCOMPARE(rig.back.count(), 1);
        QCOMPARE(rig.cycle.state(), AcquisitionCycle::State::Idle);
        QCOMPARE(rig.link.bytesAvailable(), 0); // the byte that ended it was dropped
        QCOMPARE(rig.silent.count(), 1);

        // The next tick starts afresh and decodes.
        rig.clock.advance(150);
        rig.link.feed(LiveFrameBytes(500, 300, 200) + LiveFrameBytes(500, 300, 200));
        QCOMPARE(rig.decoded.count(), 1);
    }

    void shortBurstsThatNeverReachFifteenBytesCountAsFailedWaits()
    {
        Rig rig;
        rig.clock.advance(150);
        for (int wait = 0; wait < 4; ++wait) {
            rig.link.feed(LiveFrameBytes(400, 400, 200)); // 9 bytes, then silence
            rig.clock.advance(2000);
        }
        QCOMPARE(rig.decoded.count(), 0);
        QCOMPARE(rig.silent.count(), 1);
    }

    void outOfStepFramesNeverLeadToNoCom()
    {
        Rig rig;
        QByteArray bad = LiveFrameBytes(400, 400, 200);
        bad[8] = 0x04;
        for (int i = 0; i < 200; ++i) { // 40 s of nothing but bad frames
            rig.link.feed(bad + bad);
            rig.clock.advance(200);
        }
        QCOMPARE(rig.silent.count(), 0);
        QCOMPARE(rig.decoded.count(), 0);
        // A good frame is taken on the attempt after the 0.2 s pause.
        rig.link.readAll();
        rig.clock.advance(200);
        rig.link.feed(LiveFrameBytes(700, 400, 200) + LiveFrameBytes(700, 400, 200));
        QCOMPARE(rig.decoded.count(), 1);
        QCOMPARE(rig.reading.Co2Ppm.text(), QStringLiteral("700"));
    }

    void outOfStepRetryWaitsTwoTenthsOfASecond()
    {
        Rig rig;
        rig.clock.advance(150);
        rig.link.feed(QByteArray(15, '\x55'));
        QCOMPARE(rig.cycle.state(), AcquisitionCycle::State::OutOfStepPause);
        rig.clock.advance(199);
        QCOMPARE(rig.cycle.state(), AcquisitionCycle::State::OutOfStepPause);
        rig.clock.advance(1);
        QCOMPARE(rig.cycle.state(), AcquisitionCycle::State::Waiting);
    }

    void signatureHandsTheTickToTheDownload()
    {
        Rig rig;
        ScriptedDownload download;
        rig.cycle.setDownloadHook(&download);
        rig.clock.advance(150);
        rig.link.feed(SignatureBytes(3, 0x010540) + QByteArray(4, '\x01'));
        QCOMPARE(download.begun, 1);
        QCOMPARE(download.sets, 3);
        QCOMPARE(download.address, quint32(0x010540));
        QCOMPARE(rig.cycle.state(), AcquisitionCycle::State::Downloading);

        // While it lasts, Timer1 starts no tick, bytes are left to the download and the display
        // keeps its values; a long download never turns into "No COM".
        const int readsBefore = rig.link.readCount;
        rig.link.feed(QByteArray(300, '\x02'));
        rig.clock.advance(20000);
        QCOMPARE(rig.link.readCount, readsBefore);
        QCOMPARE(rig.silent.count(), 0);
        QCOMPARE(rig.decoded.count(), 0);

        download.finish();
        QCOMPARE(rig.cycle.state(), AcquisitionCycle::State::Idle);
        rig.link.readAll();
        rig.clock.advance(150);
        rig.link.feed(LiveFrameBytes(420, 400, 200) + LiveFrameBytes(420, 400, 200));
        QCOMPARE(rig.decoded.count(), 1);
    }

    void signatureWithoutADownloadEndsTheTick()
    {
        Rig rig;
        rig.clock.advance(150);
        rig.link.feed(SignatureBytes(0, 1280));
        QCOMPARE(rig.cycle.state(), AcquisitionCycle::State::Idle);
        QCOMPARE(rig.decoded.count(), 0);
    }

    void linkLostInTheMiddleOfATickComesBack()
    {
        Rig rig;
        rig.clock.advance(150);
        rig.link.feed(LiveFrameBytes(400, 400, 200).left(5));
        rig.link.loseLink();
        rig.clock.advance(9000);
        QCOMPARE(rig.silent.count(), 1);
        rig.link.restoreLink();
        rig.link.feed(LiveFrameBytes(600, 400, 200));
        rig.clock.advance(200);
        QCOMPARE(rig.back.count(), 1);
        rig.clock.advance(150);
        rig.link.feed(LiveFrameBytes(600, 400, 200) + LiveFrameBytes(600, 400, 200));
        QCOMPARE(rig.decoded.count(), 1);
        QCOMPARE(rig.reading.Co2Ppm.text(), QStringLiteral("600"));
    }

    // Random bytes in random chunks at random times: the cycle never stalls in a state it
    // cannot leave and keeps decoding whenever a good pair of frames follows.
    void randomBytesNeverWedgeTheCycle()
    {
        Rig rig;
        ScriptedDownload download;
        rig.cycle.setDownloadHook(&download);
        QRandomGenerator random(1234);
        for (int round = 0; round < 3000; ++round) {
            QByteArray chunk(int(random.bounded(40)), Qt::Uninitialized);
            for (char& c : chunk)
                c = char(random.bounded(256));
            if (random.bounded(10) == 0)
                chunk.prepend(QByteArray::fromHex("aa55aa55aa55aa55aa55aa"));
            rig.link.feed(chunk);
            rig.clock.advance(random.bounded(400));
            if (rig.cycle.state() == AcquisitionCycle::State::Downloading)
                download.finish();
        }
        const int before = rig.decoded.count();
        rig.link.readAll();
        rig.clock.advance(10000); // settle: silence leads to No COM
        rig.link.feed(QByteArray(1, 'x'));
        rig.clock.advance(400);
        QCOMPARE(rig.back.count() > 0, true);
        rig.clock.advance(150); // a fresh tick is waiting for its frame
        QCOMPARE(rig.cycle.state(), AcquisitionCycle::State::Waiting);
        rig.link.feed(LiveFrameBytes(777, 400, 200) + LiveFrameBytes(777, 400, 200));
        QCOMPARE(rig.decoded.count(), before + 1);
        QCOMPARE(rig.reading.Co2Ppm.text(), QStringLiteral("777"));
    }
};

QTEST_GUILESS_MAIN(TestAcquisition)
#include "test_acquisition.moc"
