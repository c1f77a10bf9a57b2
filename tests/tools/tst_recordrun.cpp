// nimbrel-record's logic on the fake clock and a fake link: when recording starts and stops,
// what it tells, the file it writes, its durations and its status line.
#include "acquisition/metersession.h"
#include "meter/framebytes.h"
#include "platform/clock.h"
#include "recordevents.h"
#include "recording/datafileformat.h"
#include "recordoptions.h"
#include "recordrun.h"
#include "recordstatus.h"
#include "support/fakeclock.h"
#include "support/fakes.h"

#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace
{
// The events in a few words each, in order.
class EventLog final : public RecordEvents
{
public:
    QStringList events;
    void waitingForMeter() override { events << QStringLiteral("waiting"); }
    void recordingStarted(const QString&) override { events << QStringLiteral("started"); }
    void partStarted(qint64 part, const QString&) override
    {
        events << QStringLiteral("part %1").arg(part);
    }
    void meterSilent() override { events << QStringLiteral("silent"); }
    void meterAnswering() override { events << QStringLiteral("answering"); }
    void portLost() override { events << QStringLiteral("lost"); }
    void portRestored() override { events << QStringLiteral("restored"); }
    void recordingStopped(qint64 records, const QString& why) override
    {
        events << QStringLiteral("stopped %1 %2").arg(records).arg(why);
    }
    void recordWritten(qint64 number, const QString&) override { lastNumber = number; }
    qint64 lastNumber = 0;
};

// A meter that sends a live frame every 500 ms while it streams.
struct Meter {
    FakeSerialLink& link;
    Timer* timer;
    bool streaming = true;
    Meter(FakeSerialLink& l, Clock& clock)
        : link(l)
        , timer(clock.createTimer(nullptr))
    {
        QObject::connect(timer, &Timer::timeout, [this] {
            if (streaming)
                link.feed(LiveFrameBytes(812, 453, 235));
        });
        timer->start(500);
    }
    ~Meter() { delete timer; }
};

QList<QByteArray> FileLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines = file.readAll().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}
} // namespace

class TestRecordRun : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void durations_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("seconds"); // -1: refused
        QTest::newRow("seconds") << "90s" << qint64(90);
        QTest::newRow("minutes") << "15m" << qint64(900);
        QTest::newRow("hours") << "12h" << qint64(43200);
        QTest::newRow("days") << "7d" << qint64(604800);
        QTest::newRow("blanks around") << " 2m " << qint64(120);
        QTest::newRow("longest") << "3650d" << qint64(3650) * 86400;
        QTest::newRow("longer than ten years") << "3651d" << qint64(-1);
        QTest::newRow("zero") << "0s" << qint64(-1);
        QTest::newRow("no unit") << "5" << qint64(-1);
        QTest::newRow("other unit") << "5w" << qint64(-1);
        QTest::newRow("negative") << "-3s" << qint64(-1);
        QTest::newRow("fraction") << "1.5h" << qint64(-1);
        QTest::newRow("upper case") << "5M" << qint64(-1);
    }
    void durations()
    {
        QFETCH(QString, text);
        QFETCH(qint64, seconds);
        qint64 read = -1;
        QCOMPARE(ReadDuration(text, &read), seconds >= 0);
        QCOMPARE(read, seconds);
    }

    // One run on the fake clock: what it is told, what it writes, how it ends.
    void run_data()
    {
        QTest::addColumn<int>("interval");
        QTest::addColumn<qint64>("forSeconds");
        QTest::addColumn<QString>("script"); // steps: "Ns" runs N s, "quiet", "stream", "lose",
                                             // "restore", "stop"
        QTest::addColumn<qint64>("records");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<int>("status");

        // The first reading is in at about 1 s (the cycle decodes every other frame); the samples
        // then fall on the recorder's ticks, 0.96 s apart.
        QTest::newRow("for 5 s every second")
            << 1 << qint64(5) << "20s" << qint64(5)
            << QStringList { "waiting", "started", "stopped 5 done" } << 0;
        QTest::newRow("for 1 minute every 10 s")
            << 10 << qint64(60) << "100s" << qint64(6)
            << QStringList { "waiting", "started", "stopped 6 done" } << 0;
        QTest::newRow("stopped by a signal")
            << 1 << qint64(0) << "10s stop 10s" << qint64(9)
            << QStringList { "waiting", "started", "stopped 9 SIGTERM" } << 0;
        // A silent meter: the display keeps its last values and the records go on.
        QTest::newRow("meter silent, then answering")
            << 2 << qint64(30) << "5s quiet 10s stream 20s" << qint64(15)
            << QStringList { "waiting", "started", "silent", "answering", "stopped 15 done" } << 0;
        // Records go on while the port is away, and after it is back, in the same file.
        QTest::newRow("port lost and back")
            << 1 << qint64(0) << "3s lose 4s restore 3s stop" << qint64(9)
            << QStringList { "waiting", "started", "lost", "restored", "stopped 9 SIGTERM" } << 0;
        QTest::newRow("never heard: no file")
            << 1 << qint64(0) << "quiet 10s stop" << qint64(0)
            << QStringList { "waiting", "silent", "stopped 0 SIGTERM" } << 0;
    }
    void run()
    {
        QFETCH(int, interval);
        QFETCH(qint64, forSeconds);
        QFETCH(QString, script);
        QFETCH(qint64, records);
        QFETCH(QStringList, events);
        QFETCH(int, status);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("room.nblg"));
        FakeClock clock;
        FakeSerialLink link;
        Meter meter(link, clock);
        RecordRun run(link, clock, RecordPlan { path, interval, forSeconds, 1 });
        EventLog log;
        run.addListener(&log);
        QSignalSpy finished(&run, &RecordRun::finished);
        QVERIFY(run.start());
        for (const QString& step : script.split(QLatin1Char(' '))) {
            if (step.endsWith(QLatin1Char('s')))
                clock.advance(step.chopped(1).toLongLong() * 1000);
            else if (step == QLatin1String("quiet"))
                meter.streaming = false;
            else if (step == QLatin1String("stream"))
                meter.streaming = true;
            else if (step == QLatin1String("lose"))
                link.loseLink();
            else if (step == QLatin1String("restore"))
                link.restoreLink();
            else if (step == QLatin1String("stop"))
                run.stop(QStringLiteral("SIGTERM"));
        }
        QCOMPARE(log.events, events);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.first().first().toInt(), status);
        QCOMPARE(log.lastNumber, records);
        if (records == 0) {
            QVERIFY(!QFile::exists(path));
            return;
        }
        // The header, then every record told, numbered from 1, each a whole line.
        const QList<QByteArray> lines = FileLines(path);
        QCOMPARE(lines.size(), records + 1);
        QCOMPARE(lines.first(), QByteArray(HeaderLine().toLatin1() + '\r'));
        for (qint64 i = 1; i <= records; ++i) {
            QVERIFY(lines[i].startsWith(QByteArray(QByteArray::number(i) + '\t')));
            QVERIFY(lines[i].endsWith('\r'));
            QCOMPARE(lines[i].count('\t'), 9);
        }
        // Stopped: nothing more is written, whatever the clock does.
        clock.advance(10000);
        QCOMPARE(FileLines(path).size(), records + 1);
    }

    // A recording that outgrows a part goes on in the next one, and says so.
    void partsAreTold()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("long.nblg"));
        FakeClock clock;
        FakeSerialLink link;
        Meter meter(link, clock);
        RecordRun run(link, clock, RecordPlan { path, 1, 0, 1 });
        EventLog log;
        run.addListener(&log);
        QVERIFY(run.start());
        clock.advance(2000);
        meter.streaming = false; // the rest repeats the last reading: fewer ticks to run
        clock.advance(qint64(34800) * 960);
        QCOMPARE(log.events, (QStringList { "waiting", "started", "silent", "part 1" }));
        QCOMPARE(log.lastNumber, qint64(34801));
        QCOMPARE(FileLines(SplitPartName(path, 1)).size(), 1 + 1);
        QVERIFY(FileLines(SplitPartName(path, 1)).at(1).startsWith(QByteArray("34801\t")));
    }

    // What the status shows on a terminal and in a journal.
    void status_data()
    {
        QTest::addColumn<bool>("terminal");
        QTest::addColumn<QList<int>>("recordTimes"); // ms on the clock
        QTest::addColumn<bool>("silentAtEnd");
        QTest::addColumn<int>("statusLines"); // times the status line was drawn
        QTest::addColumn<int>("eventLines");
        QTest::newRow("journal: events only")
            << false << QList<int> { 0, 1000, 2000, 3000 } << true << 0 << 1;
        QTest::newRow("terminal: every second")
            << true << QList<int> { 0, 1000, 2000, 3000 } << false << 4 << 0;
        // A line held back by the limit is drawn when the second is over.
        QTest::newRow("terminal: at most once a second")
            << true << QList<int> { 0, 300, 900, 1000, 1500, 2600 } << false << 4 << 0;
        QTest::newRow("terminal: records 0.96 s apart")
            << true << QList<int> { 0, 960, 1920, 2880 } << false << 4 << 0;
        // An event line goes above the status line, which is drawn again under it.
        QTest::newRow("terminal: an event redraws")
            << true << QList<int> { 0, 200 } << true << 2 << 1;
    }
    void status()
    {
        QFETCH(bool, terminal);
        QFETCH(QList<int>, recordTimes);
        QFETCH(bool, silentAtEnd);
        QFETCH(int, statusLines);
        QFETCH(int, eventLines);
        FakeClock clock;
        QByteArray out;
        RecordStatus status([&out](const QByteArray& bytes) { out += bytes; }, terminal, clock);
        status.setPortLabel(QStringLiteral("COM1 (/dev/ttyUSB0)"));
        qint64 now = 0;
        int number = 0;
        for (const int at : recordTimes) {
            clock.advance(at - now);
            now = at;
            ++number;
            status.recordWritten(number,
                QStringLiteral("12:00:0%1\t812\t23.5\t10.8\t15.9\t45.3\t74.3\t51.4\t60.6")
                    .arg(number));
        }
        if (silentAtEnd)
            status.meterSilent();
        clock.advance(1000);
        const QByteArray drawn = "  |  12:00:0";
        QCOMPARE(out.count(drawn), statusLines);
        QCOMPARE(out.count("nimbrel-record-tests: ") + out.count("tst_recordrun: "), eventLines);
        QCOMPARE(out.contains('\r'), terminal && statusLines > 1);
        if (terminal)
            QVERIFY(out.endsWith(StatusLine(number,
                QStringLiteral("12:00:0%1\t812\t23.5\t10.8\t15.9\t45.3\t74.3\t51.4\t60.6")
                    .arg(number),
                silentAtEnd ? QStringLiteral("COM1 (/dev/ttyUSB0) meter silent")
                            : QStringLiteral("COM1 (/dev/ttyUSB0)"))
                                     .toLocal8Bit()));
    }
};

QTEST_GUILESS_MAIN(TestRecordRun)
#include "tst_recordrun.moc"
