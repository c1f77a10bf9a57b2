// The real serial link against the virtual meter on a pseudo-terminal: readings arrive and are
// shown, a pulled cable leads to "No COM", and plugging it back brings the readings back.
#include "acquisition/acquisitioncycle.h"
#include "acquisition/metersession.h"
#include "app/panel.h"
#include "app/programstate.h"
#include "meter/protocol.h"
#include "platform/portdevice.h"
#include "platform/serialportlink.h"
#include "platform/systemclock.h"
#include "support/fakes.h"
#include "support/virtualmeterprocess.h"

#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TestMeterLink : public QObject
{
    Q_OBJECT
private:
    VirtualMeterProcess m_meter;
    QString m_link;

    void command(const char* line) { QVERIFY(m_meter.command(line)); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_meter.start({ "--port", "COM1", "--interval", "200", "--seed", "7" }));
        const QStringList fields = m_meter.firstLine.split(' ');
        QCOMPARE(fields.size(), 3);
        QCOMPARE(fields[0], QStringLiteral("COM1"));
        m_link = fields[1];
        QCOMPARE(m_link, PortDevicePath(1));
    }

    void readingsArriveAndSurviveAnUnplug()
    {
        ProgramState state;
        state.PortNumber = 1;
        SystemClock clock;
        FakeBeeper beeper;
        FakePrompts prompts;
        SerialPortLink link([] { return PortDevicePath(1); }, kMeterBaudRate, clock);
        MeterSession session(state, link, clock, beeper);
        Panel panel(state, session, prompts);
        QSignalSpy decoded(&session.acquisition(), &AcquisitionCycle::readingDecoded);
        QSignalSpy lost(&link, &SerialLink::linkLost);
        QSignalSpy restored(&link, &SerialLink::linkRestored);
        QSignalSpy silent(&session, &MeterSession::meterSilent);
        panel.show();
        QVERIFY(panel.load());
        QCOMPARE(panel.label("LblCOM")->text(), QStringLiteral("COM1"));

        QTRY_VERIFY_WITH_TIMEOUT(decoded.count() >= 2, 10000);
        const int co2 = panel.label("LblAir")->text().toInt();
        QVERIFY2(co2 >= 300 && co2 <= 2000, qPrintable(panel.label("LblAir")->text()));
        QVERIFY(panel.label("LblTemperature")->text().contains(QLatin1Char('.')));
        QVERIFY(!panel.label("LblWet")->text().isEmpty());

        command("unplug");
        QTRY_VERIFY_WITH_TIMEOUT(lost.count() == 1, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(panel.label("LblCOM")->text(), QStringLiteral("No COM"), 15000);
        QCOMPARE(silent.count(), 1);
        QVERIFY(!link.isOpen());

        const int before = decoded.count();
        command("plug");
        QTRY_VERIFY_WITH_TIMEOUT(restored.count() == 1, 8000);
        QTRY_COMPARE_WITH_TIMEOUT(panel.label("LblCOM")->text(), QStringLiteral("COM1"), 5000);
        QVERIFY(panel.label("LblCOM")->isVisibleTo(&panel));
        QTRY_VERIFY_WITH_TIMEOUT(decoded.count() >= before + 2, 10000);
        QCOMPARE(lost.count(), 1);
    }

    void cleanupTestCase()
    {
        QVERIFY(m_meter.quit());
        QVERIFY(!QFileInfo(m_link).isSymLink());
    }
};

QTEST_MAIN(TestMeterLink)
#include "test_meterlink.moc"
