#include "recordstatus.h"

#include "platform/clock.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>

namespace
{
constexpr qint64 kRedrawMs = 1000;
} // namespace

QString ReadingSummary(const QString& recordLine)
{
    const QStringList fields = recordLine.split(QLatin1Char('\t'));
    if (fields.size() < 6)
        return QString();
    return QStringLiteral("%1  CO2 %2 ppm  %3 \u00b0C  %4 %RH")
        .arg(fields[0], fields[1], fields[2], fields[5]);
}

QString StatusLine(qint64 records, const QString& recordLine, const QString& portState)
{
    QStringList parts { records == 1 ? QStringLiteral("1 record")
                                     : QStringLiteral("%1 records").arg(records) };
    const QString reading = ReadingSummary(recordLine);
    if (!reading.isEmpty())
        parts << reading;
    parts << portState;
    return parts.join(QStringLiteral("  |  "));
}

RecordStatus::RecordStatus(Output output, bool terminal, Clock& clock)
    : m_output(std::move(output))
    , m_terminal(terminal)
    , m_clock(clock)
    , m_redraw(clock.createTimer(nullptr))
{
    m_redraw->setSingleShot(true);
    QObject::connect(m_redraw.get(), &Timer::timeout, m_redraw.get(), [this] {
        if (!m_lastRecord.isEmpty())
            draw();
    });
}

RecordStatus::~RecordStatus() = default;

void RecordStatus::say(const QString& text)
{
    clearStatus();
    m_output((QCoreApplication::applicationName() + QStringLiteral(": ") + text + QLatin1Char('\n'))
                 .toLocal8Bit());
    if (m_terminal && !m_lastRecord.isEmpty())
        draw();
}

void RecordStatus::clearStatus()
{
    if (m_drawn)
        m_output("\r\033[K");
    m_drawn = false;
}

void RecordStatus::draw()
{
    clearStatus();
    m_output(StatusLine(m_records, m_lastRecord, m_portState).toLocal8Bit());
    m_drawn = true;
    m_drawnAtMs = m_clock.monotonicMs();
    m_redraw->stop();
}

void RecordStatus::setPortState(const QString& state)
{
    m_portState = state;
}

void RecordStatus::waitingForMeter()
{
    setPortState(m_portLabel);
    say(QStringLiteral("%1 open, waiting for the meter's first reading").arg(m_portLabel));
}

void RecordStatus::recordingStarted(const QString& path)
{
    say(QStringLiteral("recording to %1 every %2 s")
            .arg(QDir::toNativeSeparators(path))
            .arg(m_interval));
}

void RecordStatus::recordWritten(qint64 number, const QString& recordLine)
{
    m_records = number;
    m_lastRecord = recordLine;
    if (!m_terminal)
        return;
    const qint64 since = m_clock.monotonicMs() - m_drawnAtMs;
    if (!m_drawn || since >= kRedrawMs)
        draw();
    else if (!m_redraw->isActive())
        m_redraw->start(static_cast<int>(kRedrawMs - since));
}

void RecordStatus::partStarted(qint64 part, const QString& path)
{
    say(QStringLiteral("part %1 started: %2").arg(part).arg(QDir::toNativeSeparators(path)));
}

void RecordStatus::meterSilent()
{
    setPortState(m_portLabel + QStringLiteral(" meter silent"));
    say(QStringLiteral("meter silent (No COM): records repeat the last reading until it answers"));
}

void RecordStatus::meterAnswering()
{
    setPortState(m_portLabel);
    say(QStringLiteral("meter answering again"));
}

void RecordStatus::portLost()
{
    setPortState(m_portLabel + QStringLiteral(" lost, waiting"));
    say(QStringLiteral("%1 lost (unplugged?): waiting for the meter to come back")
            .arg(m_portLabel));
}

void RecordStatus::portRestored()
{
    setPortState(m_portLabel);
    say(QStringLiteral("reconnected: %1 open again").arg(m_portLabel));
}

void RecordStatus::writeFailed(const QString& message)
{
    say(message);
}

void RecordStatus::datesNotWritten(const QString& message)
{
    say(message);
}

void RecordStatus::dumpBegun()
{
    say(QStringLiteral("logger dump received: downloading"));
}

void RecordStatus::setWritten(const QString& summary)
{
    say(QStringLiteral("logger set written: ") + summary);
}

void RecordStatus::setNotWritten(const QString& message)
{
    say(message);
}

void RecordStatus::dumpEnded(const QString& message)
{
    say(message.isEmpty() ? QStringLiteral("logger dump over, recording goes on")
                          : QStringLiteral("logger dump: ") + message);
}

void RecordStatus::recordingStopped(qint64 records, const QString& why)
{
    clearStatus();
    m_lastRecord.clear(); // no status line after the last word
    const QString count
        = records == 1 ? QStringLiteral("1 record") : QStringLiteral("%1 records").arg(records);
    say(why == QLatin1String("done") ? QStringLiteral("done: %1").arg(count)
                                     : QStringLiteral("stopped (%1): %2").arg(why, count));
}
