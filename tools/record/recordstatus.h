#pragma once

#include "recordevents.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

class Clock;
class Timer;

// The last record in a few words: "12:00:04  CO2 812 ppm  21.3 °C  45.0 %RH" from a record line
// (stamp, CO2, °C, dew °C, wet °C, RH, °F, dew °F, wet °F, tab-separated).
QString ReadingSummary(const QString& recordLine);

// The status line on a terminal: records written, the last reading and the port's state.
QString StatusLine(qint64 records, const QString& recordLine, const QString& portState);

// What nimbrel-record tells the user. On a terminal one status line is rewritten in place, at
// most once a second (a line held back is drawn when the second is over), with each event on a line
// of its own above it; elsewhere (a service's journal) only the events, one plain line each.
class RecordStatus final : public RecordEvents
{
public:
    using Output = std::function<void(const QByteArray& bytes)>;

    RecordStatus(Output output, bool terminal, Clock& clock);
    ~RecordStatus() override;

    void waitingForMeter() override;
    void recordingStarted(const QString& path) override;
    void recordWritten(qint64 number, const QString& recordLine) override;
    void partStarted(qint64 part, const QString& path) override;
    void meterSilent() override;
    void meterAnswering() override;
    void portLost() override;
    void portRestored() override;
    void writeFailed(const QString& message) override;
    void datesNotWritten(const QString& message) override;
    void dumpBegun() override;
    void setWritten(const QString& summary) override;
    void setNotWritten(const QString& message) override;
    void dumpEnded(const QString& message) override;
    void recordingStopped(qint64 records, const QString& why) override;

    // An event line in the program's words (for messages that come from outside the run).
    void say(const QString& text);
    void setIntervalSeconds(int seconds) { m_interval = seconds; }
    // How messages name the port ("COM1 (/dev/ttyUSB0)").
    void setPortLabel(const QString& label) { m_portLabel = m_portState = label; }

private:
    void setPortState(const QString& state);
    void draw();
    void clearStatus();

    Output m_output;
    bool m_terminal;
    Clock& m_clock;
    // Draws a status line held back by the once-a-second limit once the second is over.
    std::unique_ptr<Timer> m_redraw;
    QString m_portLabel;
    QString m_portState;
    QString m_lastRecord;
    qint64 m_records = 0;
    qint64 m_drawnAtMs = 0;
    int m_interval = 0;
    bool m_drawn = false; // a status line stands on the terminal
};
