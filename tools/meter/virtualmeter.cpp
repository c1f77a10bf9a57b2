#include "virtualmeter.h"

#include "hexframefile.h"
#include "microtimer.h"
#include "platform/portlinkfolder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace
{

// The write end is used from the signal handler only; one meter runs per process.
int g_signalPipe[2] = { -1, -1 };

void onTerminateSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
    errno = saved;
}

void logLine(const QString& text)
{
    const QByteArray line = QByteArrayLiteral("nimbrel-meter: ") + text.toLocal8Bit() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}

void printLine(const QString& text)
{
    const QByteArray line = text.toLocal8Bit() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}

std::uint64_t chooseSeed(const MeterOptions& options)
{
    if (options.seedGiven)
        return options.seed;
    return std::uint64_t(QDateTime::currentMSecsSinceEpoch()) ^ (std::uint64_t(::getpid()) << 32);
}

} // namespace

void VirtualMeter::guardStandardStreams()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            const int null = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
            if (null >= 0 && null != fd) {
                ::dup2(null, fd);
                ::close(null);
            }
        }
    }
    std::signal(SIGPIPE, SIG_IGN);
}

VirtualMeter::VirtualMeter(const MeterOptions& options)
    : m_options(options)
    , m_frames(0)
    , m_pacer(options.pace ? Pacer::kWireBytesPerSecond : 0)
{
    m_nextFaults = options.faults;
    m_clock.start();
}

VirtualMeter::~VirtualMeter()
{
    m_portNotifier.reset();
    m_port.close();
    if (g_signalPipe[0] >= 0) {
        std::signal(SIGTERM, SIG_DFL);
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGHUP, SIG_DFL);
        ::close(g_signalPipe[0]);
        ::close(g_signalPipe[1]);
        g_signalPipe[0] = g_signalPipe[1] = -1;
    }
}

bool VirtualMeter::installSignalPipe(QString* error)
{
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        *error = QStringLiteral("cannot make the signal pipe");
        return false;
    }
    struct sigaction action {
    };
    action.sa_handler = onTerminateSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : { SIGTERM, SIGINT, SIGHUP })
        ::sigaction(signal, &action, nullptr);
    m_signalNotifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, this);
    connect(m_signalNotifier, &QSocketNotifier::activated, this, [this] {
        char drain[16];
        while (::read(g_signalPipe[0], drain, sizeof drain) > 0) { }
        logLine(QStringLiteral("signal received, ending"));
        quit();
    });
    return true;
}

bool VirtualMeter::start(QString* error)
{
    const std::uint64_t seed = chooseSeed(m_options);
    logLine(QStringLiteral("seed %1").arg(seed));
    m_frames = LiveFrameSource(seed);
    m_frames.setOutOfStep(m_options.outOfStep);
    m_frames.setMarkers(m_options.markers);
    if (!m_options.framesFile.isEmpty()) {
        HexFrameFile file;
        if (!file.load(m_options.framesFile)) {
            *error = file.error();
            return false;
        }
        m_frames.setFileFrames(file.frames());
    }
    if (!m_logger.build(m_options.loggerLayout(), seed, error))
        return false;

    const QString folder = PtyPort::linkFolder(error);
    if (folder.isEmpty())
        return false;
    m_linkPath = folder + QStringLiteral("/") + m_options.portName();
    // A stable name for this meter, as /dev/serial/by-id gives a USB adapter: it follows the
    // meter when it is plugged in again under another COMn.
    const QString byIdFolder = PortByIdFolderIn(folder);
    if (!QDir().mkpath(byIdFolder)) {
        *error = QStringLiteral("cannot make %1").arg(byIdFolder);
        return false;
    }
    m_byIdPath = byIdFolder + QStringLiteral("/nimbrel-meter-%1").arg(qint64(::getpid()));

    m_liveTimer = new QTimer(this);
    m_liveTimer->setTimerType(Qt::PreciseTimer);
    m_liveTimer->setInterval(m_options.intervalMs);
    connect(m_liveTimer, &QTimer::timeout, this, &VirtualMeter::sendLiveFrame);

    m_paceTimer = new MicroTimer(this);
    if (!m_paceTimer->isValid()) {
        *error = QStringLiteral("cannot make the pacing timer");
        return false;
    }
    connect(m_paceTimer, &MicroTimer::timeout, this, &VirtualMeter::pace);

    m_dumpTimer = new QTimer(this);
    m_dumpTimer->setSingleShot(true);
    m_dumpTimer->setTimerType(Qt::PreciseTimer);
    connect(m_dumpTimer, &QTimer::timeout, this, [this] {
        m_dump.advance(nowMs());
        afterSession();
    });

    // Signals are caught before the link exists, so that no ending leaves it behind.
    if (!installSignalPipe(error))
        return false;
    if (!plug(error))
        return false;

    m_stdinNotifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(m_stdinNotifier, &QSocketNotifier::activated, this, &VirtualMeter::readCommands);

    if (m_options.silenceAfterMs >= 0) {
        QTimer::singleShot(m_options.silenceAfterMs, this, [this] {
            logLine(QStringLiteral("silent now (until resume)"));
            m_silenced = true;
            m_dump.abort();
            afterSession();
        });
    }
    m_liveTimer->start();
    if (m_options.dumpAtStart)
        startDump();
    return true;
}

bool VirtualMeter::plug(QString* error)
{
    if (!m_port.open(error))
        return false;
    if (!m_port.publish(m_linkPath, error) || !m_port.publish(m_byIdPath, error)) {
        m_port.close();
        return false;
    }
    m_portNotifier = std::make_unique<QSocketNotifier>(m_port.masterFd(), QSocketNotifier::Read);
    connect(
        m_portNotifier.get(), &QSocketNotifier::activated, this, &VirtualMeter::readFromProgram);
    m_silenced = false;
    announce();
    return true;
}

void VirtualMeter::announce()
{
    printLine(
        QStringLiteral("%1 %2 %3").arg(m_options.portName(), m_linkPath, m_port.devicePath()));
}

void VirtualMeter::unplug()
{
    m_dump.abort();
    afterSession();
    m_pacer.clear();
    m_paceTimer->stop();
    m_portNotifier.reset();
    m_port.close();
    logLine(QStringLiteral("unplugged; %1 removed").arg(m_linkPath));
}

void VirtualMeter::sendLiveFrame()
{
    if (!m_port.isOpen() || m_silenced || m_dump.isActive())
        return;
    if (m_port.unreadByProgram() > kStaleBytes)
        m_port.dropUnreadByProgram();
    send(m_frames.nextFrame());
}

void VirtualMeter::send(const QByteArray& bytes)
{
    if (bytes.isEmpty() || !m_port.isOpen())
        return;
    m_pacer.enqueue(bytes, nowUs());
    pace();
}

void VirtualMeter::pace()
{
    if (!m_port.isOpen()) {
        m_pacer.clear();
        m_paceTimer->stop();
        return;
    }
    const qint64 now = nowUs();
    // A byte goes once its ten bits have gone by on the wire, never before.
    const QByteArray chunk = m_pacer.due(now);
    bool blocked = false;
    if (!chunk.isEmpty()) {
        const int written = m_port.write(chunk);
        if (written < 0) {
            logLine(QStringLiteral("write failed; %1 bytes dropped").arg(m_pacer.pending()));
            m_pacer.clear();
        } else {
            m_pacer.consumed(written, int(chunk.size()), now);
            blocked = written < chunk.size();
        }
    }
    if (m_pacer.isEmpty()) {
        m_paceTimer->stop();
        return;
    }
    // The bytes go on every millisecond, and the last one of what is queued (the end of a
    // reply, which the program waits for before it asks again) exactly when it is due. A line
    // that takes no more now (nobody reads the other end) is tried again a millisecond later.
    const qint64 tickUs = kPaceTickMs * 1000;
    const qint64 next = blocked
        ? nowUs() + tickUs
        : std::max(m_pacer.nextDueUs(), std::min(nowUs() + tickUs, m_pacer.lastDueUs()));
    m_paceTimer->start(next - nowUs());
}

void VirtualMeter::readFromProgram()
{
    QByteArray bytes;
    if (!m_port.readAvailable(&bytes)) {
        logLine(
            QStringLiteral("cannot read from %1; no longer listening").arg(m_port.devicePath()));
        m_portNotifier->setEnabled(false);
    }
    if (bytes.isEmpty() || !m_dump.isActive())
        return;
    m_dump.receive(bytes, nowMs());
    afterSession();
}

void VirtualMeter::startDump()
{
    if (!m_port.isOpen()) {
        logLine(QStringLiteral("dump refused: unplugged"));
        return;
    }
    if (m_silenced) {
        logLine(QStringLiteral("dump refused: silent (resume first)"));
        return;
    }
    if (m_dump.isActive()) {
        logLine(QStringLiteral("dump refused: a dump is running"));
        return;
    }
    m_dump.start(m_logger, m_nextFaults, nowMs());
    m_nextFaults = DumpFaults();
    afterSession();
}

void VirtualMeter::afterSession()
{
    send(m_dump.takeOutput());
    for (const QString& event : m_dump.takeEvents())
        logLine(event);
    const qint64 deadline = m_dump.nextDeadlineMs();
    if (deadline < 0) {
        m_dumpTimer->stop();
        return;
    }
    m_dumpTimer->start(int(qBound(qint64(0), deadline - nowMs(), qint64(1) << 30)));
}

void VirtualMeter::readCommands()
{
    char buffer[1024];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (n <= 0) {
        // End of input is no reason to stop: the meter may well run without a console.
        m_stdinNotifier->setEnabled(false);
        if (!m_commandBuffer.isEmpty())
            runCommand(QString::fromLocal8Bit(m_commandBuffer));
        m_commandBuffer.clear();
        logLine(QStringLiteral("standard input closed; quit with SIGTERM or SIGINT"));
        return;
    }
    m_commandBuffer.append(buffer, qsizetype(n));
    qsizetype newline;
    while ((newline = m_commandBuffer.indexOf('\n')) >= 0) {
        const QByteArray line = m_commandBuffer.left(newline);
        m_commandBuffer.remove(0, newline + 1);
        runCommand(QString::fromLocal8Bit(line));
    }
    if (m_commandBuffer.size() > kMaxCommandLine) {
        logLine(QStringLiteral("command line too long, ignored"));
        m_commandBuffer.clear();
    }
}

void VirtualMeter::runCommand(const QString& line)
{
    MeterCommand command;
    QString error;
    if (!MeterCommand::parse(line, &command, &error)) {
        logLine(error);
        return;
    }
    switch (command.kind) {
    case MeterCommand::Kind::None:
        break;
    case MeterCommand::Kind::Silence:
        m_silenced = true;
        m_dump.abort();
        afterSession();
        logLine(QStringLiteral("silent"));
        break;
    case MeterCommand::Kind::Resume:
        m_silenced = false;
        logLine(QStringLiteral("live frames resume"));
        break;
    case MeterCommand::Kind::Quit:
        quit();
        break;
    case MeterCommand::Kind::Dump:
        startDump();
        break;
    case MeterCommand::Kind::Unplug:
        if (!m_port.isOpen())
            logLine(QStringLiteral("already unplugged"));
        else
            unplug();
        break;
    case MeterCommand::Kind::Plug:
        if (m_port.isOpen()) {
            logLine(QStringLiteral("already plugged in"));
            break;
        }
        if (command.number > 0) {
            m_options.port = int(command.number);
            m_linkPath = QFileInfo(m_linkPath).path() + QStringLiteral("/") + m_options.portName();
        }
        if (!plug(&error))
            logLine(QStringLiteral("plug failed: %1").arg(error));
        break;
    case MeterCommand::Kind::OutOfStep:
        m_frames.setOutOfStep(int(command.number));
        break;
    case MeterCommand::Kind::Markers:
        m_frames.setMarkers(command.markers);
        break;
    case MeterCommand::Kind::FaultStopAfter:
        m_nextFaults.stopAfter = int(command.number);
        break;
    case MeterCommand::Kind::FaultOvershoot:
        m_nextFaults.overshoot = int(command.number);
        break;
    case MeterCommand::Kind::FaultShortHeader:
        m_nextFaults.shortHeader = true;
        break;
    case MeterCommand::Kind::FaultQuiet:
        m_nextFaults.quietMs = int(qMin<qint64>(command.number, 1 << 30));
        break;
    case MeterCommand::Kind::Help: {
        const QByteArray text = MeterOptions::helpText().toLocal8Bit();
        std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
        std::fflush(stderr);
        break;
    }
    }
}

void VirtualMeter::quit()
{
    m_liveTimer->stop();
    m_paceTimer->stop();
    m_dumpTimer->stop();
    m_pacer.clear();
    m_portNotifier.reset();
    m_port.close();
    QCoreApplication::exit(0);
}
