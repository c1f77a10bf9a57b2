// nimbrel-logger run as a script runs it, against virtual meters that dump when the program
// waits (as a user presses the dump key). Every case runs at once, each in a runtime folder of
// its own, so the whole table takes about as long as its slowest case, a stalled dump.
#include "app/datalistsink.h"
#include "lists/datalist.h"
#include "lists/listwindows.h"
#include "logger/loggerstore.h"
#include "loggerwindow/memory.h"
#include "loggerwindow/memorycontroller.h"
#include "meteroptions.h"
#include "recording/recordingstate.h"
#include "support/fakeclock.h"
#include "support/fakes.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace
{
// The virtual meters' logger: the default sets, seed 5 (70 records, an empty set, 5 across
// midnight, 33 mixed).
const QStringList kMeterLogger { "--seed", "5" };
// Set 1 holds 8 + 560 bytes, set 2 8: stopping after 600 dump bytes breaks set 3 of 4.
const QStringList kStall { "--seed", "5", "--fault-stop-after", "600" };

struct Case {
    const char* name;
    int meters; // virtual meters on COM1, COM2, ...
    QStringList meterOptions;
    bool dump; // "dump" on the meter's input once the program waits for it
    QStringList arguments; // DIR: the case's folder
    int status;
    QString message; // on standard error
    QList<int> sets; // the set files written, listed on standard output
    enum Prepare { Nothing, FolderIsAFile, SetFileIsAFolder } prepare = Nothing;
};

const QList<Case>& Cases()
{
    static const QList<Case> cases {
        { "several sets", 1, kMeterLogger, true, { "--port", "COM1", "--wait", "30", "DIR" }, 0,
            "downloading 4 set(s)", { 1, 2, 3, 4 } },
        { "the one meter heard", 1, kMeterLogger, true, { "--wait", "30", "DIR" }, 0,
            "waiting up to 30 s on COM1", { 1, 2, 3, 4 } },
        { "no dump", 1, kMeterLogger, false, { "--port", "COM1", "--wait", "1", "DIR" }, 5,
            "no dump within 1 s", {} },
        { "no data in memory", 1, { "--empty-logger" }, true, { "--port", "com1", "DIR" }, 6,
            "No Data in Memory!", {} },
        { "stalled part way", 1, kStall, true, { "--port", "COM1", "DIR" }, 7,
            "the meter stopped answering during set 3 of 4. 2 complete set(s) received.",
            { 1, 2 } },
        { "a set file cannot be written", 1, kMeterLogger, true, { "--port", "COM1", "DIR" }, 4,
            "/set-3.nblg: ", { 1, 2, 4 }, Case::SetFileIsAFolder },
        { "the folder is a file", 0, {}, false, { "--port", "COM1", "DIR" }, 4,
            "/sets: not a folder", {}, Case::FolderIsAFile },
        { "missing port", 0, {}, false, { "--port", "COM7", "DIR" }, 3, "is not there", {} },
        { "no serial port", 0, {}, false, { "--port", "/dev/null", "DIR" }, 3,
            "/dev/null refuses 28800 baud", {} },
        { "no meter heard", 0, {}, false, { "DIR" }, 3, "no meter heard on any serial port", {} },
        { "two meters heard", 2, kMeterLogger, false, { "DIR" }, 3,
            "meters heard on 2 ports (COM1, COM2): choose one with --port", {} },
        { "no folder", 0, {}, false, { "--port", "COM1" }, 2, "no folder given", {} },
        { "two folders", 0, {}, false, { "DIR", "DIR" }, 2, "one folder for the set files", {} },
        { "wait of 0 s", 0, {}, false, { "--wait", "0", "DIR" }, 2,
            "--wait wants a whole number of seconds from 1 to 86400, not \"0\"", {} },
        { "wait that is no number", 0, {}, false, { "--wait", "5s", "DIR" }, 2, "not \"5s\"", {} },
        { "COM9", 0, {}, false, { "--port", "COM9", "DIR" }, 2, "COM9 is not one of COM1", {} },
        { "a port that is no path", 0, {}, false, { "--port", "ttyUSB0", "DIR" }, 2,
            "a device path such as /dev/ttyUSB0, not \"ttyUSB0\"", {} },
        { "unknown option", 0, {}, false, { "--baud", "9600", "DIR" }, 2, "Unknown option 'baud'.",
            {} },
    };
    return cases;
}

struct Run {
    std::unique_ptr<QTemporaryDir> runtime;
    QString folder;
    std::vector<std::unique_ptr<QProcess>> meters;
    std::unique_ptr<QProcess> logger;
    QByteArray out, err;
    bool dumped = false;
};

QProcessEnvironment Environment(const QString& runtime)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM" })
        environment.remove(QLatin1String(name));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    return environment;
}

// What the data list's "Save" writes for each set of the meters' logger, once a click on the
// set's row in the data-logger window has listed it: the window's own path, on the windows.
QMap<int, QByteArray> SavedByTheDataList(QMap<int, QStringList>* rows)
{
    MeterOptions options;
    QString error;
    LoggerImage image;
    if (!MeterOptions::parse(kMeterLogger, &options, &error)
        || !image.build(options.loggerLayout(), options.seed, &error))
        qFatal("%s", qPrintable(error));
    FakeClock clock;
    RecordingState state;
    FakePrompts prompts;
    FakePrinterProvider printers(QString {});
    ListWindows lists(ListContext { state, prompts, printers, clock, {}, {} });
    LoggerTables tables;
    LoggerStore store(tables);
    MemoryController memory(store, clock);
    std::unique_ptr<DataListSink> sink;
    memory.setDataListOpener([&]() -> ListingSink* {
        sink = std::make_unique<DataListSink>(lists.openDataList());
        return sink.get();
    });
    store.BeginLoggerDownload(image.setCount(), image.writeAddress());
    for (int s = 1; s <= image.setCount(); ++s) {
        const int at = image.setOffset(s - 1);
        const int recordBytes = store.StoreSetHeader(s, image.bytes().mid(at, 8));
        store.AppendSetBytes(s, image.bytes().mid(at + 8, recordBytes));
        store.AddLoggerSet(s);
    }
    QTemporaryDir dir;
    QMap<int, QByteArray> saved;
    for (int s = 1; s <= image.setCount(); ++s) {
        (*rows)[s] = SetRowCells(tables, s);
        memory.listRow(s - 1);
        prompts.saveAnswers.enqueue(dir.filePath(QStringLiteral("saved.nblg")));
        if (!lists.dataList()->save())
            qFatal("the data list's save failed");
        QFile file(dir.filePath(QStringLiteral("saved.nblg")));
        saved[s] = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("unread");
    }
    return saved;
}
} // namespace

class TestLoggerProgram : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        m_saved = SavedByTheDataList(&m_setRows);
        m_runs.reserve(std::size_t(Cases().size()));
        for (const Case& c : Cases())
            m_runs.emplace_back(start(c));
        // Each dump is asked for once its program waits; then every program runs to its end.
        QDeadlineTimer deadline(60000);
        const auto running = [this] {
            for (const Run& run : m_runs)
                if (run.logger && run.logger->state() != QProcess::NotRunning)
                    return true;
            return false;
        };
        while (running() && !deadline.hasExpired())
            QTest::qWait(20);
        for (Run& run : m_runs)
            for (auto& meter : run.meters) {
                meter->write("quit\n");
                meter->waitForFinished(5000);
            }
    }

    void exitCodes_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < Cases().size(); ++i)
            QTest::newRow(Cases()[i].name) << i;
    }
    void exitCodes()
    {
        QFETCH(int, index);
        const Case& c = Cases()[index];
        const Run& run = m_runs[std::size_t(index)];
        QVERIFY2(run.logger && run.logger->state() == QProcess::NotRunning, "still running");
        QCOMPARE(run.logger->exitStatus(), QProcess::NormalExit);
        QVERIFY2(run.err.contains(c.message.toUtf8()), run.err.constData());
        QCOMPARE(run.logger->exitCode(), c.status);
        // The usage follows a bad option, and only a bad option.
        QCOMPARE(run.err.contains("Usage: nimbrel-logger [options] DIR"), c.status == 2);

        // Each set that arrived whole is in its file as the data list saves it, and is listed.
        QByteArray lines;
        QStringList expectedFiles;
        for (int s : c.sets) {
            const QString name = QStringLiteral("set-%1.nblg").arg(s);
            const QString path = QDir(run.folder).filePath(name);
            lines += (m_setRows[s].join('\t') + '\t' + path + '\n').toUtf8();
            expectedFiles.append(name);
            QFile file(path);
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
            QCOMPARE(file.readAll(), m_saved[s]);
        }
        QCOMPARE(run.out, lines);
        // Each set file written has its worked-out dates beside it.
        for (const QString& name : QStringList(expectedFiles))
            expectedFiles.append(name + QStringLiteral(".dates.json"));
        if (c.prepare == Case::SetFileIsAFolder)
            expectedFiles.append(QStringLiteral("set-3.nblg"));
        if (QFileInfo(run.folder).isDir()) {
            QStringList files = QDir(run.folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
            std::sort(expectedFiles.begin(), expectedFiles.end());
            QCOMPARE(files, expectedFiles);
        }
    }

private:
    Run start(const Case& c)
    {
        Run run;
        run.runtime = std::make_unique<QTemporaryDir>();
        QFile::setPermissions(run.runtime->path(),
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        run.folder = run.runtime->filePath(QStringLiteral("sets"));
        if (c.prepare == Case::FolderIsAFile) {
            QFile file(run.folder);
            file.open(QIODevice::WriteOnly);
        } else if (c.prepare == Case::SetFileIsAFolder) {
            QDir().mkpath(run.folder + QStringLiteral("/set-3.nblg"));
        }
        const QProcessEnvironment environment = Environment(run.runtime->path());
        for (int m = 1; m <= c.meters; ++m) {
            auto meter = std::make_unique<QProcess>();
            meter->setProcessEnvironment(environment);
            meter->start(QStringLiteral(NIMBREL_METER_BIN),
                QStringList { "--port", QStringLiteral("COM%1").arg(m) } + c.meterOptions);
            QDeadlineTimer deadline(10000);
            while (!meter->canReadLine() && !deadline.hasExpired())
                QTest::qWait(10);
            if (!meter->canReadLine())
                qFatal("the virtual meter did not come up");
            run.meters.push_back(std::move(meter));
        }
        QStringList arguments = c.arguments;
        arguments.replaceInStrings(QRegularExpression(QStringLiteral("^DIR$")), run.folder);
        run.logger = std::make_unique<QProcess>();
        run.logger->setProcessEnvironment(environment);
        QProcess* logger = run.logger.get();
        const std::size_t index = m_runs.size();
        connect(logger, &QProcess::readyReadStandardOutput, this,
            [this, index] { m_runs[index].out += m_runs[index].logger->readAllStandardOutput(); });
        connect(logger, &QProcess::readyReadStandardError, this, [this, index, dump = c.dump] {
            Run& r = m_runs[index];
            r.err += r.logger->readAllStandardError();
            if (dump && !r.dumped && r.err.contains("press the meter's dump key")) {
                r.dumped = true;
                r.meters.front()->write("dump\n");
            }
        });
        logger->start(QStringLiteral(NIMBREL_LOGGER_BIN), arguments);
        return run;
    }

    QMap<int, QByteArray> m_saved;
    QMap<int, QStringList> m_setRows;
    std::vector<Run> m_runs;
};

QTEST_MAIN(TestLoggerProgram)
#include "tst_loggerprogram.moc"
