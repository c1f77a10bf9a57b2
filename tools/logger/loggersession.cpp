#include "loggersession.h"

#include "acquisition/acquisitioncycle.h"
#include "common/headlessmessages.h"
#include "common/setdownload.h"
#include "platform/clock.h"
#include "platform/seriallink.h"

#include <QTextStream>

int LoggerExitStatus(const SetDownloadOutcome& outcome)
{
    if (outcome.end == SetDownloadOutcome::End::NoData)
        return kExitNoData;
    if (!outcome.failures.isEmpty())
        return kExitNotWritten;
    if (outcome.end == SetDownloadOutcome::End::Stopped)
        return kExitIncomplete;
    for (const WrittenSet& written : outcome.written) {
        if (!written.completed)
            return kExitIncomplete;
    }
    return kExitDone;
}

LoggerSession::LoggerSession(SerialLink& link, Clock& clock, const QString& folder, int waitSeconds,
    QTextStream& out, std::function<void(const QString&)> say, QObject* parent)
    : QObject(parent)
    , m_out(out)
    , m_say(std::move(say))
    , m_waitSeconds(waitSeconds)
{
    m_cycle = new AcquisitionCycle(link, clock, m_reading, this);
    m_download = new SetDownload(link, clock, folder, this);
    m_cycle->setDownloadHook(&m_download->hook());
    m_wait = clock.createTimer(this);
    m_wait->setSingleShot(true);

    connect(m_wait, &Timer::timeout, this, [this] {
        m_say(QStringLiteral("no dump within %1 s").arg(m_waitSeconds));
        finish(kExitNoDump);
    });
    connect(m_download, &SetDownload::begun, this, [this](int sets) {
        m_wait->stop(); // a dump that has begun runs to its end
        m_say(QStringLiteral("downloading %1 set(s)").arg(sets));
    });
    connect(m_download, &SetDownload::ended, this, &LoggerSession::end);
    connect(&link, &SerialLink::linkLost, this, [this] {
        m_say(QStringLiteral("the meter's port went away (cable pulled?): waiting for it"));
    });
    connect(&link, &SerialLink::linkRestored, this,
        [this] { m_say(QStringLiteral("the meter's port is back")); });
}

LoggerSession::~LoggerSession() = default;

void LoggerSession::start()
{
    m_cycle->timer1().start();
    m_wait->start(m_waitSeconds * 1000);
}

void LoggerSession::end(const SetDownloadOutcome& outcome)
{
    if (m_finished)
        return;
    if (!outcome.message.isEmpty())
        m_say(outcome.message);
    for (const WrittenSet& written : outcome.written) {
        m_out << SetSummaryLine(written) << '\n';
        if (!written.completed)
            m_say(QStringLiteral("set %1 could not be listed in full: %2 of its %3 records "
                                 "written (start time %4)")
                      .arg(QString::number(written.set), QString::number(written.rowsListed),
                          QString::number(written.records), written.startTime));
    }
    m_out.flush();
    for (const QString& failure : outcome.failures)
        m_say(failure);
    finish(LoggerExitStatus(outcome));
}

void LoggerSession::finish(int status)
{
    if (m_finished)
        return;
    m_finished = true;
    m_wait->stop();
    m_cycle->timer1().stop();
    Q_EMIT finished(status);
}
