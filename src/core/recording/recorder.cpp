#include "recorder.h"

#include "datafileformat.h"
#include "datafilehandle.h"
#include "platform/clock.h"
#include "recordingstate.h"

#include <QDir>

#include <utility>

namespace
{
constexpr int kDriftLimitSeconds = 4;
constexpr qint64 kSecondsPerDay = 86400;
} // namespace

QTime AdvanceStamp(const QTime& stamp, qint64 seconds)
{
    return stamp.addSecs(static_cast<int>(seconds % kSecondsPerDay));
}

bool StampDrifted(const QTime& stamp, const QTime& now)
{
    // The whole time of day, the shorter way round midnight: an interval that drifts by whole
    // minutes leaves the seconds alike while the stamp runs ahead.
    qint64 apart = stamp.secsTo(now);
    if (apart > kSecondsPerDay / 2)
        apart -= kSecondsPerDay;
    else if (apart < -kSecondsPerDay / 2)
        apart += kSecondsPerDay;
    if (apart >= kDriftLimitSeconds || apart <= -kDriftLimitSeconds)
        return true;
    // Within the limit a stamp and a clock on either side of a minute boundary are taken back
    // to the clock too; that costs nothing and keeps the stamps as they always were.
    const int seconds = now.second() - stamp.second();
    return seconds >= kDriftLimitSeconds || seconds <= -kDriftLimitSeconds;
}

QString StampText(const QTime& time)
{
    return time.toString(QStringLiteral("hh:mm:ss"));
}

Recorder::Recorder(RecordingState& state, Clock& clock, DataFileHandle& file,
    std::function<QStringList()> sampleTexts, RecorderLabels& labels, LiveListSink& liveList,
    QObject* parent)
    : QObject(parent)
    , m_state(state)
    , m_clock(clock)
    , m_file(file)
    , m_sampleTexts(std::move(sampleTexts))
    , m_labels(labels)
    , m_liveList(liveList)
{
    m_timer2 = clock.createTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setInterval(kTickMs);
    connect(m_timer2, &Timer::timeout, this, &Recorder::tick);
}

void Recorder::start()
{
    m_stamp = QTime(
        m_clock.timeOfDay().hour(), m_clock.timeOfDay().minute(), m_clock.timeOfDay().second());
    m_timer2->start();
}

void Recorder::tick()
{
    if (m_state.SampleTicks != 0 && m_state.SampleTicks < m_state.SamplingSeconds) {
        ++m_state.SampleTicks;
        return;
    }

    m_stamp = AdvanceStamp(m_stamp, m_state.SamplingSeconds);
    const QTime now = m_clock.timeOfDay();
    if (StampDrifted(m_stamp, now)) {
        m_stamp = QTime(now.hour(), now.minute(), now.second());
        m_resynchronised = true;
        m_listResynchronised = true;
    }

    QStringList fields = m_sampleTexts();
    fields.prepend(StampText(m_stamp));
    const QString recordLine = fields.join(QLatin1Char('\t'));

    if (m_state.Recording) {
        record(recordLine);
    } else {
        m_labels.setFileTitle(QString());
        m_labels.setRecordCount(QString());
        m_labels.setRecIndicator(QString());
        m_state.RecordCount = 0;
        m_failing = false;
    }
    if (m_state.ListOpen)
        addToLiveList(recordLine);
    m_state.SampleTicks = 1;
    Q_EMIT sampled(recordLine);
    if (!m_failure.isEmpty())
        Q_EMIT recordingFailed(std::exchange(m_failure, QString()));
}

void Recorder::record(const QString& recordLine)
{
    // A part holds kSplitSize records; the next record opens the next part. When opening it
    // failed, or its first record could not be written, the next tick tries again with the
    // same part and the same record number.
    const bool partFull = m_state.RecordCount > 0 && m_state.RecordCount % kSplitSize == 0
        && (!m_file.isOpen() || m_file.linesWritten() > 1);
    if (partFull && !startNextPart())
        return;
    const qint64 number = m_state.RecordCount + 1;
    if (!m_file.writeLine(RecorderRecordLine(number, recordLine))) {
        // Not in the file, so not counted.
        fail(QStringLiteral("Samples are not being recorded: cannot write to %1 (%2).")
                 .arg(QDir::toNativeSeparators(currentPartName()), m_file.errorString()));
        return;
    }
    m_state.RecordCount = number;
    m_failing = false;
    if (m_hooks)
        m_hooks->recorded(number, m_stamp, m_resynchronised);
    m_resynchronised = false;
    m_labels.setRecordCount(QString::number(number));
    m_labels.setRecIndicator(QStringLiteral("Rec"));
}

bool Recorder::startNextPart()
{
    const qint64 part = m_state.FilePart + 1;
    const QString name = SplitPartName(m_state.DataFileName, part);
    m_file.close();
    if (!m_file.open(name) || !m_file.writeLine(HeaderLine())) {
        fail(QStringLiteral("Samples are not being recorded: cannot create %1 (%2).")
                 .arg(QDir::toNativeSeparators(name), m_file.errorString()));
        m_file.close();
        return false;
    }
    m_state.FilePart = part;
    if (m_hooks)
        m_hooks->partStarted(name);
    return true;
}

QString Recorder::currentPartName() const
{
    return m_state.FilePart == 0 ? m_state.DataFileName
                                 : SplitPartName(m_state.DataFileName, m_state.FilePart);
}

void Recorder::fail(const QString& message)
{
    m_labels.setRecIndicator(failedIndicator());
    if (m_failing)
        return;
    m_failing = true;
    m_failure = message;
}

void Recorder::addToLiveList(const QString& recordLine)
{
    ++m_state.ListRowCount;
    m_liveList.appendSample(QString::number(m_state.ListRowCount) + QLatin1Char('\t') + recordLine);
    if (m_hooks)
        m_hooks->listed(m_state.ListRowCount, m_stamp, m_listResynchronised);
    m_listResynchronised = false;
    if (m_state.ListRowCount % kSplitSize == 0)
        m_liveList.dumpLiveList(DumpFileName(m_clock.date(), m_clock.timeOfDay()));
}
