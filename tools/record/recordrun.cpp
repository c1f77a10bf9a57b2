#include "recordrun.h"

#include "acquisition/metersession.h"
#include "logger/loggerstore.h"
#include "meter/loggerdownload.h"
#include "platform/clock.h"
#include "platform/seriallink.h"
#include "recordevents.h"
#include "recording/datafileformat.h"
#include "recording/recorder.h"

#include <QDir>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace
{
// The longest single wait of the --for timer; a longer time is waited for in steps.
constexpr qint64 kLongestWaitMs = 3600 * 1000;
} // namespace

RecordRun::RecordRun(SerialLink& link, Clock& clock, RecordPlan plan, QObject* parent)
    : QObject(parent)
    , m_clock(clock)
    , m_plan(std::move(plan))
{
    m_state.PortNumber = m_plan.portNumber;
    m_state.Rec.SamplingSeconds = m_plan.intervalSeconds;
    m_session = std::make_unique<MeterSession>(m_state, link, clock, m_beeper);
    m_deadline = clock.createTimer(this);
    m_deadline->setSingleShot(true);
    connect(m_deadline, &Timer::timeout, this, &RecordRun::deadlinePassed);

    MeterSession& session = *m_session;
    connect(&session, &MeterSession::readingDecoded, this, &RecordRun::firstReading);
    connect(&session.recorder(), &Recorder::sampled, this, &RecordRun::afterSample);
    connect(&session, &MeterSession::meterSilent, this,
        [this] { tell([](RecordEvents& e) { e.meterSilent(); }); });
    connect(&session, &MeterSession::meterAnswering, this,
        [this] { tell([](RecordEvents& e) { e.meterAnswering(); }); });
    connect(&link, &SerialLink::linkLost, this,
        [this] { tell([](RecordEvents& e) { e.portLost(); }); });
    connect(&link, &SerialLink::linkRestored, this,
        [this] { tell([](RecordEvents& e) { e.portRestored(); }); });
    connect(&session, &MeterSession::recordingFailed, this, [this](const QString& message) {
        tell([&message](RecordEvents& e) { e.writeFailed(message); });
    });
    connect(&session, &MeterSession::datesFailed, this, [this](const QString& message) {
        tell([&message](RecordEvents& e) { e.datesNotWritten(message); });
    });

    // A dump: the session's exchange fetches it into its tables, and each set that arrived whole
    // is written as it comes in.
    connect(&session.loggerStore(), &LoggerStore::downloadBegun, this,
        [this] { tell([](RecordEvents& e) { e.dumpBegun(); }); });
    connect(&session.loggerStore(), &LoggerStore::setAdded, this, &RecordRun::writeSet);
    connect(&session, &MeterSession::noDataInMemory, this,
        [this] { dumpOver(LoggerDownload::noDataMessage()); });
    connect(&session, &MeterSession::downloadStopped, this, &RecordRun::dumpOver);
    // A dump that found nothing said so before the exchange finished, one that stopped part way
    // says so right after: a dump that did neither came in whole.
    connect(&session.download(), &DownloadHook::finished, this, [this] {
        QTimer::singleShot(0, this, [this] {
            if (!std::exchange(m_dumpOutcomeTold, false))
                tell([](RecordEvents& e) { e.dumpEnded(QString()); });
        });
    });
}

RecordRun::~RecordRun() = default;

template <typename Call> void RecordRun::tell(Call call)
{
    for (RecordEvents* listener : std::as_const(m_listeners))
        call(*listener);
}

bool RecordRun::start()
{
    if (!m_session->start())
        return false;
    tell([](RecordEvents& e) { e.waitingForMeter(); });
    return true;
}

void RecordRun::firstReading()
{
    // As a user presses "Save" once the first reading shows: the records that follow hold the
    // meter's values, never the empty display of a meter not heard yet.
    if (!m_recordingWanted || m_over || m_session->recording())
        return;
    m_recordingWanted = false;
    if (!m_session->startRecording(m_plan.file)) {
        m_over = true;
        const QString message
            = QStringLiteral("cannot write %1 (%2)")
                  .arg(QDir::toNativeSeparators(m_plan.file), m_session->errorString());
        Q_EMIT finished(4, message);
        return;
    }
    m_lastCount = 0;
    m_lastPart = 0;
    tell([this](RecordEvents& e) { e.recordingStarted(m_plan.file); });
    if (m_plan.forSeconds > 0) {
        m_deadlineMs = m_clock.monotonicMs() + m_plan.forSeconds * 1000;
        armDeadline();
    }
}

void RecordRun::afterSample(const QString& recordLine)
{
    const RecordingState& rec = m_state.Rec;
    if (!rec.Recording)
        return;
    if (rec.FilePart != m_lastPart) {
        m_lastPart = rec.FilePart;
        const QString path = SplitPartName(m_plan.file, rec.FilePart);
        tell([this, &path](RecordEvents& e) { e.partStarted(m_lastPart, path); });
    }
    if (rec.RecordCount != m_lastCount) {
        m_lastCount = rec.RecordCount;
        tell([this, &recordLine](RecordEvents& e) { e.recordWritten(m_lastCount, recordLine); });
    }
}

void RecordRun::armDeadline()
{
    const qint64 left = m_deadlineMs - m_clock.monotonicMs();
    if (left <= 0) {
        stop(QStringLiteral("done"));
        return;
    }
    m_deadline->start(static_cast<int>(std::min(left, kLongestWaitMs)));
}

void RecordRun::deadlinePassed()
{
    armDeadline();
}

void RecordRun::stop(const QString& why)
{
    if (m_over)
        return;
    m_over = true;
    m_deadline->stop();
    const qint64 records = m_state.Rec.RecordCount;
    const bool wasRecording = m_session->recording();
    m_session->stopRecording();
    if (wasRecording)
        tell([records, &why](RecordEvents& e) { e.recordingStopped(records, why); });
    else
        tell([&why](RecordEvents& e) { e.recordingStopped(0, why); });
    Q_EMIT finished(0, QString());
}

void RecordRun::writeSet(const QStringList& cells)
{
    if (!m_setWriter)
        return;
    QString text;
    if (m_setWriter(m_state.Logger, cells, &text))
        tell([&text](RecordEvents& e) { e.setWritten(text); });
    else
        tell([&text](RecordEvents& e) { e.setNotWritten(text); });
}

void RecordRun::dumpOver(const QString& message)
{
    m_dumpOutcomeTold = true;
    tell([&message](RecordEvents& e) { e.dumpEnded(message); });
}
