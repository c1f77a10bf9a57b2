// The meter stops in the middle of a logger dump, at every byte offset of a small dump, with the
// virtual meter on a pseudo-terminal: the program always comes back to live readings, shows at
// most one message, and keeps only sets that arrived whole. The dump is a set of three records
// and an empty set: 8 + 24 + 8 = 40 dump bytes. A sample of offsets runs by default;
// NIMBREL_FAULT_ALL_OFFSETS=1 runs every offset from 0 to 40 (40 being the whole dump), and
// NIMBREL_FAULT_QUIET sets the meter's quiet in seconds (3 by default, longer than the
// download's own quiet limit).
#include "acquisition/acquisitioncycle.h"
#include "acquisition/metersession.h"
#include "app/application.h"
#include "app/panel.h"
#include "loggerwindow/memory.h"
#include "loggerwindow/memorycontroller.h"
#include "meter/loggerdownload.h"
#include "platform/systemclock.h"
#include "support/fakes.h"
#include "support/virtualmeterprocess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

namespace
{
constexpr int kDumpBytes = 40;
constexpr int kFirstSetEnd = 32; // header and three records
} // namespace

class TestFaultDump : public QObject
{
    Q_OBJECT
private:
    VirtualMeterProcess m_meter;
    std::unique_ptr<Application> m_app;
    FakePrompts* m_prompts = nullptr;
    // How long the meter stays quiet after it stops, before its live frames resume.
    int m_quietSeconds = 3;

    void command(const QByteArray& line) { QVERIFY(m_meter.command(line)); }

private Q_SLOTS:
    void initTestCase()
    {
        if (qEnvironmentVariableIsSet("NIMBREL_FAULT_QUIET"))
            m_quietSeconds = qEnvironmentVariableIntValue("NIMBREL_FAULT_QUIET");
        QVERIFY(m_meter.start({ "--port", "COM1", "--interval", "200", "--seed", "31", "--set",
            "3,START=10:00:00,INTERVAL=60", "--set", "0,START=11:00:00" }));

        m_prompts = new FakePrompts;
        m_app = std::make_unique<Application>(std::make_unique<SystemClock>(),
            std::make_unique<FakeBeeper>(), std::unique_ptr<Prompts>(m_prompts),
            std::make_unique<FakePrinterProvider>(
                QDir(m_meter.runtimePath()).filePath("print.pdf")));
        m_app->state().PortNumber = 1;
        QVERIFY(m_app->openPanel());
        QSignalSpy decoded(&m_app->session()->acquisition(), &AcquisitionCycle::readingDecoded);
        QTRY_VERIFY_WITH_TIMEOUT(decoded.count() >= 2, 10000);
    }

    void stopAtOffset_data()
    {
        QTest::addColumn<int>("stopAfter");
        const bool all = qEnvironmentVariableIntValue("NIMBREL_FAULT_ALL_OFFSETS") != 0;
        // Before the first header byte, inside a header, on piece edges, inside the records,
        // inside the last header, and the whole dump.
        const QList<int> sample { 0, 8, 20, 36, kDumpBytes };
        for (int k = 0; k <= kDumpBytes; ++k) {
            if (all || sample.contains(k))
                QTest::addRow("stop after %d", k) << k;
        }
    }
    void stopAtOffset()
    {
        QFETCH(int, stopAfter);
        AcquisitionCycle& cycle = m_app->session()->acquisition();
        QSignalSpy decoded(&cycle, &AcquisitionCycle::readingDecoded);
        QSignalSpy silent(m_app->session(), &MeterSession::meterSilent);
        LoggerTables& logger = m_app->state().Logger;
        logger.LoggerSetCounts.fill(-1);
        m_prompts->messages.clear();

        command("fault-quiet " + QByteArray::number(m_quietSeconds));
        command("fault-stop-after " + QByteArray::number(stopAfter));
        command("dump");
        QElapsedTimer took;
        took.start();
        QTRY_COMPARE_WITH_TIMEOUT(cycle.state(), AcquisitionCycle::State::Downloading, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(cycle.state() != AcquisitionCycle::State::Downloading, 20000);
        const int before = decoded.count();
        QTRY_VERIFY_WITH_TIMEOUT(decoded.count() >= before + 3, 15000);
        qInfo("stop after %d: back to live readings %lld ms after the dump command", stopAfter,
            took.elapsed());
        QCOMPARE(silent.count(), 0);
        QCOMPARE(m_app->panel()->label("LblCOM")->text(), QStringLiteral("COM1"));

        if (stopAfter >= kDumpBytes) {
            QVERIFY(m_prompts->messages.isEmpty());
            QCOMPARE(logger.LoggerSetCounts.at(1), 3);
            QCOMPARE(logger.LoggerSetCounts.at(2), 0);
            QCOMPARE(m_app->memory()->memoryWindow()->setRowCount(), 2);
            return;
        }
        // One message names the set the meter stopped in; whole sets before it stay.
        const int brokenSet = stopAfter < kFirstSetEnd ? 1 : 2;
        QCOMPARE(m_prompts->messages.size(), 1);
        QCOMPARE(m_prompts->messages.first().text, LoggerDownload::brokenMessage(brokenSet, 2));
        // The data-logger window lists the whole sets only; a broken set's header, if it came
        // in at all, holds its true count.
        QVERIFY(m_app->memory()->memoryWindow());
        QCOMPARE(m_app->memory()->memoryWindow()->setRowCount(), brokenSet - 1);
        if (brokenSet == 2)
            QCOMPARE(logger.LoggerSetCounts.at(1), 3);
        const int brokenCount = logger.LoggerSetCounts.at(std::size_t(brokenSet));
        QVERIFY2(brokenCount == -1 || brokenCount == (brokenSet == 1 ? 3 : 0),
            qPrintable(QString::number(brokenCount)));
    }

    void cleanupTestCase()
    {
        m_app.reset();
        command("quit");
        QVERIFY(m_meter.process.waitForFinished(5000));
    }
};

QTEST_MAIN(TestFaultDump)
#include "test_faultdump.moc"
