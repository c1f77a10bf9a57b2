#include "recording/datafileformat.h"
#include "recording/datafilehandle.h"
#include "recording/dateskeeper.h"
#include "recording/recorder.h"
#include "recording/recordingdates.h"
#include "recording/recordingstate.h"
#include "report/reportdates.h"
#include "support/datesline.h"
#include "support/fakeclock.h"
#include "support/recorderfakes.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace
{

const QStringList kTexts = { "415", "23.4", "12.1", "16.2", "48.9", "74.1", "53.7", "61.1" };

// A recording as the meter session runs it, on the fake clock: the recorder samples every
// second (a tick of 960 ms), the meter is read every 480 ms while it answers, and the dates
// keeper follows both.
struct Rig {
    FakeClock clock { QDateTime(QDate(2026, 12, 8), QTime(7, 0, 0)) };
    RecordingState state;
    DataFileHandle file;
    NoRecorderLabels labels;
    NoLiveList list;
    Recorder recorder { state, clock, file, [] { return kTexts; }, labels, list };
    DatesKeeper keeper { state, clock };
    Timer* meter = nullptr;
    bool answering = true;
    QString path;

    explicit Rig(const QString& dataFile)
        : path(dataFile)
    {
        clock.setUtcOffset(3600);
        state.SamplingSeconds = 1;
        recorder.setHooks(&keeper);
        keeper.setPort(
            QStringLiteral("COM1"), QStringLiteral("/dev/ttyUSB0"), QStringLiteral("A1"));
        recorder.start();
        meter = clock.createTimer(nullptr);
        meter->setInterval(480);
        QObject::connect(meter, &Timer::timeout, [this] {
            if (answering)
                keeper.readingTaken();
        });
        meter->start();
    }
    ~Rig() { delete meter; }

    void startRecording()
    {
        state.DataFileName = path;
        QVERIFY(file.open(path));
        QVERIFY(file.writeLine(HeaderLine()));
        state.RecordCount = 0;
        state.FilePart = 0;
        keeper.recordingStarted(path);
        state.Recording = true;
    }
    void stopRecording()
    {
        keeper.recordingStopped();
        state.Recording = false;
        file.close();
    }

    // Steps: N ticks; "mute" (the meter stops sending), "silent" (the session says so), "answer";
    // "set+S" (the clock set by S seconds), "sleep+S" (the computer asleep), "dst+S" (the offset
    // and the wall clock move by S); "every+S" (the sampling interval set to S seconds); "stop".
    void run(const QString& script)
    {
        for (const QString& step : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const qint64 seconds = step.section(QLatin1Char('+'), 1).toLongLong();
            const qint64 signedSeconds = step.contains(QLatin1Char('-'))
                ? -step.section(QLatin1Char('-'), 1).toLongLong()
                : seconds;
            if (step == QLatin1String("mute")) {
                answering = false;
            } else if (step == QLatin1String("silent")) {
                keeper.meterSilent();
            } else if (step == QLatin1String("answer")) {
                keeper.meterAnswering();
                answering = true;
            } else if (step.startsWith(QLatin1String("set"))) {
                clock.setWallClock(clock.wallClock().addSecs(signedSeconds));
            } else if (step.startsWith(QLatin1String("sleep"))) {
                clock.sleep(seconds * 1000);
            } else if (step.startsWith(QLatin1String("dst"))) {
                clock.setWallClock(clock.wallClock().addSecs(signedSeconds));
                clock.setUtcOffset(clock.now().offsetFromUtc() + int(signedSeconds));
            } else if (step.startsWith(QLatin1String("every"))) {
                state.SamplingSeconds = int(seconds);
                state.SampleTicks = 0;
            } else if (step == QLatin1String("stop")) {
                stopRecording();
            } else {
                clock.advance(step.toLongLong() * Recorder::kTickMs);
            }
        }
    }
};

} // namespace

class TestDatesKeeper : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A scripted recording and the dates files it leaves, part by part; each fits its data
    // file as the report reads them.
    void eventsAtTheirRecords_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("files"); // "name: dates line"
        QTest::newRow("started and stopped")
            << "3 stop"
            << QStringList { "run.nblg: 1=2026-12-08T07:00:01+01:00: "
                             "started@1=2026-12-08T07:00:01+01:00; "
                             "stopped@3=2026-12-08T07:00:02+01:00" };
        // The last reading came at 07:00:09.6; record 11 holds it, 12 is the first to repeat it.
        QTest::newRow("meter silent and back")
            << "10 mute 4 silent 3 answer 5 stop"
            << QStringList { "run.nblg: 1=2026-12-08T07:00:01+01:00: "
                             "started@1=2026-12-08T07:00:01+01:00; "
                             "meter silent@12=2026-12-08T07:00:09+01:00; "
                             "reconnected@18=2026-12-08T07:00:18+01:00; "
                             "stopped@22=2026-12-08T07:00:21+01:00" };
        // Killed while the silence names a record not written yet: the file names none beyond
        // the data file's.
        QTest::newRow("killed before the silence's record")
            << "10 mute 1 silent"
            << QStringList { "run.nblg: 1=2026-12-08T07:00:01+01:00: "
                             "started@1=2026-12-08T07:00:01+01:00" };
        QTest::newRow("clock set forward")
            << "5 set+3600 3 stop"
            << QStringList { "run.nblg: 1=2026-12-08T07:00:01+01:00: "
                             "started@1=2026-12-08T07:00:01+01:00; "
                             "clock step@6=2026-12-08T08:00:05+01:00/3600; "
                             "stopped@8=2026-12-08T08:00:07+01:00" };
        QTest::newRow("clock set back")
            << "5 set-3600 3 stop"
            << QStringList { "run.nblg: 1=2026-12-08T07:00:01+01:00: "
                             "started@1=2026-12-08T07:00:01+01:00; "
                             "clock step@6=2026-12-08T06:00:05+01:00/-3600; "
                             "stopped@8=2026-12-08T06:00:07+01:00" };
        // Asleep for 30 hours: the time passed, the clock was not set.
        QTest::newRow("asleep for 30 hours")
            << "5 sleep+108000 3 stop"
            << QStringList { "run.nblg: 1=2026-12-08T07:00:01+01:00: "
                             "started@1=2026-12-08T07:00:01+01:00; "
                             "clock step@6=2026-12-09T13:00:04+01:00/0; "
                             "stopped@9=2026-12-09T13:00:07+01:00" };
        QTest::newRow("daylight saving ends")
            << "5 dst-3600 3 stop"
            << QStringList { "run.nblg: 1=2026-12-08T07:00:01+01:00: "
                             "started@1=2026-12-08T07:00:01+01:00; "
                             "offset change@6=2026-12-08T06:00:05+00:00; "
                             "stopped@8=2026-12-08T06:00:07+00:00" };
        QTest::newRow("daylight saving begins")
            << "5 dst+3600 3 stop"
            << QStringList { "run.nblg: 1=2026-12-08T07:00:01+01:00: "
                             "started@1=2026-12-08T07:00:01+01:00; "
                             "offset change@6=2026-12-08T08:00:05+02:00; "
                             "stopped@8=2026-12-08T08:00:07+02:00" };
        // The first record at the new interval comes with the next tick.
        QTest::newRow("interval changed")
            << "5 every+60 121 stop"
            << QStringList { "run.nblg: 1=2026-12-08T07:00:01+01:00: "
                             "started@1=2026-12-08T07:00:01+01:00; "
                             "interval change@6=2026-12-08T07:00:05+01:00/60; "
                             "stopped@8=2026-12-08T07:02:00+01:00" };
        // A day of routine resynchronisations makes no event; the new part starts still silent.
        QTest::newRow("split while silent")
            << "34790 mute 5 silent 8 stop"
            << QStringList { "run-1.nblg: 34801=2026-12-08T16:16:51+01:00: "
                             "part started@34801=2026-12-08T16:16:51+01:00; "
                             "meter silent@34801=2026-12-08T16:16:38+01:00; "
                             "stopped@34803=2026-12-08T16:16:50+01:00",
                   "run.nblg: 1=2026-12-08T07:00:01+01:00: started@1=2026-12-08T07:00:01+01:00; "
                   "meter silent@34792=2026-12-08T16:16:38+01:00" };
    }
    void eventsAtTheirRecords()
    {
        QFETCH(QString, script);
        QFETCH(QStringList, files);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("run.nblg"));
        // Dates left by the file this recording replaces.
        QFile stale(DatesFilePath(path));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write(R"({"dates":"recorded","first":{"record":7,"at":"2026-01-01T00:00:00Z"}})");
        stale.close();

        Rig rig(path);
        rig.startRecording();
        QSignalSpy failed(&rig.keeper, &DatesKeeper::datesFailed);
        rig.run(script);

        QStringList found;
        const QStringList names = QDir(dir.path()).entryList({ "*.nblg" }, QDir::Files, QDir::Name);
        for (const QString& name : names) {
            const QString dataFile = dir.filePath(name);
            RecordingDates dates;
            QString error;
            if (ReadDatesFile(dataFile, &dates, &error) != DatesRead::Read)
                continue;
            QCOMPARE(dates.port, QStringLiteral("COM1"));
            QCOMPARE(dates.usbSerial, QStringLiteral("A1"));
            QString warning;
            QVERIFY2(FittingDates(dataFile, &warning).has_value(), qPrintable(warning));
            found << name + QStringLiteral(": ") + DatesLine(dates);
        }
        QCOMPARE(found, files);
        QCOMPARE(failed.count(), 0);
    }

    // The report dates the records by the file written: a sleep of 30 hours is 30 hours, a
    // fall back of an hour stays on the day.
    void reportReadsTheDates_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<qint64>("record");
        QTest::addColumn<QString>("dated");
        QTest::newRow("before the sleep")
            << "5 sleep+108000 3 stop" << qint64(5) << "2026-12-08T07:00:05+01:00";
        QTest::newRow("after the sleep")
            << "5 sleep+108000 3 stop" << qint64(9) << "2026-12-09T13:00:07+01:00";
        QTest::newRow("after the fall back")
            << "5 dst-3600 3 stop" << qint64(7) << "2026-12-08T06:00:06+00:00";
        QTest::newRow("after the clock set back")
            << "5 set-3600 3 stop" << qint64(8) << "2026-12-08T06:00:07+01:00";
        // Hourly (3,456 s of ticks) from the sixth record on: midnight passes 18 records later.
        QTest::newRow("past midnight at a longer interval")
            << "5 every+3600 72000 stop" << qint64(25) << "2026-12-09T01:14:29+01:00";
    }
    void reportReadsTheDates()
    {
        QFETCH(QString, script);
        QFETCH(qint64, record);
        QFETCH(QString, dated);
        QTemporaryDir dir;
        Rig rig(dir.filePath(QStringLiteral("run.nblg")));
        rig.startRecording();
        rig.run(script);

        QString warning;
        const auto dates = FittingDates(rig.path, &warning);
        QVERIFY2(dates.has_value(), qPrintable(warning));
        QFile file(rig.path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        file.readLine(); // the header
        RecordDater dater;
        dater.beginSource(&*dates);
        QString found;
        while (!file.atEnd()) {
            const QList<QByteArray> cells = file.readLine().split('\t');
            const qint64 number = cells.value(0).toLongLong();
            const QTime time = QTime::fromString(QString::fromLatin1(cells.value(1)), "hh:mm:ss");
            const RecordStamp stamp = dater.date(number, time.msecsSinceStartOfDay() / 1000);
            if (number == record)
                found = ReportDateTimeText(dater.firstDate(), stamp.at, stamp.offset);
        }
        QCOMPARE(found, dated);
    }

    // A dates file that cannot be written is told once per recording, and the records go on.
    void failureIsToldOnce()
    {
        QTemporaryDir dir;
        Rig rig(dir.filePath(QStringLiteral("run.nblg")));
        QVERIFY(QDir().mkdir(DatesFilePath(rig.path)));
        QSignalSpy failed(&rig.keeper, &DatesKeeper::datesFailed);
        for (int recording = 1; recording <= 2; ++recording) {
            rig.startRecording();
            rig.run(QStringLiteral("3 mute 4 silent 3 answer 3 stop"));
            QCOMPARE(failed.count(), recording);
        }
        QVERIFY(failed.first().first().toString().contains(QStringLiteral("run.nblg.dates.json")));
        QFile data(rig.path);
        QVERIFY(data.open(QIODevice::ReadOnly));
        QCOMPARE(data.readAll().count("\r\n"), 1 + 13);
    }
};

QTEST_GUILESS_MAIN(TestDatesKeeper)
#include "test_dateskeeper.moc"
