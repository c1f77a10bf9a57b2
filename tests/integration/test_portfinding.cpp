// Finding the virtual meter on its pseudo-terminal: it is listed and marked "meter" among the
// system's ports, and after an unplug the program follows it when it comes back under another
// COMn. The listening time is printed, not judged: the wall clock of a loaded machine is no
// measure (the fake-clock tests hold the schedule).
#include "acquisition/acquisitioncycle.h"
#include "acquisition/metersession.h"
#include "app/application.h"
#include "app/panel.h"
#include "meter/portfinder.h"
#include "meter/protocol.h"
#include "platform/portdevice.h"
#include "platform/systemclock.h"
#include "platform/systemports.h"
#include "support/applicationrig.h"
#include "support/fakes.h"
#include "support/virtualmeterprocess.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

class TestPortFinding : public QObject
{
    Q_OBJECT
private:
    VirtualMeterProcess m_meter;

    // Listens to every port once; the milliseconds it took, and the port list.
    qint64 listen(QList<FoundPort>* found, qint64* meterAfterMs = nullptr)
    {
        SystemClock clock;
        SystemPorts system(kMeterBaudRate);
        PortFinder finder(system, clock);
        QSignalSpy done(&finder, &PortFinder::listeningDone);
        QElapsedTimer took;
        took.start();
        if (meterAfterMs) {
            *meterAfterMs = -1;
            QObject::connect(&finder, &PortFinder::changed, [&] {
                if (*meterAfterMs < 0 && finder.defaultChoice() >= 0)
                    *meterAfterMs = took.elapsed();
            });
        }
        finder.start();
        if (finder.isListening() && !done.wait(5000))
            return -1;
        const qint64 ms = took.elapsed();
        *found = finder.ports();
        return ms;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_meter.start({ "--port", "COM1", "--interval", "200", "--seed", "5" }));
    }

    void theMeterIsHeardAndChosen()
    {
        QList<FoundPort> ports;
        qint64 meterAfter = -1;
        const qint64 ms = listen(&ports, &meterAfter);
        QVERIFY(ms >= 0);
        int meters = 0;
        for (const FoundPort& p : ports)
            meters += p.state == FoundPort::State::Meter;
        QCOMPARE(meters, 1);
        const int first = [&ports] {
            for (int i = 0; i < ports.size(); ++i)
                if (ports[i].state == FoundPort::State::Meter)
                    return i;
            return -1;
        }();
        QVERIFY(ports[first].entry.virtualMeter);
        QCOMPARE(ports[first].entry.comNumber, 1);
        QVERIFY(ports[first].entry.byIdPath.contains(QStringLiteral("by-id/nimbrel-meter-")));
        qInfo("listening with one meter: %lld ms over %lld ports, meter marked after %lld ms", ms,
            qint64(ports.size()), meterAfter);

        QVERIFY(m_meter.command("unplug"));
        const qint64 silent = listen(&ports);
        QVERIFY(silent >= 0);
        for (const FoundPort& p : ports)
            QVERIFY(p.state != FoundPort::State::Meter);
        qInfo("listening with no meter: %lld ms over %lld ports", silent, qint64(ports.size()));
        QVERIFY(m_meter.command("plug"));
        // The link itself: without it COM1 would fall back to /dev/ttyS0.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(PortLinkFolder() + "/COM1"), 5000);
    }

    void followsTheMeterToAnotherComNumber()
    {
        ApplicationRig rig(std::make_unique<SystemClock>(), m_meter.runtimePath());
        Application& app = rig.app;
        QVERIFY(app.openPanel());
        Panel& panel = *app.panel();
        QSignalSpy decoded(&app.session()->acquisition(), &AcquisitionCycle::readingDecoded);
        QTRY_VERIFY_WITH_TIMEOUT(decoded.count() >= 2, 10000);

        QVERIFY(m_meter.command("unplug"));
        QTRY_COMPARE_WITH_TIMEOUT(panel.label("LblCOM")->text(), QStringLiteral("No COM"), 15000);
        QVERIFY(m_meter.command("plug COM3"));
        const int before = decoded.count();
        QTRY_VERIFY_WITH_TIMEOUT(decoded.count() >= before + 2, 15000);
        QCOMPARE(panel.label("LblCOM")->text(), QStringLiteral("COM1"));
        // COM1 now leads to the meter by its stable name.
        QVERIFY(QFileInfo(PortDevicePath(1)).symLinkTarget().contains(QStringLiteral("by-id")));
    }

    void cleanupTestCase() { QVERIFY(m_meter.quit()); }
};

QTEST_MAIN(TestPortFinding)
#include "test_portfinding.moc"
