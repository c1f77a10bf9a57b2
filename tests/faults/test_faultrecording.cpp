// Recording while things go wrong, with the virtual meter on a pseudo-terminal: the meter is
// unplugged and plugged in again, the program is killed, the disk fills. Whatever happens, the
// data file holds every record the main window counted, each line whole.
#include "recordedfile.h"

#include "acquisition/acquisitioncycle.h"
#include "acquisition/metersession.h"
#include "app/application.h"
#include "app/panel.h"
#include "app/toolbarcommands.h"
#include "platform/systemclock.h"
#include "recording/recorder.h"
#include "support/applicationrig.h"
#include "support/fakes.h"
#include "support/virtualmeterprocess.h"

#include <QLabel>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestFaultRecording : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_data;
    VirtualMeterProcess m_meter;

    void command(const char* line) { QVERIFY(m_meter.command(line)); }

    // Starts the recording helper on COM1 with these further options.
    static void startHelper(QProcess& helper, const QStringList& extra)
    {
        helper.setProcessChannelMode(QProcess::SeparateChannels);
        helper.start(
            QStringLiteral(NIMBREL_RECORDING_HELPER), QStringList { "--port", "1" } + extra);
    }
    // The counts the helper printed, in order.
    static QList<qint64> countsIn(const QByteArray& output)
    {
        QList<qint64> counts;
        for (const QByteArray& line : output.split('\n')) {
            if (line.startsWith("count "))
                counts.append(line.mid(6).toLongLong());
        }
        return counts;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_data.isValid());
        QVERIFY(m_meter.start({ "--port", "COM1", "--interval", "200", "--seed", "21" }));
    }

    // The meter vanishes while recording and comes back: "No COM" blinks, the port is reopened,
    // recording goes on, and the file holds exactly the records counted.
    void unplugAndPlugDuringRecording()
    {
        ApplicationRig rig(std::make_unique<SystemClock>(), m_data.path());
        Application& app = rig.app;
        FakePrompts* prompts = rig.prompts;
        QVERIFY(app.openPanel());
        Panel& panel = *app.panel();
        QLabel* com = panel.label("LblCOM");
        QLabel* count = panel.label("LblCount");
        QSignalSpy decoded(&app.session()->acquisition(), &AcquisitionCycle::readingDecoded);
        QSignalSpy blinked(
            &app.session()->acquisition(), &AcquisitionCycle::comLabelVisibilityChanged);
        QTRY_VERIFY_WITH_TIMEOUT(decoded.count() >= 1, 10000);

        app.state().Rec.SamplingSeconds = 1;
        app.state().Rec.SampleTicks = 0;
        const QString path = m_data.filePath("unplug.nblg");
        prompts->saveAnswers.enqueue(path);
        app.commands()->run(QStringLiteral("Save"));
        QVERIFY(app.state().Rec.Recording);
        QTRY_VERIFY_WITH_TIMEOUT(count->text().toLongLong() >= 2, 10000);

        command("unplug");
        QTRY_COMPARE_WITH_TIMEOUT(com->text(), QStringLiteral("No COM"), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(blinked.count() >= 2, 5000);
        const qint64 countWhileLost = count->text().toLongLong();

        command("plug");
        QTRY_COMPARE_WITH_TIMEOUT(com->text(), QStringLiteral("COM1"), 20000);
        QVERIFY(com->isVisible());
        const int decodedBack = decoded.count();
        QTRY_VERIFY_WITH_TIMEOUT(decoded.count() >= decodedBack + 3, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(count->text().toLongLong() >= countWhileLost + 3, 10000);
        QVERIFY(app.state().Rec.Recording);

        // Nothing runs between reading the count and stopping: one thread.
        const qint64 shown = count->text().toLongLong();
        QCOMPARE(app.state().Rec.RecordCount, shown);
        app.commands()->run(QStringLiteral("Save"));
        QVERIFY(!app.state().Rec.Recording);

        const RecordedFile file = RecordedFile::read(path);
        QVERIFY2(file.whole, qPrintable(file.problem));
        QCOMPARE(qint64(file.numbers.size()), shown);
        QVERIFY(file.numberedFromOne());
        QVERIFY(prompts->messages.isEmpty());
    }

    // The program is killed while it records: every record it showed as counted is in the file,
    // and the file ends with a whole line.
    void killedWhileRecording_data()
    {
        QTest::addColumn<int>("killAfter");
        QTest::newRow("early") << 2;
        QTest::newRow("later") << 5;
    }
    void killedWhileRecording()
    {
        QFETCH(int, killAfter);
        const QString path = m_data.filePath(QStringLiteral("killed%1.nblg").arg(killAfter));
        QProcess helper;
        startHelper(helper, { "--file", path });
        QVERIFY(helper.waitForStarted(5000));
        QByteArray output;
        QTRY_VERIFY_WITH_TIMEOUT(
            (output += helper.readAllStandardOutput(),
                countsIn(output).size() >= killAfter || helper.state() == QProcess::NotRunning),
            30000);
        helper.kill(); // SIGKILL: no chance to close or flush anything
        QVERIFY(helper.waitForFinished(5000));
        output += helper.readAllStandardOutput();
        QCOMPARE(helper.exitStatus(), QProcess::CrashExit);
        const QList<qint64> counts = countsIn(output);
        QVERIFY2(counts.size() >= killAfter, output.constData());
        const qint64 lastShown = counts.last();

        const RecordedFile file = RecordedFile::read(path);
        QVERIFY2(file.whole, qPrintable(file.problem));
        QVERIFY(file.numberedFromOne());
        // A record may have gone to the file just before its count was printed, never after.
        QVERIFY2(file.numbers.size() == lastShown || file.numbers.size() == lastShown + 1,
            qPrintable(
                QStringLiteral("%1 records, %2 shown").arg(file.numbers.size()).arg(lastShown)));
    }

    // The disk fills: the program carries on, counts no record that was not written, and leaves
    // no broken line at the end of the file.
    void diskFillsDuringRecording()
    {
        const QString path = m_data.filePath("full.nblg");
        constexpr qint64 kLimit = 300; // the header and a few records
        constexpr int kSamples = 8;
        QProcess helper;
        startHelper(helper,
            { "--file", path, "--samples", QString::number(kSamples), "--fsize-limit",
                QString::number(kLimit) });
        QVERIFY(helper.waitForStarted(5000));
        QVERIFY(helper.waitForFinished(60000));
        const QByteArray output = helper.readAllStandardOutput();
        QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
        QVERIFY2(
            helper.exitCode() == 0, QByteArray(output + helper.readAllStandardError()).constData());
        const QList<qint64> counts = countsIn(output);
        QCOMPARE(counts.size(), kSamples);

        const RecordedFile file = RecordedFile::read(path);
        QVERIFY2(file.whole, qPrintable(file.problem));
        QVERIFY(file.numberedFromOne());
        QVERIFY(file.bytes <= kLimit);
        // The limit was reached: later samples found no room, and the count stood still.
        QVERIFY(file.numbers.size() >= 1);
        QVERIFY(file.numbers.size() < kSamples);
        QCOMPARE(counts.last(), qint64(file.numbers.size()));
        QCOMPARE(counts.count(counts.last()), kSamples - int(file.numbers.size()) + 1);
        // The user was told once that samples no longer reach the file, and why.
        QList<QByteArray> messages;
        for (const QByteArray& line : output.split('\n')) {
            if (line.startsWith("message "))
                messages.append(line.mid(8));
        }
        QCOMPARE(messages.size(), 1);
        QVERIFY2(
            messages.first().contains(path.toUtf8()) && messages.first().contains("File too large"),
            messages.first().constData());
    }

    void cleanupTestCase()
    {
        command("quit");
        QVERIFY(m_meter.process.waitForFinished(5000));
    }
};

QTEST_MAIN(TestFaultRecording)
#include "test_faultrecording.moc"
