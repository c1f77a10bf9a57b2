// nimbrel-record run as a service runs it, against the virtual meter: exit codes and messages,
// the file compared with what the program's own recorder writes for the same frames, a stop
// signal in the middle of a recording, an unplugged meter.
#include "acquisition/metersession.h"
#include "acquisition/sessionstate.h"
#include "meter/framebytes.h"
#include "recording/datafileformat.h"
#include "support/fakeclock.h"
#include "support/fakes.h"
#include "support/virtualmeterprocess.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace
{
QByteArray Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The record lines of a data file (the header left out), without their CR LF.
QList<QByteArray> Records(const QString& path)
{
    QList<QByteArray> lines = Read(path).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (!lines.isEmpty())
        lines.removeFirst();
    for (QByteArray& line : lines)
        line.chop(1);
    return lines;
}

// nimbrel-record in the background, its standard error collected.
struct RecordProcess {
    QProcess process;
    QByteArray err;

    void start(const QStringList& arguments)
    {
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.start(QStringLiteral(NIMBREL_RECORD_BIN), arguments);
        QVERIFY(process.waitForStarted(5000));
    }
    // Waits until standard error holds text.
    bool said(const QByteArray& text, int timeoutMs = 10000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!err.contains(text) && !deadline.hasExpired()) {
            process.waitForReadyRead(50);
            err += process.readAllStandardError();
        }
        return err.contains(text);
    }
    // Waits until the file holds `count` records.
    static bool holds(const QString& path, int count, int timeoutMs = 15000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (Records(path).size() < count && !deadline.hasExpired())
            QTest::qWait(50);
        return Records(path).size() >= count;
    }
    bool finish(int timeoutMs = 10000)
    {
        const bool done = process.waitForFinished(timeoutMs);
        err += process.readAllStandardError();
        return done;
    }
};

// The eight values the program's recorder writes for a meter that sends `frame`: a meter
// session on a fake link, its "Save" started once the first reading shows, one record taken.
QByteArray ProgramValues(const QByteArray& frame, const QString& path)
{
    FakeClock clock;
    FakeSerialLink link;
    FakeBeeper beeper;
    SessionState state;
    state.Rec.SamplingSeconds = 1;
    MeterSession session(state, link, clock, beeper);
    link.open();
    session.start();
    for (int ms = 0; ms < 5000 && state.Rec.RecordCount == 0; ms += 50) {
        if (ms % 500 == 0)
            link.feed(frame);
        clock.advance(50);
        if (!session.recording() && !state.Display.sampleTexts().first().isEmpty())
            session.startRecording(path);
    }
    session.stopRecording();
    const QList<QByteArray> records = Records(path);
    if (records.size() != 1)
        return QByteArray();
    // Number and stamp off: the values only.
    const QByteArray& line = records.first();
    return line.mid(line.indexOf('\t', line.indexOf('\t') + 1) + 1);
}

QByteArray HexLine(const QByteArray& frame)
{
    return frame.toHex(' ') + '\n';
}
} // namespace

class TestRecordProgram : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void exitCodes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("withMeter"); // a virtual meter on COM1
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message"); // on standard error (or output for 0)
        const QString file = m_dir.filePath(QStringLiteral("codes.nblg"));
        QTest::newRow("help") << QStringList { "--help" } << false << 0
                              << "Usage: nimbrel-record [options] FILE";
        QTest::newRow("version") << QStringList { "--version" } << false << 0
                                 << "nimbrel-record 1.0.0";
        QTest::newRow("no file") << QStringList { "--port", "COM1" } << false << 2
                                 << "nimbrel-record: no data file given";
        QTest::newRow("two files")
            << QStringList { "a.nblg", "b.nblg" } << false << 2 << "one data file only";
        QTest::newRow("unknown option")
            << QStringList { "--colour", file } << false << 2 << "Unknown option 'colour'";
        QTest::newRow("interval 0") << QStringList { "--interval", "0", file } << false << 2
                                    << "--interval wants a whole number of seconds from 1 to 86400";
        QTest::newRow("interval over a day")
            << QStringList { "--interval", "86401", file } << false << 2 << "not \"86401\"";
        QTest::newRow("interval not a number")
            << QStringList { "--interval", "2s", file } << false << 2 << "not \"2s\"";
        QTest::newRow("for without a unit")
            << QStringList { "--for", "10", file } << false << 2 << "--for wants a whole number";
        QTest::newRow("port COM9") << QStringList { "--port", "COM9", file } << false << 2
                                   << "COM9 is not one of COM1 to COM8";
        QTest::newRow("port without a path")
            << QStringList { "--port", "ttyUSB0", file } << false << 2 << "not \"ttyUSB0\"";
        // Usage follows every bad option.
        QTest::newRow("usage with it")
            << QStringList { "--interval", "x", file } << false << 2 << "Usage: nimbrel-record";
        QTest::newRow("COMn with no device") << QStringList { "--port", "COM7",
            file } << false << 3 << "COM7 (" + m_dir.path() + "/rt/nimbrel/COM7) is not there";
        QTest::newRow("device missing") << QStringList { "--port", "/dev/nimbrel-none", file }
                                        << false << 3 << "/dev/nimbrel-none is not there";
        // Without --port every port is listened to, and the one meter heard is taken.
        QTest::newRow("no meter heard") << QStringList { "--for", "2s", file } << false << 3
                                        << "no meter heard on any serial port";
        QTest::newRow("the meter heard")
            << QStringList { "--interval", "1", "--for", "2s", m_dir.filePath("heard.nblg") }
            << true << 0 << "/nimbrel/COM1) open, waiting for the meter's first reading";
        QTest::newRow("folder missing")
            << QStringList { "--port", "COM1", "--for", "5s", m_dir.filePath("none/room.nblg") }
            << true << 4
            << "nimbrel-record: cannot write " + m_dir.filePath("none/room.nblg")
                + " (No such file or directory)";
        QTest::newRow("logger folder is a file")
            << QStringList { "--port", "COM1", "--logger-dir", NIMBREL_RECORD_BIN, file } << false
            << 4 << NIMBREL_RECORD_BIN;
        // A recording of an earlier start is kept, before any port is opened.
        QTest::newRow("file exists") << QStringList { "--port", "COM7", NIMBREL_RECORD_BIN }
                                     << false << 4 << "it exists already and is kept";
        QTest::newRow("done after --for")
            << QStringList { "--port", "COM1", "--interval", "1", "--for", "2s", file } << true << 0
            << "nimbrel-record: done: ";
    }
    void exitCodes()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, withMeter);
        QFETCH(int, status);
        QFETCH(QString, message);
        VirtualMeterProcess meter;
        if (withMeter)
            QVERIFY(meter.start({ "--port", "COM1", "--seed", "3" }));
        else
            useRuntime(QStringLiteral("rt"));
        RecordProcess recorder;
        recorder.start(arguments);
        QVERIFY(recorder.finish(20000));
        const QByteArray said = recorder.err + recorder.process.readAllStandardOutput();
        QVERIFY2(said.contains(message.toLocal8Bit()), said.constData());
        QCOMPARE(recorder.process.exitCode(), status);
        if (withMeter)
            QVERIFY(meter.quit());
    }

    // The same frames give the same file as the program's "Save": the header, the values the
    // program's recorder takes from them, numbers from 1 and a stamp a second apart (taken back
    // to the clock when it drifts), every line in CR LF.
    void sameFileAsTheProgram_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("plain reading") << LiveFrameBytes(812, 453, 235);
        QTest::newRow("below zero") << LiveFrameBytes(450, 300, 0x80EB);
        QTest::newRow("over range") << LiveFrameBytes(6001, 1000, 0x4000);
        QTest::newRow("no data") << LiveFrameBytes(700, 500, 230, 0x80);
    }
    void sameFileAsTheProgram()
    {
        QFETCH(QByteArray, frame);
        const QString frames = m_dir.filePath(QStringLiteral("frames.hex"));
        QFile framesFile(frames);
        QVERIFY(framesFile.open(QIODevice::WriteOnly));
        framesFile.write(HexLine(frame));
        framesFile.close();
        const QByteArray values = ProgramValues(frame, m_dir.filePath(QStringLiteral("gui.nblg")));
        QVERIFY(!values.isEmpty());

        VirtualMeterProcess meter;
        QVERIFY(meter.start({ "--port", "COM2", "--frames", frames, "--interval", "250" }));
        const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + ".nblg");
        RecordProcess recorder;
        recorder.start({ "--port", "COM2", "--interval", "1", "--for", "3s", path });
        QVERIFY(recorder.finish(20000));
        QCOMPARE(recorder.process.exitCode(), 0);
        QVERIFY(meter.quit());

        const QList<QByteArray> records = Records(path);
        QVERIFY(records.size() >= 3);
        QByteArray expected = FileLineBytes(HeaderLine());
        QTime previous;
        for (int i = 0; i < records.size(); ++i) {
            const QByteArray stamp = records[i].split('\t').value(1);
            const QTime time = QTime::fromString(QString::fromLatin1(stamp), "hh:mm:ss");
            QVERIFY2(time.isValid(), records[i].constData());
            // A late tick on a busy machine makes the recorder take the clock's time again, so
            // the stamps only have to follow each other within the run's time.
            if (previous.isValid())
                QVERIFY(qAbs(previous.secsTo(time)) <= 20);
            previous = time;
            expected += FileLineBytes(
                RecorderRecordLine(i + 1, QString::fromLatin1(stamp + '\t' + values)));
        }
        QCOMPARE(Read(path), expected);
    }

    // SIGTERM in the middle: the record in progress is finished, the file ends with a whole
    // record, and the status is 0.
    void stopSignal_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<QByteArray>("said");
        QTest::newRow("SIGTERM") << int(SIGTERM) << QByteArray("stopped (SIGTERM): ");
        QTest::newRow("SIGINT") << int(SIGINT) << QByteArray("stopped (SIGINT): ");
    }
    void stopSignal()
    {
        QFETCH(int, signalNumber);
        QFETCH(QByteArray, said);
        VirtualMeterProcess meter;
        QVERIFY(meter.start({ "--port", "COM1", "--seed", "4" }));
        const QString path = m_dir.filePath(QStringLiteral("stopped-%1.nblg").arg(signalNumber));
        RecordProcess recorder;
        recorder.start({ "--port", "COM1", "--interval", "1", path });
        QVERIFY(RecordProcess::holds(path, 2));
        ::kill(static_cast<pid_t>(recorder.process.processId()), signalNumber);
        QVERIFY(recorder.finish());
        QVERIFY2(recorder.process.exitStatus() == QProcess::NormalExit, recorder.err.constData());
        QCOMPARE(recorder.process.exitCode(), 0);
        const QByteArray file = Read(path);
        QVERIFY(file.endsWith("\r\n"));
        const QList<QByteArray> records = Records(path);
        for (int i = 0; i < records.size(); ++i) {
            QCOMPARE(records[i].count('\t'), 9);
            QVERIFY(records[i].startsWith(QByteArray(QByteArray::number(i + 1) + "\t")));
        }
        QVERIFY2(recorder.err.contains(
                     QByteArray(said + QByteArray::number(records.size()) + " record")),
            recorder.err.constData());
        QVERIFY(meter.quit());
    }

    // Unplugged and plugged in again, under the same COMn or another one: the meter is waited
    // for, found again by its identity, and the records go on in the same file.
    void unplugAndReplug_data()
    {
        QTest::addColumn<QByteArray>("plug");
        QTest::newRow("same port") << QByteArray("plug");
        QTest::newRow("another port") << QByteArray("plug COM5");
    }
    void unplugAndReplug()
    {
        QFETCH(QByteArray, plug);
        VirtualMeterProcess meter;
        QVERIFY(meter.start({ "--port", "COM1", "--seed", "5" }));
        const QString path
            = m_dir.filePath(QString::fromLatin1("replug-" + plug.right(4) + ".nblg"));
        RecordProcess recorder;
        recorder.start({ "--port", "COM1", "--interval", "1", path });
        QVERIFY(RecordProcess::holds(path, 2));
        QVERIFY(meter.command("unplug"));
        QVERIFY(recorder.said("lost (unplugged?)"));
        QVERIFY(meter.command(plug));
        QVERIFY2(recorder.said("reconnected: "), recorder.err.constData());
        // Fresh readings reach the file after the return.
        const int before = Records(path).size();
        QVERIFY(RecordProcess::holds(path, before + 3));
        ::kill(static_cast<pid_t>(recorder.process.processId()), SIGTERM);
        QVERIFY(recorder.finish());
        QCOMPARE(recorder.process.exitCode(), 0);
        const QByteArray file = Read(path);
        QCOMPARE(file.count("No.s\t"), 1); // one header: the same file all along
        const QList<QByteArray> records = Records(path);
        for (int i = 0; i < records.size(); ++i)
            QVERIFY(records[i].startsWith(QByteArray(QByteArray::number(i + 1) + "\t")));
        QVERIFY(meter.quit());
    }

    // A dump while recording: each set is written as nimbrel-logger writes it from the same
    // meter (the data list's "Save"), and the records go on in the same file after the dump.
    void dumpWhileRecording()
    {
        VirtualMeterProcess meter;
        QVERIFY(meter.start({ "--port", "COM1", "--seed", "6" }));
        const QString path = m_dir.filePath(QStringLiteral("dumped.nblg"));
        const QString sets = m_dir.filePath(QStringLiteral("record-sets"));
        RecordProcess recorder;
        recorder.start({ "--port", "COM1", "--interval", "1", "--logger-dir", sets, path });
        QVERIFY(RecordProcess::holds(path, 2));
        QVERIFY(meter.command("dump"));
        QVERIFY2(recorder.said("logger dump over", 30000), recorder.err.constData());
        const int before = Records(path).size();
        QVERIFY(RecordProcess::holds(path, before + 2));
        ::kill(static_cast<pid_t>(recorder.process.processId()), SIGTERM);
        QVERIFY(recorder.finish());
        QCOMPARE(recorder.process.exitCode(), 0);
        QCOMPARE(Read(path).count("No.s\t"), 1);

        const QString logged = m_dir.filePath(QStringLiteral("logger-sets"));
        RecordProcess logger; // its port open once it asks for the dump key
        logger.process.start(
            QStringLiteral(NIMBREL_LOGGER_BIN), { "--port", "COM1", "--wait", "20", logged });
        QVERIFY(logger.said("dump key"));
        QVERIFY(meter.command("dump"));
        QVERIFY(logger.finish(40000));
        QCOMPARE(logger.process.exitCode(), 0);
        const QStringList names = QDir(logged).entryList(QDir::Files, QDir::Name);
        QVERIFY(!names.isEmpty());
        QCOMPARE(QDir(sets).entryList(QDir::Files, QDir::Name), names);
        for (const QString& name : names)
            QVERIFY2(Read(sets + '/' + name) == Read(logged + '/' + name), qPrintable(name));
        QVERIFY(meter.quit());
    }

private:
    // A runtime folder of our own with no meter in it.
    void useRuntime(const QString& name)
    {
        const QString path = m_dir.filePath(name);
        QDir().mkpath(path);
        QFile::setPermissions(
            path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", path.toLocal8Bit());
    }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestRecordProgram)
#include "tst_recordprogram.moc"
