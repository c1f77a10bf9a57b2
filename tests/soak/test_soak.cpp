// A long run of the whole program in simulated time: the virtual meter's frame source and dump
// session play the meter on a scripted link, the program records every second into a data file,
// the live list and the real-time graph stay open, and the meter dumps its logger every hour.
// At the end every record number from 1 to the count must be in the files exactly once, across
// the parts of the recording, and the live list's own numbering must be continuous across its
// dumps. NIMBREL_SOAK_HOURS sets the simulated hours (a short run by default; scripts/soak.sh
// runs a day).
#include "acquisition/acquisitioncycle.h"
#include "acquisition/metersession.h"
#include "app/application.h"
#include "app/panel.h"
#include "app/toolbarcommands.h"
#include "graphs/graphwindows.h"
#include "lists/gridmodel.h"
#include "lists/list.h"
#include "lists/listwindows.h"
#include "meter/protocol.h"
#include "recording/datafileformat.h"
#include "recording/recorder.h"
#include "support/applicationrig.h"
#include "support/fakeclock.h"
#include "support/fakes.h"

#include "dumpsession.h"
#include "liveframesource.h"
#include "loggerimage.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

#include <deque>
#include <map>

namespace
{

constexpr qint64 kHourMs = 3600 * 1000;
constexpr int kLiveIntervalMs = 500;
constexpr double kWireBytesPerMs = kWireBytesPerSecond / 1000.0;
constexpr qint64 kStepMs = 200;

qint64 ResidentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() * sysconf(_SC_PAGESIZE) : -1;
}

// The meter on the far side of a scripted link, on the test's clock: a live frame every 500 ms,
// and on request a logger dump that answers the program's spaces. Bytes travel at wire speed.
class ScriptedMeter
{
public:
    ScriptedMeter(FakeClock& clock, FakeSerialLink& link, const LoggerImage& image)
        : m_clock(clock)
        , m_link(link)
        , m_image(image)
        , m_frames(7)
    {
        m_live = clock.createTimer(&m_owner);
        m_live->setInterval(kLiveIntervalMs);
        QObject::connect(m_live, &Timer::timeout, &m_owner, [this] {
            if (!m_dump.isActive())
                send(m_frames.nextFrame());
        });
        m_deadline = clock.createTimer(&m_owner);
        m_deadline->setSingleShot(true);
        QObject::connect(m_deadline, &Timer::timeout, &m_owner, [this] {
            m_dump.advance(m_clock.monotonicMs());
            afterDumpStep();
        });
        m_wire = clock.createTimer(&m_owner);
        m_wire->setSingleShot(true);
        QObject::connect(m_wire, &Timer::timeout, &m_owner, [this] { deliverDue(); });
        m_link.onWrite = [this](const QByteArray& bytes) {
            if (!m_dump.isActive())
                return;
            m_dump.receive(bytes, m_clock.monotonicMs());
            afterDumpStep();
        };
        m_live->start();
    }

    void startDump()
    {
        m_dump.start(m_image, DumpFaults {}, m_clock.monotonicMs());
        ++m_dumpsStarted;
        afterDumpStep();
    }
    bool dumping() const { return m_dump.isActive(); }
    int dumpsStarted() const { return m_dumpsStarted; }
    int dumpsCompleted() const { return m_dumpsCompleted; }

private:
    void afterDumpStep()
    {
        send(m_dump.takeOutput());
        m_dump.takeEvents();
        if (!m_dump.isActive() && m_dump.completed() && !m_countedCompletion) {
            m_countedCompletion = true;
            ++m_dumpsCompleted;
        }
        if (m_dump.isActive())
            m_countedCompletion = false;
        const qint64 deadline = m_dump.nextDeadlineMs();
        if (deadline >= 0)
            m_deadline->start(int(std::max<qint64>(deadline - m_clock.monotonicMs(), 0)));
        else
            m_deadline->stop();
    }

    // Bytes leave one after another at the wire's pace; each chunk arrives whole when its last
    // byte is through.
    void send(const QByteArray& bytes)
    {
        if (bytes.isEmpty())
            return;
        const qint64 now = m_clock.monotonicMs();
        m_wireFreeAt = std::max(m_wireFreeAt, now) + qint64(bytes.size() / kWireBytesPerMs) + 1;
        m_inFlight.push_back({ m_wireFreeAt, bytes });
        armWire();
    }
    void armWire()
    {
        if (m_inFlight.empty() || m_wire->isActive())
            return;
        m_wire->start(int(std::max<qint64>(m_inFlight.front().first - m_clock.monotonicMs(), 0)));
    }
    void deliverDue()
    {
        while (!m_inFlight.empty() && m_inFlight.front().first <= m_clock.monotonicMs()) {
            const QByteArray bytes = m_inFlight.front().second;
            m_inFlight.pop_front();
            m_link.feed(bytes);
        }
        armWire();
    }

    FakeClock& m_clock;
    FakeSerialLink& m_link;
    const LoggerImage& m_image;
    LiveFrameSource m_frames;
    DumpSession m_dump;
    QObject m_owner;
    Timer* m_live = nullptr;
    Timer* m_deadline = nullptr;
    Timer* m_wire = nullptr;
    std::deque<std::pair<qint64, QByteArray>> m_inFlight;
    qint64 m_wireFreeAt = 0;
    int m_dumpsStarted = 0;
    int m_dumpsCompleted = 0;
    bool m_countedCompletion = true;
};

// Record numbers found in a data file, in file order, after its header line or caption row;
// false when a line is not a whole record. A recorder file holds records, a list dump grid rows.
bool ReadRecordNumbers(const QString& path, bool gridRows, QList<qint64>* numbers, QString* problem)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *problem = path + QStringLiteral(": cannot be read");
        return false;
    }
    const QByteArray all = file.readAll();
    if (!all.isEmpty() && !all.endsWith("\r\n")) {
        *problem = path + QStringLiteral(": last line is cut");
        return false;
    }
    QList<QByteArray> lines = all.split('\n');
    lines.removeLast(); // after the last line end
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = lines.at(i);
        if (!line.endsWith('\r')) {
            *problem = path + QStringLiteral(": line %1 has no CR LF").arg(i + 1);
            return false;
        }
        line.chop(1);
        if (i == 0) {
            if (!line.startsWith("No.s\t")) {
                *problem = path + QStringLiteral(": no header line");
                return false;
            }
            continue;
        }
        if (gridRows)
            line.chop(1); // each cell of a grid row is followed by a tab
        const QList<QByteArray> fields = line.split('\t');
        bool ok = false;
        const qint64 number = fields.at(0).toLongLong(&ok);
        if (fields.size() != 10 || !ok) {
            *problem = path + QStringLiteral(": line %1 is not a record: ").arg(i + 1)
                + QString::fromLatin1(line);
            return false;
        }
        numbers->append(number);
    }
    return true;
}

struct NumberAudit {
    qint64 lost = 0;
    qint64 duplicated = 0;
    qint64 outOfOrder = 0;
};

NumberAudit AuditNumbers(const QList<qint64>& numbers, qint64 first, qint64 last)
{
    NumberAudit audit;
    std::map<qint64, int> seen;
    qint64 previous = first - 1;
    for (qint64 n : numbers) {
        if (++seen[n] > 1)
            ++audit.duplicated;
        if (n != previous + 1)
            ++audit.outOfOrder;
        previous = n;
    }
    for (qint64 n = first; n <= last; ++n) {
        if (!seen.count(n))
            ++audit.lost;
    }
    return audit;
}

} // namespace

class TestSoak : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void dayOfOperation()
    {
        const int hours = qEnvironmentVariableIsSet("NIMBREL_SOAK_HOURS")
            ? qEnvironmentVariableIntValue("NIMBREL_SOAK_HOURS")
            : 1;
        QVERIFY(hours >= 1);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString previousFolder = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path())); // live-list dumps land in the current folder

        LoggerImage image;
        QString error;
        QVERIFY2(image.build(LoggerImage::defaultLayout(), 5, &error), qPrintable(error));

        auto* clock = new FakeClock(QDateTime(QDate(2026, 12, 7), QTime(9, 0, 0)));
        {
            ApplicationRig rig(clock, dir.path());
            Application& app = rig.app;
            FakePrompts* prompts = rig.prompts;
            FakeSerialLink*& link = rig.link;
            QVERIFY(app.openPanel());
            QVERIFY(link);
            ScriptedMeter meter(*clock, *link, image);
            Panel& panel = *app.panel();
            RecordingState& rec = app.state().Rec;
            // Counters, not signal spies: a spy keeps every emission and would itself grow by
            // megabytes over a day.
            qint64 decodedCount = 0, silentCount = 0, sampledCount = 0;
            QObject::connect(&app.session()->acquisition(), &AcquisitionCycle::readingDecoded,
                [&decodedCount] { ++decodedCount; });
            QObject::connect(
                app.session(), &MeterSession::meterSilent, [&silentCount] { ++silentCount; });
            QObject::connect(
                app.recorder(), &Recorder::sampled, [&sampledCount] { ++sampledCount; });

            // Recording every second, the live list and the real-time graph open.
            rec.SamplingSeconds = 1;
            rec.SampleTicks = 0;
            const QString dataPath = dir.filePath("soak.nblg");
            prompts->saveAnswers.enqueue(dataPath);
            app.commands()->run(QStringLiteral("Save"));
            QVERIFY(rec.Recording);
            app.commands()->run(QStringLiteral("List"));
            app.commands()->run(QStringLiteral("Graph"));
            QVERIFY(app.listWindows()->liveList());
            QVERIFY(app.graphs()->realTimeGraph());

            qint64 rssHour1 = 0;
            qint64 rssPeak = 0;
            const qint64 totalMs = hours * kHourMs;
            int dumpsChecked = 0;
            for (qint64 t = kStepMs; t <= totalMs; t += kStepMs) {
                clock->advance(kStepMs);
                QCoreApplication::processEvents();
                if (t % 1000 == 0)
                    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                // Half past each hour the meter dumps its logger; every set must arrive whole.
                if (t % kHourMs == kHourMs / 2) {
                    app.state().Logger.LoggerSetCounts.fill(-1);
                    meter.startDump();
                }
                if (t % kHourMs == kHourMs / 2 + 60000) {
                    QVERIFY2(!meter.dumping(), "a dump took longer than a minute");
                    QCOMPARE(meter.dumpsCompleted(), meter.dumpsStarted());
                    for (int s = 0; s < image.setCount(); ++s) {
                        QCOMPARE(app.state().Logger.LoggerSetCounts.at(std::size_t(s + 1)),
                            image.setRecords(s));
                        QCOMPARE(app.state().Logger.LoggerSetData.at(std::size_t(s + 1)),
                            image.bytes().mid(image.setOffset(s),
                                LoggerImage::kHeaderSize
                                    + image.setRecords(s) * LoggerImage::kRecordSize));
                    }
                    ++dumpsChecked;
                }
                if (t % kHourMs == 0) {
                    const qint64 rss = ResidentBytes();
                    rssPeak = std::max(rssPeak, rss);
                    if (t == kHourMs)
                        rssHour1 = rss;
                    qInfo("soak: hour %lld, samples %lld, rows in the live list %d, windows %d, "
                          "resident %lld KiB",
                        t / kHourMs, sampledCount,
                        app.listWindows()->liveList()
                            ? app.listWindows()->liveList()->model().rowCount()
                            : -1,
                        int(QApplication::topLevelWidgets().size()), rss / 1024);
                }
            }
            const qint64 rssEnd = ResidentBytes();

            // The meter never looked silent, the windows stayed open, nothing went wrong.
            QCOMPARE(silentCount, 0);
            QVERIFY(prompts->messages.isEmpty());
            QVERIFY(app.graphs()->realTimeGraph());
            QVERIFY(app.listWindows()->liveList());
            QCOMPARE(dumpsChecked, hours);
            // About one reading a second (two frames make the 15 bytes a tick waits for).
            QVERIFY2(
                decodedCount >= totalMs / 1000 * 9 / 10, qPrintable(QString::number(decodedCount)));

            // One sample a Timer2 tick, each recorded and listed once.
            const qint64 samples = sampledCount;
            QCOMPARE(samples, totalMs / Recorder::kTickMs);
            QCOMPARE(rec.RecordCount, samples);
            QCOMPARE(rec.ListRowCount, samples);
            QCOMPARE(panel.label("LblCount")->text(), QString::number(samples));

            // Stop recording so the file is closed, then read every part.
            app.commands()->run(QStringLiteral("Save"));
            QVERIFY(!rec.Recording);
            QList<qint64> recorded;
            QString problem;
            const qint64 parts = (samples - 1) / Recorder::kSplitSize + 1;
            for (qint64 part = 0; part < parts; ++part) {
                const QString path = part == 0 ? dataPath : SplitPartName(dataPath, part);
                const qsizetype before = recorded.size();
                QVERIFY2(ReadRecordNumbers(path, false, &recorded, &problem), qPrintable(problem));
                QVERIFY(recorded.size() - before <= Recorder::kSplitSize);
            }
            QVERIFY(!QFile::exists(SplitPartName(dataPath, parts)));
            const NumberAudit fileAudit = AuditNumbers(recorded, 1, samples);

            // The live list: its dumps in the folder, then the rows it holds now.
            QList<qint64> listed;
            const QStringList dumps
                = QDir(dir.path())
                      .entryList({ QStringLiteral("??????????.nblg") }, QDir::Files, QDir::Name);
            QCOMPARE(dumps.size(), int(samples / Recorder::kSplitSize));
            for (const QString& name : dumps) // the caption row comes first
                QVERIFY2(ReadRecordNumbers(dir.filePath(name), true, &listed, &problem),
                    qPrintable(problem));
            const GridModel& liveRows = app.listWindows()->liveList()->model();
            for (int r = 0; r < liveRows.rowCount(); ++r)
                listed.append(liveRows.cell(r, 0).toLongLong());
            const NumberAudit listAudit = AuditNumbers(listed, 1, samples);

            qInfo(
                "soak: %d simulated hours, %lld samples recorded in %lld part(s), lost %lld, "
                "duplicated %lld, out of order %lld; live list lost %lld, duplicated %lld; "
                "%d logger dumps; resident at hour 1 %lld KiB, at the end %lld KiB, peak %lld KiB",
                hours, samples, parts, fileAudit.lost, fileAudit.duplicated, fileAudit.outOfOrder,
                listAudit.lost, listAudit.duplicated, dumpsChecked, rssHour1 / 1024, rssEnd / 1024,
                rssPeak / 1024);
            QCOMPARE(qint64(recorded.size()), samples);
            QCOMPARE(fileAudit.lost, 0);
            QCOMPARE(fileAudit.duplicated, 0);
            QCOMPARE(fileAudit.outOfOrder, 0);
            QCOMPARE(listAudit.lost, 0);
            QCOMPARE(listAudit.duplicated, 0);
            QCOMPARE(listAudit.outOfOrder, 0);
            // Memory stays flat: a full live list is the most the program holds; allow for it.
            if (hours >= 2)
                QVERIFY2(rssEnd - rssHour1 < 64 * 1024 * 1024,
                    qPrintable(QString::number((rssEnd - rssHour1) / 1024)));
        }
        QDir::setCurrent(previousFolder);
    }
};

QTEST_MAIN(TestSoak)
#include "test_soak.moc"
