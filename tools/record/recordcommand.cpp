#include "recordcommand.h"

#include "acquisition/metersession.h"
#include "common/headlessmessages.h"
#include "common/meterlistening.h"
#include "common/meterport.h"
#include "common/setfiles.h"
#include "logger/setdates.h"
#include "meter/loggerdownload.h"
#include "platform/samedevice.h"
#include "platform/serialportlink.h"
#include "recordrun.h"

#include <QDir>
#include <QFileInfo>

#include <utility>

RecordCommand::RecordCommand(const RecordOptions& options, Clock& clock, PortSystem& ports,
    RecordStatus::Output output, bool terminal, QObject* parent)
    : QObject(parent)
    , m_options(options)
    , m_clock(clock)
    , m_ports(ports)
    , m_status(std::move(output), terminal, clock)
{
    m_status.setIntervalSeconds(options.intervalSeconds);
}

// The run goes before the link it reads.
RecordCommand::~RecordCommand()
{
    delete m_run;
}

void RecordCommand::start()
{
    // A logger folder that cannot take the files is known before anyone presses the dump key.
    QString error;
    if (!m_options.loggerDir.isEmpty() && !PrepareSetFolder(m_options.loggerDir, &error)) {
        m_status.say(error);
        finish(kExitNotWritten);
        return;
    }
    // Starting again (a reboot, a restart) must never empty an earlier recording.
    const QFileInfo file(m_options.file);
    if (file.exists() && (!file.isFile() || file.size() > 0)) {
        m_status.say(QStringLiteral("cannot write %1 (it exists already and is kept: give a new "
                                    "name)")
                         .arg(QDir::toNativeSeparators(m_options.file)));
        finish(kExitNotWritten);
        return;
    }
    if (m_options.portGiven) {
        record(m_options.port);
        return;
    }
    m_status.say(QStringLiteral("listening for the meter on every serial port"));
    auto* listening = new MeterListening(m_ports, m_clock, this);
    connect(listening, &MeterListening::done, this, [this, listening](const HeardMeter& heard) {
        listening->deleteLater();
        if (m_finished)
            return;
        if (!heard.found) {
            m_status.say(heard.message);
            finish(kExitPortUnusable);
            return;
        }
        record(heard.port);
    });
    listening->start();
}

void RecordCommand::record(const PortArgument& port)
{
    QString reason;
    m_link = OpenMeterPort(port, m_clock, &reason);
    if (!m_link) {
        m_status.say(reason);
        finish(kExitPortUnusable);
        return;
    }
    // After an unplug the adapter is found again by its identity, under whatever name it has.
    PortEntry device = FollowSameDevice(*m_link, m_ports, port.comNumber);
    if (device.devicePath.isEmpty())
        device.devicePath = QFileInfo(m_link->portName()).canonicalFilePath();

    m_status.setPortLabel(port.label());
    m_run = new RecordRun(*m_link, m_clock,
        RecordPlan {
            m_options.file, m_options.intervalSeconds, m_options.forSeconds, port.comNumber });
    m_run->session().setPortIdentity(device.devicePath, device.serialNumber);
    m_run->addListener(&m_status);
    if (!m_options.loggerDir.isEmpty()) {
        const QString folder = m_options.loggerDir;
        Clock& clock = m_clock;
        m_run->setSetWriter([this, folder, &clock](const LoggerTables& tables,
                                const QStringList& cells, QString* text) {
            WrittenSet written;
            if (!WriteSetFile(folder, tables, cells, clock, &written, text))
                return false;
            m_setsWritten << written.set;
            *text = SetSummaryLine(written);
            return true;
        });
        // The sets written as they came are dated once the download is over.
        connect(&m_run->session().download(), &DownloadHook::finished, this, [this, folder] {
            for (const int set : std::exchange(m_setsWritten, {})) {
                QString error;
                const QString path = SetFilePath(folder, set);
                if (!WriteSetDatesFile(path, m_run->state().Logger, set, &error))
                    m_status.say(QStringLiteral("%1: %2").arg(
                        QDir::toNativeSeparators(DatesFilePath(path)), error));
            }
        });
    }
    connect(m_run, &RecordRun::finished, this, [this](int status, const QString& message) {
        if (!message.isEmpty())
            m_status.say(message);
        finish(status);
    });
    if (!m_run->start()) {
        m_status.say(QStringLiteral("%1 cannot be opened.").arg(port.label()));
        finish(kExitPortUnusable);
    }
}

void RecordCommand::stop(const QString& why)
{
    if (m_finished)
        return;
    if (m_run) {
        m_run->stop(why);
        return;
    }
    m_status.say(QStringLiteral("stopped (%1) before recording").arg(why));
    finish(kExitDone);
}

void RecordCommand::finish(int status)
{
    if (m_finished)
        return;
    m_finished = true;
    Q_EMIT finished(status);
}
