#pragma once

#include "dumpsession.h"
#include "liveframesource.h"
#include "loggerimage.h"
#include "meteroptions.h"
#include "pacer.h"
#include "ptyport.h"

#include <QElapsedTimer>
#include <QObject>

#include <memory>

class MicroTimer;
class QSocketNotifier;
class QTimer;

// The running meter: streams live frames on its pseudo-terminal, runs logger dumps, and obeys
// the operator's commands on standard input and SIGTERM/SIGINT.
class VirtualMeter final : public QObject
{
public:
    // Unread bytes on the program's side beyond which nobody is listening: they are dropped
    // before the next live frame, as a serial line loses what no one reads.
    static constexpr int kStaleBytes = Pacer::kWireBytesPerSecond;
    static constexpr int kPaceTickMs = 1;
    static constexpr int kMaxCommandLine = 4096;

    explicit VirtualMeter(const MeterOptions& options);
    ~VirtualMeter() override;

    // Makes stdin, stdout and stderr valid (on /dev/null if the caller closed them), so that no
    // handle opened later lands on them, and ignores SIGPIPE. Call first thing in main().
    static void guardStandardStreams();

    // Opens and publishes the port, prints the first line, starts the frames. False with a
    // message when the meter cannot run.
    bool start(QString* error);

private:
    qint64 nowMs() const { return m_clock.elapsed(); }
    qint64 nowUs() const { return m_clock.nsecsElapsed() / 1000; }

    bool plug(QString* error);
    void unplug();
    void announce();
    void sendLiveFrame();
    void send(const QByteArray& bytes);
    void pace();
    void readFromProgram();
    void readCommands();
    void runCommand(const QString& line);
    void startDump();
    void afterSession();
    void quit();
    bool installSignalPipe(QString* error);

    MeterOptions m_options;
    LiveFrameSource m_frames;
    LoggerImage m_logger;
    DumpSession m_dump;
    DumpFaults m_nextFaults;
    Pacer m_pacer;
    PtyPort m_port;
    QString m_linkPath;
    QString m_byIdPath;
    QElapsedTimer m_clock;
    bool m_silenced = false;
    QByteArray m_commandBuffer;

    QTimer* m_liveTimer = nullptr;
    MicroTimer* m_paceTimer = nullptr;
    QTimer* m_dumpTimer = nullptr;
    std::unique_ptr<QSocketNotifier> m_portNotifier;
    QSocketNotifier* m_stdinNotifier = nullptr;
    QSocketNotifier* m_signalNotifier = nullptr;
};
