#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <memory>

class AcquisitionCycle;
class Beeper;
class Clock;
class DataFileHandle;
class DatesKeeper;
class LiveListSink;
class LoggerDownload;
class LoggerStore;
class Recorder;
class SerialLink;
class Timer;
struct SessionState;

// One meter on one open link, measured and recorded: the acquisition cycle decodes its frames
// into the reading and the display state, the recorder samples the display every
// SamplingSeconds into the data file and the live list, and a dump the meter sends is fetched
// into the logger's tables. The main window shows it; a program without windows runs it alone.
class MeterSession final : public QObject
{
    Q_OBJECT
public:
    MeterSession(SessionState& state, SerialLink& link, Clock& clock, Beeper& beeper,
        QObject* parent = nullptr);
    ~MeterSession() override;

    // Opens the link when it is not open yet (the program opens it before any window shows;
    // opened already, it stays as it is), then LblCOM shows the port, the display starts in
    // Celsius with the alarm limits at their defaults, and the acquisition cycle (Timer1) and the
    // sampling (Timer2) run. False, with nothing started, when the link cannot be opened.
    bool start();

    // Where the recorder adds its sample rows; nothing (the default) while no list is open.
    void setLiveList(LiveListSink* sink);

    // Starts recording to path: the file is created with the header line, the record count
    // starts again and LblFileName shows the file's name. False, with nothing started and
    // FileChosen down, when the file cannot be created or take its header; errorString() says
    // why.
    bool startRecording(const QString& path);
    // Closes the data file and clears the recording captions. The dates file ends with the stop
    // (so does it when the session goes while recording).
    void stopRecording();
    // The port the dates of a recording name: its device path and USB serial number as far as
    // known (the COMn comes from the state).
    void setPortIdentity(const QString& device, const QString& usbSerial);
    // Writes the dates of the rows the live list holds beside path, where they were saved.
    // False with the reason the file cannot be written.
    bool writeLiveListDates(const QString& path, QString* error) const;
    bool recording() const;
    QString errorString() const { return m_error; }

    SessionState& state() { return m_state; }
    AcquisitionCycle& acquisition() { return *m_cycle; }
    Recorder& recorder() { return *m_recorder; }
    DatesKeeper& datesKeeper() { return *m_dates; }
    DataFileHandle& dataFile() { return *m_file; }
    LoggerStore& loggerStore() { return *m_store; }
    LoggerDownload& download() { return *m_download; }
    // The two timers a print pauses: Timer1 and Timer2.
    std::array<Timer*, 2> pausableTimers();

Q_SIGNALS:
    // A live frame was decoded into the reading (the display shows it already).
    void readingDecoded();
    // The meter went silent ("No COM" blinks); it answers again.
    void meterSilent();
    void meterAnswering();
    // Samples stopped reaching the data file: the file and the reason. Sent after the tick.
    void recordingFailed(const QString& message);
    // The dates file beside the data file could not be written (told once per recording; the
    // recording goes on).
    void datesFailed(const QString& message);
    // A logger download ended early (after it is over), or found no set.
    void downloadStopped(const QString& message);
    void noDataInMemory();

private:
    class LiveListRelay;
    class DatesHooks;

    SessionState& m_state;
    SerialLink& m_link;
    std::unique_ptr<DataFileHandle> m_file;
    std::unique_ptr<LiveListRelay> m_liveList;
    std::unique_ptr<DatesHooks> m_hooks;
    AcquisitionCycle* m_cycle = nullptr;
    Recorder* m_recorder = nullptr;
    DatesKeeper* m_dates = nullptr;
    DatesKeeper* m_listDates = nullptr; // the live list's rows
    LoggerStore* m_store = nullptr;
    LoggerDownload* m_download = nullptr;
    QString m_error;
    QString m_device;
    QString m_usbSerial;
};
