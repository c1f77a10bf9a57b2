// The real nimbrel-meter program on a pseudo-terminal: its first line, its link, its frames,
// a dump, unplugging, and a clean end. Waits are bounded polls and QTRY loops, never sleeps.
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace
{

constexpr int kStartMs = 20000;
constexpr int kBytesMs = 15000;

bool linkExists(const QString& path)
{
    struct stat info {
    };
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

QString linkTarget(const QString& path)
{
    char target[4096] = {};
    const ssize_t n = ::readlink(QFile::encodeName(path).constData(), target, sizeof target - 1);
    return n > 0 ? QFile::decodeName(QByteArray(target, int(n))) : QString();
}

// The program's side of the line, opened by the link as the program opens COMn.
class Line
{
public:
    explicit Line(const QString& path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK))
    {
        if (m_fd >= 0) {
            termios settings {};
            ::tcgetattr(m_fd, &settings);
            ::cfmakeraw(&settings);
            ::tcsetattr(m_fd, TCSANOW, &settings);
        }
    }
    ~Line()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool isOpen() const { return m_fd >= 0; }
    void write(const QByteArray& bytes)
    {
        QCOMPARE(::write(m_fd, bytes.constData(), bytes.size()), ssize_t(bytes.size()));
    }

    // Reads until `done` holds for what arrived, the line hangs up, or time runs out.
    template <typename Done> bool readUntil(Done done, int timeoutMs)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!done(m_received)) {
            pollfd p { m_fd, POLLIN, 0 };
            const int ready = ::poll(&p, 1, int(qMax<qint64>(0, deadline.remainingTime())));
            if (ready == 0)
                return false;
            if (ready < 0 && errno != EINTR)
                return false;
            char buffer[4096];
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n > 0)
                m_received.append(buffer, n);
            else if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
                m_hungUp = true;
                return done(m_received);
            }
        }
        return true;
    }
    // Waits for exactly `count` more bytes and takes them.
    QByteArray take(int count, int timeoutMs = kBytesMs)
    {
        readUntil([count](const QByteArray& b) { return b.size() >= count; }, timeoutMs);
        const QByteArray taken = m_received.left(count);
        m_received.remove(0, taken.size());
        return taken;
    }
    QByteArray& received() { return m_received; }
    bool hungUp() const { return m_hungUp; }

private:
    int m_fd;
    QByteArray m_received;
    bool m_hungUp = false;
};

qsizetype liveFrameAt(const QByteArray& bytes)
{
    for (qsizetype i = 0; i + 9 <= bytes.size(); ++i)
        if (bytes[i] == char(0x02) && bytes[i + 8] == char(0x03))
            return i;
    return -1;
}

bool hasLiveFrame(const QByteArray& bytes)
{
    return liveFrameAt(bytes) >= 0;
}

struct Started {
    QString port, link, device;
};

} // namespace

class TestMeterProgram : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void publishesStreamsAndQuits();
    void endOfInputKeepsRunningAndSigtermCleansUp();
    void dumpOverThePseudoTerminal();
    void unplugHangsUpAndPlugComesBack();
    void linksToTheMeterGoWithIt_data();
    void linksToTheMeterGoWithIt();
    void badOptionsEndWithAMessage();

private:
    bool saidOnStderr(const char* text);
    void command(const char* line);
    bool start(const QStringList& arguments, Started* started);
    bool nextLine(Started* started);
    void quitAndCheckLinkGone(const QString& link);

    std::unique_ptr<QTemporaryDir> m_runtime;
    std::unique_ptr<QProcess> m_meter;
    QByteArray m_stderr;
};

void TestMeterProgram::init()
{
    m_runtime = std::make_unique<QTemporaryDir>();
    QVERIFY(m_runtime->isValid());
    m_meter = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime->path());
    m_meter->setProcessEnvironment(environment);
    m_meter->setProgram(QStringLiteral(NIMBREL_METER_BIN));
}

void TestMeterProgram::cleanup()
{
    if (m_meter->state() != QProcess::NotRunning) {
        m_meter->kill();
        m_meter->waitForFinished(5000);
    }
    m_meter.reset();
    m_runtime.reset();
    m_stderr.clear();
}

bool TestMeterProgram::nextLine(Started* started)
{
    if (!QTest::qWaitFor([this] { return m_meter->canReadLine(); }, kStartMs))
        return false;
    const QString line = QString::fromLocal8Bit(m_meter->readLine()).chopped(1);
    static const QRegularExpression format(QStringLiteral("^(COM[1-8]) (\\S+) (\\S+)$"));
    const QRegularExpressionMatch match = format.match(line);
    if (!match.hasMatch()) {
        qWarning("unexpected line: %s", qPrintable(line));
        return false;
    }
    *started = { match.captured(1), match.captured(2), match.captured(3) };
    return true;
}

bool TestMeterProgram::start(const QStringList& arguments, Started* started)
{
    m_meter->setArguments(arguments);
    m_meter->start();
    if (!m_meter->waitForStarted(kStartMs))
        return false;
    return nextLine(started);
}

// Collects standard error as it comes, so a QTRY loop may ask again and again.
bool TestMeterProgram::saidOnStderr(const char* text)
{
    m_stderr += m_meter->readAllStandardError();
    return m_stderr.contains(text);
}

void TestMeterProgram::command(const char* line)
{
    m_meter->write(line);
    QVERIFY(m_meter->waitForBytesWritten(kStartMs));
}

void TestMeterProgram::quitAndCheckLinkGone(const QString& link)
{
    command("quit\n");
    QVERIFY(m_meter->waitForFinished(kStartMs));
    QCOMPARE(m_meter->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_meter->exitCode(), 0);
    QVERIFY(!linkExists(link));
}

void TestMeterProgram::publishesStreamsAndQuits()
{
    Started s;
    QVERIFY(start({ QStringLiteral("--port"), QStringLiteral("COM3"), QStringLiteral("--seed"),
                      QStringLiteral("5"), QStringLiteral("--interval"), QStringLiteral("100") },
        &s));
    QCOMPARE(s.port, QStringLiteral("COM3"));
    QCOMPARE(s.link, m_runtime->path() + QStringLiteral("/nimbrel/COM3"));
    QVERIFY(s.device.startsWith(QLatin1String("/dev/")));
    QCOMPARE(linkTarget(s.link), s.device);

    Line line(s.link);
    QVERIFY(line.isOpen());
    QVERIFY(line.readUntil(hasLiveFrame, kBytesMs));
    const QByteArray frame = line.received().mid(liveFrameAt(line.received()), 9);
    const int co2 = quint8(frame[2]) * 256 + quint8(frame[3]);
    QVERIFY2(co2 >= 400 && co2 <= 1200, qPrintable(frame.toHex(' ')));

    command("no-such-command\n");
    QTRY_VERIFY_WITH_TIMEOUT(saidOnStderr("unknown command"), kStartMs);
    quitAndCheckLinkGone(s.link);
}

void TestMeterProgram::endOfInputKeepsRunningAndSigtermCleansUp()
{
    Started s;
    QVERIFY(start(
        { QStringLiteral("--no-pace"), QStringLiteral("--interval"), QStringLiteral("50") }, &s));
    QCOMPARE(s.port, QStringLiteral("COM1"));
    m_meter->closeWriteChannel();
    QTRY_VERIFY_WITH_TIMEOUT(saidOnStderr("standard input closed"), kStartMs);

    Line line(s.link);
    QVERIFY(line.isOpen());
    QVERIFY(line.readUntil(hasLiveFrame, kBytesMs));
    QCOMPARE(m_meter->state(), QProcess::Running);

    m_meter->terminate(); // SIGTERM
    QVERIFY(m_meter->waitForFinished(kStartMs));
    QCOMPARE(m_meter->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_meter->exitCode(), 0);
    QVERIFY(!linkExists(s.link));
}

void TestMeterProgram::dumpOverThePseudoTerminal()
{
    Started s;
    QVERIFY(start({ QStringLiteral("--seed"), QStringLiteral("9"), QStringLiteral("--set"),
                      QStringLiteral("33,START=23:59:30,INTERVAL=60"), QStringLiteral("--set"),
                      QStringLiteral("0"), QStringLiteral("--interval"), QStringLiteral("100") },
        &s));
    Line line(s.link);
    QVERIFY(line.isOpen());
    QVERIFY(line.readUntil(hasLiveFrame, kBytesMs));
    command("dump\n");

    const QByteArray signature = QByteArray::fromHex("AA55AA55AA55AA55AA55AA 02 000618");
    QVERIFY(line.readUntil([&](const QByteArray& b) { return b.contains(signature); }, kBytesMs));
    // The gap before the signature let the live frames stop: nothing follows it unasked.
    const qsizetype at = line.received().indexOf(signature);
    line.received().remove(0, at + signature.size());
    QVERIFY(line.received().isEmpty());

    line.write(" ");
    QCOMPARE(line.take(8).toHex(' '), QByteArray("00 21 00 23 59 30 00 3c"));
    line.write(" ");
    QCOMPARE(line.take(256).size(), 256);
    line.write(" ");
    QCOMPARE(line.take(8).size(), 8);
    line.write(" ");
    QCOMPARE(line.take(8).toHex(' '), QByteArray("00 00 00 12 00 00 00 3c"));
    line.write(" "); // the final space: live frames come back
    QVERIFY(line.readUntil(hasLiveFrame, kBytesMs));
    QCOMPARE(liveFrameAt(line.received()), 0);
    quitAndCheckLinkGone(s.link);
}

void TestMeterProgram::unplugHangsUpAndPlugComesBack()
{
    Started s;
    QVERIFY(start({ QStringLiteral("--port"), QStringLiteral("COM2"), QStringLiteral("--interval"),
                      QStringLiteral("100") },
        &s));
    {
        Line line(s.link);
        QVERIFY(line.isOpen());
        QVERIFY(line.readUntil(hasLiveFrame, kBytesMs));
        command("unplug\n");
        line.readUntil([](const QByteArray&) { return false; }, kBytesMs);
        QVERIFY(line.hungUp());
        QTRY_VERIFY_WITH_TIMEOUT(!linkExists(s.link), kStartMs);
    }
    command("plug\n");
    Started again;
    QVERIFY(nextLine(&again));
    QCOMPARE(again.port, QStringLiteral("COM2"));
    QCOMPARE(again.link, s.link);
    QCOMPARE(linkTarget(again.link), again.device);
    Line line(again.link);
    QVERIFY(line.isOpen());
    QVERIFY(line.readUntil(hasLiveFrame, kBytesMs));
    quitAndCheckLinkGone(again.link);
}

// Plugged in again under COM3, the meter is followed by Nimbrel, which points COM2 at its
// stable by-id name; whichever way the meter then goes, no link to it is left dangling, and a
// link to something else stays.
void TestMeterProgram::linksToTheMeterGoWithIt_data()
{
    QTest::addColumn<QByteArray>("ending");
    QTest::newRow("quit") << QByteArray("quit\n");
    QTest::newRow("unplug") << QByteArray("unplug\n");
    QTest::newRow("SIGTERM") << QByteArray();
}

void TestMeterProgram::linksToTheMeterGoWithIt()
{
    QFETCH(QByteArray, ending);
    Started s;
    QVERIFY(start({ QStringLiteral("--port"), QStringLiteral("COM2") }, &s));
    command("unplug\n");
    QTRY_VERIFY_WITH_TIMEOUT(!linkExists(s.link), kStartMs);
    command("plug COM3\n");
    Started again;
    QVERIFY(nextLine(&again));
    const QString folder = m_runtime->path() + QStringLiteral("/nimbrel");
    const QString byId
        = folder + QStringLiteral("/by-id/nimbrel-meter-%1").arg(m_meter->processId());
    QCOMPARE(linkTarget(byId), again.device);
    const auto makeLink = [](const QString& target, const QString& path) {
        return ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(path).constData())
            == 0;
    };
    QVERIFY(makeLink(byId, s.link)); // as Nimbrel binds COM2
    QVERIFY(makeLink(again.device, folder + QStringLiteral("/COM6")));
    QVERIFY(makeLink(QStringLiteral("/dev/null"), folder + QStringLiteral("/COM5")));

    if (ending.isEmpty()) {
        m_meter->terminate();
        QVERIFY(m_meter->waitForFinished(kStartMs));
    } else {
        command(ending.constData());
        QTRY_VERIFY_WITH_TIMEOUT(!linkExists(again.link), kStartMs);
    }
    for (const QString& gone :
        QStringList { s.link, again.link, byId, folder + QStringLiteral("/COM6") })
        QVERIFY2(!linkExists(gone), qPrintable(gone));
    QVERIFY(linkExists(folder + QStringLiteral("/COM5")));
}

void TestMeterProgram::badOptionsEndWithAMessage()
{
    m_meter->setArguments({ QStringLiteral("--port"), QStringLiteral("COM9") });
    m_meter->start();
    QVERIFY(m_meter->waitForFinished(kStartMs));
    QCOMPARE(m_meter->exitCode(), 2);
    QVERIFY(m_meter->readAllStandardOutput().isEmpty());
    QVERIFY(saidOnStderr("--port"));
    QVERIFY(!linkExists(m_runtime->path() + QStringLiteral("/nimbrel/COM9")));
}

QTEST_GUILESS_MAIN(TestMeterProgram)
#include "tst_meterprogram.moc"
