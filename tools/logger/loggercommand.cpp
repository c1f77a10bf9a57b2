#include "loggercommand.h"

#include "common/headlessmessages.h"
#include "common/meterlistening.h"
#include "common/meterport.h"
#include "common/setfiles.h"
#include "loggersession.h"
#include "platform/serialportlink.h"

LoggerCommand::LoggerCommand(const LoggerOptions& options, Clock& clock, PortSystem& ports,
    QTextStream& out, QObject* parent)
    : QObject(parent)
    , m_options(options)
    , m_clock(clock)
    , m_ports(ports)
    , m_out(out)
{
}

// The session goes before the link it listens to.
LoggerCommand::~LoggerCommand()
{
    delete m_session;
}

void LoggerCommand::start()
{
    // A folder that cannot take the files is known before anyone presses the dump key.
    QString error;
    if (!PrepareSetFolder(m_options.folder, &error)) {
        Say(error);
        finish(kExitNotWritten);
        return;
    }
    if (m_options.portGiven) {
        download(m_options.port);
        return;
    }
    Say(QStringLiteral("listening for the meter on every serial port"));
    auto* listening = new MeterListening(m_ports, m_clock, this);
    connect(listening, &MeterListening::done, this, [this, listening](const HeardMeter& heard) {
        listening->deleteLater();
        if (!heard.found) {
            Say(heard.message);
            finish(kExitPortUnusable);
            return;
        }
        download(heard.port);
    });
    listening->start();
}

void LoggerCommand::download(const PortArgument& port)
{
    QString reason;
    m_link = OpenMeterPort(port, m_clock, &reason);
    if (!m_link) {
        Say(reason);
        finish(kExitPortUnusable);
        return;
    }
    Say(QStringLiteral("waiting up to %1 s on %2: press the meter's dump key")
            .arg(QString::number(m_options.waitSeconds), port.label()));
    m_session = new LoggerSession(*m_link, m_clock, m_options.folder, m_options.waitSeconds, m_out,
        [](const QString& text) { Say(text); });
    connect(m_session, &LoggerSession::finished, this, &LoggerCommand::finish);
    m_session->start();
}

void LoggerCommand::finish(int status)
{
    if (m_finished)
        return;
    m_finished = true;
    if (m_link)
        m_link->close();
    Q_EMIT finished(status);
}
