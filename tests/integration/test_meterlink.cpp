// The real serial link against the virtual meter on a pseudo-terminal: readings arrive and are
// shown, a pulled cable leads to "No COM", and plugging it back brings the readings back.
#include "app/acquisitioncycle.h"
#include "app/panel.h"
#include "app/programstate.h"
#include "platform/portdevice.h"
#include "platform/serialportlink.h"
#include "platform/systemclock.h"
#include "support/fakes.h"

#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TestMeterLink : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_runtime;
    QProcess m_meter;
    QString m_link;

    void command(const char* line)
    {
        m_meter.write(line);
        m_meter.write("\n");
        QVERIFY(m_meter.waitForBytesWritten(2000));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_runtime.isValid());
        QFile::setPermissions(m_runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                     QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
        m_meter.setProcessChannelMode(QProcess::SeparateChannels);
        m_meter.start(QStringLiteral(NIMBREL_METER_BIN),
                      {"--port", "COM1", "--interval", "200", "--seed", "7"});
        QVERIFY(m_meter.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(m_meter.canReadLine(), 10000);
        const QStringList fields = QString::fromLocal8Bit(m_meter.readLine()).trimmed().split(' ');
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
        SerialPortLink link([] { return PortDevicePath(1); }, clock);
        Panel panel(state, link, clock, beeper, prompts);
        QSignalSpy decoded(&panel.acquisition(), &AcquisitionCycle::readingDecoded);
        QSignalSpy lost(&link, &SerialLink::linkLost);
        QSignalSpy restored(&link, &SerialLink::linkRestored);
        QSignalSpy silent(&panel, &Panel::meterSilent);
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
        command("quit");
        QVERIFY(m_meter.waitForFinished(5000));
        QCOMPARE(m_meter.exitCode(), 0);
        QVERIFY(!QFileInfo(m_link).isSymLink());
    }
};

QTEST_MAIN(TestMeterLink)
#include "test_meterlink.moc"
