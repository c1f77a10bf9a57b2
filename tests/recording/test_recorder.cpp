#include "recording/datafileformat.h"
#include "recording/datafilehandle.h"
#include "recording/datafilewriter.h"
#include "recording/recorder.h"
#include "recording/recordingstate.h"
#include "support/fakeclock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace
{

const QStringList kTexts = { "415", "23.4", "12.1", "16.2", "48.9", "74.1", "53.7", "61.1" };

// Files in memory; writes fail while failWrites is set, opens while failOpen is set.
class FakeWriter final : public DataFileWriter
{
public:
    QMap<QString, QByteArray>& files;
    bool failWrites = false;
    bool failOpen = false;
    QString current;
    bool open_ = false;

    explicit FakeWriter(QMap<QString, QByteArray>& store)
        : files(store)
    {
    }
    bool open(const QString& path) override
    {
        open_ = false;
        if (failOpen)
            return false;
        current = path;
        files[path].clear();
        open_ = true;
        return true;
    }
    bool write(const QByteArray& bytes) override
    {
        if (!open_ || failWrites)
            return false;
        files[current] += bytes;
        return true;
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    QString errorString() const override { return QStringLiteral("No space left on device"); }
};

class FakeLabels final : public RecorderLabels
{
public:
    QString count = "x", rec = "x", title = "x";
    void setRecordCount(const QString& text) override { count = text; }
    void setRecIndicator(const QString& text) override { rec = text; }
    void setFileTitle(const QString& text) override { title = text; }
};

class FakeSink final : public LiveListSink
{
public:
    QStringList rows;
    QStringList dumps;
    bool dumpFails = false;
    void appendSample(const QString& rowText) override { rows.append(rowText); }
    bool dumpLiveList(const QString& fileName) override
    {
        dumps.append(fileName);
        if (dumpFails)
            return false;
        rows.clear();
        return true;
    }
};

QList<QByteArray> Lines(const QByteArray& bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

class TestRecorder : public QObject
{
    Q_OBJECT
private:
    struct Rig {
        FakeClock clock;
        RecordingState state;
        QMap<QString, QByteArray> files;
        FakeWriter* writer = nullptr;
        std::unique_ptr<DataFileHandle> handle;
        FakeLabels labels;
        FakeSink sink;
        std::unique_ptr<Recorder> recorder;
        QStringList samples;
        QList<QTime> sampleTimes; // the clock at each sample

        explicit Rig(const QDateTime& start = QDateTime(QDate(2026, 12, 7), QTime(14, 30, 0)))
            : clock(start)
        {
            auto fake = std::make_unique<FakeWriter>(files);
            writer = fake.get();
            handle = std::make_unique<DataFileHandle>(std::move(fake));
            recorder = std::make_unique<Recorder>(
                state, clock, *handle, [] { return kTexts; }, labels, sink);
            QObject::connect(recorder.get(), &Recorder::sampled, [this](const QString& line) {
                samples.append(line);
                sampleTimes.append(clock.timeOfDay());
            });
            recorder->start();
        }
        // What the toolbar does when recording starts.
        void startRecording(const QString& name)
        {
            state.DataFileName = name;
            QVERIFY(handle->open(name));
            QVERIFY(handle->writeLine(HeaderLine()));
            state.Recording = true;
        }
        void ticks(int n) { clock.advance(qint64(n) * Recorder::kTickMs); }
    };

private Q_SLOTS:
    void timerTicksEvery960ms()
    {
        Rig rig;
        QCOMPARE(rig.recorder->timer2().objectName(), QStringLiteral("Timer2"));
        QVERIFY(rig.recorder->timer2().isActive());
        rig.clock.advance(959);
        QCOMPARE(rig.samples.size(), 0);
        rig.clock.advance(1);
        QCOMPARE(rig.samples.size(), 1);
    }

    // Which of the first ticks take a sample.
    void sampleTicks_data()
    {
        QTest::addColumn<int>("interval");
        QTest::addColumn<QList<int>>("sampledTicks");
        QTest::newRow("1: every tick") << 1 << QList<int> { 1, 2, 3, 4, 5, 6, 7, 8 };
        QTest::newRow("2: every second tick") << 2 << QList<int> { 1, 3, 5, 7 };
        QTest::newRow("3") << 3 << QList<int> { 1, 4, 7 };
    }
    void sampleTicks()
    {
        QFETCH(int, interval);
        QFETCH(QList<int>, sampledTicks);
        Rig rig;
        rig.state.SamplingSeconds = interval;
        QList<int> taken;
        for (int tick = 1; tick <= 8; ++tick) {
            const int before = rig.samples.size();
            rig.ticks(1);
            if (rig.samples.size() > before)
                taken.append(tick);
        }
        QCOMPARE(taken, sampledTicks);
    }

    // The "Sample" command sets SampleTicks to 0: the next tick samples at once.
    void tickAfterNewIntervalSamples()
    {
        Rig rig;
        rig.state.SamplingSeconds = 10;
        rig.ticks(4);
        QCOMPARE(rig.samples.size(), 1);
        QCOMPARE(rig.state.SampleTicks, 4);
        rig.state.SamplingSeconds = 5;
        rig.state.SampleTicks = 0;
        rig.ticks(1);
        QCOMPARE(rig.samples.size(), 2);
        QCOMPARE(rig.state.SampleTicks, 1);
    }

    // A day's interval counts past 32,767 ticks and still samples.
    void dayLongIntervalKeepsSampling()
    {
        Rig rig;
        rig.state.SamplingSeconds = 86400;
        rig.ticks(1);
        QCOMPARE(rig.samples.size(), 1);
        rig.ticks(86399);
        QCOMPARE(rig.samples.size(), 1);
        QCOMPARE(rig.state.SampleTicks, 86400);
        rig.ticks(1);
        QCOMPARE(rig.samples.size(), 2);
    }

    void recordLineIsStampAndEightTexts()
    {
        Rig rig;
        rig.ticks(1);
        QCOMPARE(rig.samples.first(), QStringLiteral("14:30:02\t") + kTexts.join('\t'));
        QCOMPARE(rig.recorder->sampleStamp(), QStringLiteral("14:30:02"));
    }

    // Stamps move by whole intervals while ticks are 0.96 s: the drift check pulls the stamp back
    // to the clock once they are 4 seconds apart, so it never runs further ahead.
    void stampsDriftAndResynchronise()
    {
        Rig rig;
        rig.ticks(400);
        QCOMPARE(rig.samples.size(), 200);
        int resyncs = 0;
        QTime previous(14, 30, 0);
        for (int i = 0; i < rig.samples.size(); ++i) {
            const QTime stamp = QTime::fromString(rig.samples.at(i).left(8), "hh:mm:ss");
            const QTime now = rig.sampleTimes.at(i);
            const QTime nowSeconds(now.hour(), now.minute(), now.second());
            if (previous.secsTo(stamp) != 2) {
                // Only a resynchronisation breaks the 2-second steps, and it lands on the clock.
                QCOMPARE(stamp, nowSeconds);
                ++resyncs;
            }
            QVERIFY2(nowSeconds.secsTo(stamp) < 4, qPrintable(rig.samples.at(i)));
            previous = stamp;
        }
        // 0.08 s of drift a sample: about one resynchronisation every 25 samples.
        QVERIFY(resyncs >= 6 && resyncs <= 10);
    }

    void stampRules_data()
    {
        QTest::addColumn<QTime>("stamp");
        QTest::addColumn<QTime>("now");
        QTest::addColumn<bool>("drifted");
        QTest::newRow("same") << QTime(10, 0, 30) << QTime(10, 0, 30) << false;
        QTest::newRow("3 behind") << QTime(10, 0, 33) << QTime(10, 0, 30) << false;
        QTest::newRow("4 behind") << QTime(10, 0, 34) << QTime(10, 0, 30) << true;
        QTest::newRow("4 ahead") << QTime(10, 0, 26) << QTime(10, 0, 30) << true;
        QTest::newRow("across a minute") << QTime(10, 0, 58) << QTime(10, 1, 1) << true;
        QTest::newRow("an hour off, seconds alike") << QTime(9, 0, 30) << QTime(10, 0, 31) << true;
        QTest::newRow("a minute ahead") << QTime(10, 1, 30) << QTime(10, 0, 30) << true;
        QTest::newRow("36 minutes ahead") << QTime(10, 36, 30) << QTime(10, 0, 30) << true;
        QTest::newRow("57 s ahead across a minute") << QTime(10, 1, 56) << QTime(10, 0, 59) << true;
        QTest::newRow("3 s across midnight") << QTime(0, 0, 1) << QTime(23, 59, 58) << true;
        QTest::newRow("half a day") << QTime(22, 0, 30) << QTime(10, 0, 30) << true;
    }
    void stampRules()
    {
        QFETCH(QTime, stamp);
        QFETCH(QTime, now);
        QFETCH(bool, drifted);
        QCOMPARE(StampDrifted(stamp, now), drifted);
    }

    // Intervals that drift by about whole minutes a sample (0.04 s a second): every stamp stays
    // within 4 seconds of the clock, across midnight too.
    void stampsStayWithTheClock_data()
    {
        QTest::addColumn<int>("interval");
        QTest::newRow("1450 s") << 1450;
        QTest::newRow("1500 s") << 1500;
        QTest::newRow("3000 s") << 3000;
        QTest::newRow("6000 s") << 6000;
        QTest::newRow("9000 s") << 9000;
    }
    void stampsStayWithTheClock()
    {
        QFETCH(int, interval);
        Rig rig;
        rig.state.SamplingSeconds = interval;
        rig.ticks(12 * interval);
        QCOMPARE(rig.samples.size(), 12);
        for (int i = 0; i < rig.samples.size(); ++i) {
            const QTime stamp = QTime::fromString(rig.samples.at(i).left(8), "hh:mm:ss");
            int apart = rig.sampleTimes.at(i).secsTo(stamp);
            if (apart > 43200)
                apart -= 86400;
            else if (apart < -43200)
                apart += 86400;
            QVERIFY2(apart > -4 && apart < 4, qPrintable(rig.samples.at(i)));
        }
    }

    void stampWrapsAtMidnight()
    {
        QCOMPARE(AdvanceStamp(QTime(23, 59, 59), 2), QTime(0, 0, 1));
        QCOMPARE(AdvanceStamp(QTime(12, 0, 0), 86400), QTime(12, 0, 0));
        Rig rig(QDateTime(QDate(2026, 12, 7), QTime(23, 59, 59, 900)));
        rig.state.SamplingSeconds = 1;
        rig.ticks(1);
        QCOMPARE(rig.recorder->sampleStamp(), QStringLiteral("00:00:00"));
    }

    void clockJumpResetsTheStamp()
    {
        Rig rig;
        rig.ticks(1);
        rig.clock.setWallClock(QDateTime(QDate(2026, 12, 7), QTime(16, 5, 40)));
        rig.ticks(2);
        QCOMPARE(rig.recorder->sampleStamp(), QStringLiteral("16:05:41"));
    }

    void recordsAreWrittenAndCounted()
    {
        Rig rig;
        rig.state.SamplingSeconds = 1;
        rig.startRecording("/data/run.nblg");
        rig.ticks(3);
        const QList<QByteArray> lines = Lines(rig.files.value("/data/run.nblg"));
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines.at(0) + '\n', FileLineBytes(HeaderLine()));
        QCOMPARE(lines.at(1) + '\n', FileLineBytes("1\t14:30:01\t" + kTexts.join('\t')));
        QCOMPARE(lines.at(3) + '\n', FileLineBytes("3\t14:30:03\t" + kTexts.join('\t')));
        QCOMPARE(rig.state.RecordCount, 3);
        QCOMPARE(rig.labels.count, QStringLiteral("3"));
        QCOMPARE(rig.labels.rec, QStringLiteral("Rec"));
    }

    void idleTicksClearTheLabels()
    {
        Rig rig;
        rig.state.RecordCount = 12;
        rig.ticks(1);
        QCOMPARE(rig.labels.count, QString());
        QCOMPARE(rig.labels.rec, QString());
        QCOMPARE(rig.labels.title, QString());
        QCOMPARE(rig.state.RecordCount, 0);
    }

    // The first part holds records 1 to 34800; record 34801 opens part "-1" after its header.
    void recordingSplitsIntoParts()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        FakeClock clock;
        RecordingState state;
        state.SamplingSeconds = 1;
        DataFileHandle handle; // real files on disk
        FakeLabels labels;
        FakeSink sink;
        Recorder recorder(
            state, clock, handle, [] { return kTexts; }, labels, sink);
        recorder.start();
        state.DataFileName = dir.filePath("run.nblg");
        QVERIFY(handle.open(state.DataFileName));
        QVERIFY(handle.writeLine(HeaderLine()));
        state.Recording = true;
        for (int i = 0; i < 34801; ++i)
            recorder.tick();

        QFile first(dir.filePath("run.nblg"));
        QVERIFY(first.open(QIODevice::ReadOnly));
        const QList<QByteArray> part0 = Lines(first.readAll());
        QCOMPARE(part0.size(), 34801);
        QVERIFY(part0.last().startsWith("34800\t"));
        QFile second(dir.filePath("run-1.nblg"));
        QVERIFY(second.open(QIODevice::ReadOnly));
        const QList<QByteArray> part1 = Lines(second.readAll());
        QCOMPARE(part1.size(), 2);
        QCOMPARE(part1.at(0) + '\n', FileLineBytes(HeaderLine()));
        QVERIFY(part1.at(1).startsWith("34801\t"));
        QCOMPARE(state.FilePart, 1);
        QCOMPARE(state.RecordCount, 34801);
        QCOMPARE(state.DataFileName, dir.filePath("run.nblg"));
    }

    // A folder whose name holds a "." keeps the parts together: the part number goes into the
    // file's own name, beside the first part.
    void nextPartBesideTheFirst_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("partName");
        QTest::newRow("dotted folder") << "ann.lee/run.nblg"
                                       << "ann.lee/run-1.nblg";
        QTest::newRow("dotted folder, name without a dot") << "ann.lee/run"
                                                           << "ann.lee/run-1";
        QTest::newRow("plain folder") << "ann/run.nblg"
                                      << "ann/run-1.nblg";
    }
    void nextPartBesideTheFirst()
    {
        QFETCH(QString, name);
        QFETCH(QString, partName);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkpath(QFileInfo(dir.filePath(name)).path()));
        FakeClock clock;
        RecordingState state;
        state.SamplingSeconds = 1;
        DataFileHandle handle;
        FakeLabels labels;
        FakeSink sink;
        Recorder recorder(
            state, clock, handle, [] { return kTexts; }, labels, sink);
        recorder.start();
        state.DataFileName = dir.filePath(name);
        QVERIFY(handle.open(state.DataFileName));
        QVERIFY(handle.writeLine(HeaderLine()));
        state.Recording = true;
        recorder.tick();
        state.RecordCount = 34800; // as if the part were full
        recorder.tick();
        QFile part(dir.filePath(partName));
        QVERIFY(part.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = Lines(part.readAll());
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.at(0) + '\n', FileLineBytes(HeaderLine()));
        QVERIFY(lines.at(1).startsWith("34801\t"));
        QCOMPARE(state.RecordCount, 34801);
        QCOMPARE(labels.rec, QStringLiteral("Rec"));
    }

    // A full disk: the record is not counted and not shown; the next tick writes it with the
    // same number once there is room again.
    void failedWritesAreNotCounted()
    {
        Rig rig;
        rig.state.SamplingSeconds = 1;
        rig.startRecording("/data/run.nblg");
        rig.ticks(2);
        rig.writer->failWrites = true;
        rig.ticks(3);
        QCOMPARE(rig.state.RecordCount, 2);
        QCOMPARE(rig.labels.count, QStringLiteral("2"));
        rig.writer->failWrites = false;
        rig.ticks(1);
        QCOMPARE(rig.state.RecordCount, 3);
        const QList<QByteArray> lines = Lines(rig.files.value("/data/run.nblg"));
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines.at(3).startsWith("3\t"));
    }

    // The next part cannot be opened, then its first record cannot be written: no record is
    // counted and no further part is started for the same record.
    void failedPartIsRetried()
    {
        Rig rig;
        rig.state.SamplingSeconds = 1;
        rig.startRecording("/data/run.nblg");
        rig.ticks(1);
        rig.state.RecordCount = 34800; // as if the part were full
        rig.writer->failOpen = true;
        rig.ticks(2);
        QCOMPARE(rig.state.RecordCount, 34800);
        QCOMPARE(rig.state.FilePart, 0);
        rig.writer->failOpen = false;
        rig.ticks(1);
        QCOMPARE(rig.state.RecordCount, 34801);
        QCOMPARE(rig.state.FilePart, 1);

        rig.state.RecordCount = 69600;
        rig.writer->failWrites = true;
        rig.ticks(2);
        QCOMPARE(rig.state.RecordCount, 69600);
        QCOMPARE(rig.files.value("/data/run-2.nblg"), QByteArray());
        rig.writer->failWrites = false;
        rig.ticks(1);
        QCOMPARE(rig.state.FilePart, 2);
        QCOMPARE(rig.state.RecordCount, 69601);
        QVERIFY(!rig.files.contains("/data/run-3.nblg"));
        const QList<QByteArray> lines = Lines(rig.files.value("/data/run-2.nblg"));
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines.at(1).startsWith("69601\t"));
    }

    // Samples that cannot reach the file: the user is told once, with the file and the reason,
    // LblRec says so, the live list keeps sampling; recording goes on once writing works again,
    // and a later failure is told again.
    void failureIsToldOnce_data()
    {
        QTest::addColumn<bool>("atNewPart");
        QTest::addColumn<QString>("file");
        QTest::newRow("next part cannot be created") << true << "/data/run-1.nblg";
        QTest::newRow("record cannot be written") << false << "/data/run.nblg";
    }
    void failureIsToldOnce()
    {
        QFETCH(bool, atNewPart);
        QFETCH(QString, file);
        Rig rig;
        QSignalSpy told(rig.recorder.get(), &Recorder::recordingFailed);
        rig.state.SamplingSeconds = 1;
        rig.state.ListOpen = true;
        rig.startRecording("/data/run.nblg");
        rig.ticks(1);
        if (atNewPart) {
            rig.state.RecordCount = 34800;
            rig.writer->failOpen = true;
        } else {
            rig.writer->failWrites = true;
        }
        const qint64 written = rig.state.RecordCount;
        rig.ticks(3);
        QCOMPARE(told.count(), 1);
        const QString message = told.first().first().toString();
        QVERIFY2(message.contains(file) && message.contains("No space left on device"),
            qPrintable(message));
        QCOMPARE(rig.labels.rec, Recorder::failedIndicator());
        QCOMPARE(rig.state.RecordCount, written);
        QCOMPARE(rig.sink.rows.size(), 4);

        rig.writer->failOpen = false;
        rig.writer->failWrites = false;
        rig.ticks(1);
        QCOMPARE(rig.labels.rec, QStringLiteral("Rec"));
        rig.writer->failWrites = true;
        rig.ticks(2);
        QCOMPARE(told.count(), 2);
    }

    // The folder of the recording is gone when the next part is due: the real reason is told.
    void goneFolderIsTold()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        FakeClock clock;
        RecordingState state;
        state.SamplingSeconds = 1;
        DataFileHandle handle;
        FakeLabels labels;
        FakeSink sink;
        Recorder recorder(
            state, clock, handle, [] { return kTexts; }, labels, sink);
        QSignalSpy told(&recorder, &Recorder::recordingFailed);
        recorder.start();
        const QString folder = dir.filePath("ann.lee");
        QVERIFY(QDir().mkpath(folder));
        state.DataFileName = folder + "/run.nblg";
        QVERIFY(handle.open(state.DataFileName));
        QVERIFY(handle.writeLine(HeaderLine()));
        state.Recording = true;
        recorder.tick();
        QVERIFY(QDir(folder).removeRecursively());
        state.RecordCount = 34800;
        recorder.tick();
        QCOMPARE(told.count(), 1);
        QCOMPARE(told.first().first().toString(),
            QStringLiteral("Samples are not being recorded: cannot create %1 (No such file or "
                           "directory).")
                .arg(folder + "/run-1.nblg"));
    }

    void liveListRowsAndDump()
    {
        Rig rig;
        rig.state.SamplingSeconds = 1;
        rig.state.ListOpen = true;
        rig.ticks(2);
        QCOMPARE(rig.sink.rows.size(), 2);
        QCOMPARE(rig.sink.rows.at(1), QStringLiteral("2\t14:30:02\t") + kTexts.join('\t'));

        rig.state.ListRowCount = 34799;
        rig.ticks(1);
        QCOMPARE(rig.sink.dumps.size(), 1);
        QCOMPARE(rig.sink.dumps.first(), QStringLiteral("1207143002.nblg"));
        rig.ticks(1);
        QCOMPARE(
            rig.sink.rows, QStringList { QStringLiteral("34801\t14:30:04\t") + kTexts.join('\t') });
        QCOMPARE(rig.state.ListRowCount, 34801);
    }

    void closedListTakesNoRows()
    {
        Rig rig;
        rig.ticks(3);
        QVERIFY(rig.sink.rows.isEmpty());
        QCOMPARE(rig.state.ListRowCount, 0);
    }
};

QTEST_GUILESS_MAIN(TestRecorder)
#include "test_recorder.moc"
