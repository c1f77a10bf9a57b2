#include "metersession.h"

#include "acquisition/acquisitioncycle.h"
#include "acquisition/sessionstate.h"
#include "logger/loggerstore.h"
#include "meter/loggerdownload.h"
#include "platform/clock.h"
#include "platform/seriallink.h"
#include "recording/datafileformat.h"
#include "recording/datafilehandle.h"
#include "recording/dateskeeper.h"
#include "recording/recorder.h"

#include <QDir>
#include <QFileInfo>

// The recorder's live list: the list window while one is open, nowhere otherwise.
class MeterSession::LiveListRelay final : public LiveListSink
{
public:
    LiveListSink* target = nullptr;
    DatesKeeper* dates = nullptr; // of the rows the list holds
    MeterSession* session = nullptr;

    void appendSample(const QString& rowText) override
    {
        if (target)
            target->appendSample(rowText);
    }
    bool dumpLiveList(const QString& fileName) override
    {
        if (!target)
            return true;
        if (!target->dumpLiveList(fileName))
            return false;
        // The dumped rows' dates go beside them; the rows that follow start afresh.
        QString error;
        if (!dates->writeTo(fileName, &error))
            Q_EMIT session->datesFailed(
                QStringLiteral("The dates of the list cannot be written to %1 (%2).")
                    .arg(QDir::toNativeSeparators(DatesFilePath(fileName)), error));
        dates->partStarted(QString());
        return true;
    }
};

// The recording's records go to its dates, the live list's rows to theirs.
class MeterSession::DatesHooks final : public RecordingHooks
{
public:
    DatesKeeper* recording = nullptr;
    DatesKeeper* list = nullptr;

    void recorded(qint64 number, const QTime& stamp, bool resynchronised) override
    {
        recording->recorded(number, stamp, resynchronised);
    }
    void partStarted(const QString& path) override { recording->partStarted(path); }
    void listed(qint64 row, const QTime& stamp, bool resynchronised) override
    {
        // The list opened afresh.
        if (row == 1)
            list->recordingStarted(QString());
        list->recorded(row, stamp, resynchronised);
    }
};

MeterSession::MeterSession(
    SessionState& state, SerialLink& link, Clock& clock, Beeper& beeper, QObject* parent)
    : QObject(parent)
    , m_state(state)
    , m_link(link)
    , m_file(std::make_unique<DataFileHandle>())
    , m_liveList(std::make_unique<LiveListRelay>())
    , m_hooks(std::make_unique<DatesHooks>())
{
    m_cycle = new AcquisitionCycle(link, clock, state.Reading, this);
    m_cycle->showOn(state.Display, state.Alarms, beeper);
    // The recorder samples the texts the display shows and keeps its captions.
    DisplayState& display = state.Display;
    m_recorder = new Recorder(
        state.Rec, clock, *m_file, [&display] { return display.sampleTexts(); }, display,
        *m_liveList, this);
    m_dates = new DatesKeeper(state.Rec, clock, this);
    m_listDates = new DatesKeeper(state.Rec, clock, this);
    m_hooks->recording = m_dates;
    m_hooks->list = m_listDates;
    m_recorder->setHooks(m_hooks.get());
    m_liveList->dates = m_listDates;
    m_liveList->session = this;
    m_store = new LoggerStore(state.Logger, this);
    m_download = new LoggerDownload(link, clock, *m_store, this);
    m_cycle->setDownloadHook(m_download);

    connect(m_cycle, &AcquisitionCycle::readingDecoded, this, &MeterSession::readingDecoded);
    connect(m_cycle, &AcquisitionCycle::noDataStarted, this, &MeterSession::meterSilent);
    connect(m_cycle, &AcquisitionCycle::noDataEnded, this, &MeterSession::meterAnswering);
    connect(m_recorder, &Recorder::recordingFailed, this, &MeterSession::recordingFailed);
    for (DatesKeeper* dates : { m_dates, m_listDates }) {
        connect(m_cycle, &AcquisitionCycle::readingDecoded, dates, &DatesKeeper::readingTaken);
        connect(m_cycle, &AcquisitionCycle::noDataStarted, dates, &DatesKeeper::meterSilent);
        connect(m_cycle, &AcquisitionCycle::noDataEnded, dates, &DatesKeeper::meterAnswering);
    }
    connect(m_dates, &DatesKeeper::datesFailed, this, &MeterSession::datesFailed);
    // The sets are dated by the computer's date-time when the download is over.
    connect(m_download, &DownloadHook::finished, m_store,
        [store = m_store, &clock] { store->downloadEnded(clock.now()); });
    connect(m_download, &LoggerDownload::stopped, this, &MeterSession::downloadStopped);
    connect(m_download, &LoggerDownload::noDataInMemory, this, &MeterSession::noDataInMemory);
}

MeterSession::~MeterSession()
{
    // A recording ended by quitting ends its dates too.
    if (recording())
        m_dates->recordingStopped();
    // The children refer to the file and the relay: they go first.
    delete m_download;
    delete m_store;
    delete m_recorder;
    delete m_dates;
    delete m_listDates;
    delete m_cycle;
}

bool MeterSession::start()
{
    if (!m_link.isOpen() && !m_link.open())
        return false;
    m_state.Display.setPortNumber(m_state.PortNumber);
    setPortIdentity(m_device, m_usbSerial);
    m_state.Display.setCelsiusDisplay(true);
    m_state.Alarms = AlarmSettings();
    m_cycle->timer1().start();
    m_recorder->start();
    return true;
}

void MeterSession::setLiveList(LiveListSink* sink)
{
    m_liveList->target = sink;
}

bool MeterSession::startRecording(const QString& path)
{
    RecordingState& rec = m_state.Rec;
    rec.DataFileName = path;
    // A file that cannot be created, or cannot take its header, starts nothing.
    if (!m_file->open(path) || !m_file->writeLine(HeaderLine())) {
        m_error = m_file->errorString();
        m_file->close();
        rec.FileChosen = false;
        return false;
    }
    m_error.clear();
    rec.FilePart = 0;
    rec.RecordCount = 0;
    m_dates->recordingStarted(path);
    m_state.Display.setFileTitle(QFileInfo(path).fileName());
    rec.Recording = true;
    m_state.Display.setRecShown(true);
    return true;
}

void MeterSession::stopRecording()
{
    RecordingState& rec = m_state.Rec;
    if (rec.Recording)
        m_dates->recordingStopped();
    rec.Recording = false;
    DisplayState& display = m_state.Display;
    display.setRecShown(false);
    display.setRecordCount(QString());
    display.setFileTitle(QString());
    rec.RecordCount = 0;
    m_file->close();
    rec.FileChosen = false;
}

void MeterSession::setPortIdentity(const QString& device, const QString& usbSerial)
{
    m_device = device;
    m_usbSerial = usbSerial;
    const QString port
        = m_state.PortNumber > 0 ? QStringLiteral("COM%1").arg(m_state.PortNumber) : QString();
    m_dates->setPort(port, device, usbSerial);
    m_listDates->setPort(port, device, usbSerial);
}

bool MeterSession::writeLiveListDates(const QString& path, QString* error) const
{
    return m_listDates->writeTo(path, error);
}

bool MeterSession::recording() const
{
    return m_state.Rec.Recording;
}

std::array<Timer*, 2> MeterSession::pausableTimers()
{
    return { &m_cycle->timer1(), &m_recorder->timer2() };
}
