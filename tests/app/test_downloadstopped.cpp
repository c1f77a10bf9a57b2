// A logger download that stops early: its message comes once the acquisition tick is over, so
// live readings go on while the message is open and a recording never repeats stale values.
#include "acquisition/acquisitioncycle.h"
#include "acquisition/metersession.h"
#include "app/application.h"
#include "app/panel.h"
#include "meter/loggerdownload.h"
#include "support/applicationrig.h"
#include "support/fakeclock.h"
#include "support/fakes.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace
{
const QByteArray kLiveFrames = QByteArray::fromHex("0200019f01f400fa03"
                                                   "020001a001f400fa03");
// Two sets in a memory of 40 bytes.
const QByteArray kSignature = QByteArray::fromHex("aa55aa55aa55aa55aa55aa"
                                                  "02"
                                                  "000528");
} // namespace

class TestDownloadStopped : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void messageComesAfterTheTick()
    {
        QTemporaryDir dir;
        auto* clock = new FakeClock;
        ApplicationRig rig(clock, dir.path());
        Application& app = rig.app;
        FakePrompts* prompts = rig.prompts;
        FakeSerialLink*& link = rig.link;
        QVERIFY(app.openPanel());
        AcquisitionCycle& cycle = app.session()->acquisition();
        QSignalSpy decoded(&cycle, &AcquisitionCycle::readingDecoded);

        // The meter opens a dump, then answers nothing: the download stops.
        clock->advance(AcquisitionCycle::kTickIntervalMs);
        link->feed(kSignature);
        QCOMPARE(cycle.state(), AcquisitionCycle::State::Downloading);
        AcquisitionCycle::State stateWhenShown = AcquisitionCycle::State::Downloading;
        int decodedWhileShown = 0;
        prompts->onMessage = [&] {
            stateWhenShown = cycle.state();
            // While the message is open the meter streams on and the ticks decode its frames.
            const int before = decoded.size();
            for (int tick = 0; tick < 3; ++tick) {
                clock->advance(AcquisitionCycle::kTickIntervalMs);
                link->feed(kLiveFrames);
            }
            decodedWhileShown = decoded.size() - before;
        };
        for (int t = 0; t < 5000 && prompts->messages.isEmpty(); t += 50) {
            clock->advance(50);
            QCoreApplication::processEvents();
        }
        QCOMPARE(prompts->messages.size(), 1);
        QCOMPARE(prompts->messages[0].icon, Prompts::Icon::Critical);
        QCOMPARE(prompts->messages[0].text, LoggerDownload::brokenMessage(1, 2));
        QCOMPARE(stateWhenShown, AcquisitionCycle::State::Idle);
        QCOMPARE(decodedWhileShown, 3);
    }
};

QTEST_MAIN(TestDownloadStopped)
#include "test_downloadstopped.moc"
