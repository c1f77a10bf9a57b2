#pragma once

#include "alarm/alarmcheck.h"
#include "livedisplay.h"
#include "recording/recorder.h"

#include <QObject>
#include <QStringList>

#include <array>

class Beeper;
struct CurrentReading;

// What the main window shows, kept apart from its labels: the eight value texts, the unit
// shown and the three temperature texts in it, the OVER and UNDER indicators, the port label
// and the recording captions. The acquisition cycle and the toolbar commands change it, the
// recorder keeps its captions and samples its texts, and the Panel shows it; every change
// emits changed().
class DisplayState final : public QObject, public RecorderLabels
{
    Q_OBJECT
public:
    explicit DisplayState(QObject* parent = nullptr);

    // LblAir, LblRH and both units' temperature texts UsedC ... UsedWF.
    const DisplayTexts& values() const { return m_values; }
    bool celsiusDisplay() const { return m_celsius; }
    // LblTemperature, LblDew and LblWet: the holders of the unit shown, or the "CF" form.
    const QString& temperatureText() const { return m_temperature; }
    const QString& dewText() const { return m_dew; }
    const QString& wetText() const { return m_wet; }
    IndicatorPair indicators(AlarmQuantity quantity) const
    {
        return m_indicators[static_cast<int>(quantity)];
    }
    // LblCOM: "No COM" until the port is open, then "COM" and its number; blinks while the
    // meter is silent.
    const QString& portText() const { return m_portText; }
    bool portVisible() const { return m_portVisible; }
    // LblCount, LblRec and LblFileName.
    const QString& recordCount() const { return m_recordCount; }
    const QString& recIndicator() const { return m_recIndicator; }
    bool recShown() const { return m_recShown; }
    const QString& fileTitle() const { return m_fileTitle; }

    // The texts a sample copies: LblAir, UsedC, UsedDC, UsedWC, LblRH, UsedF, UsedDF, UsedWF.
    QStringList sampleTexts() const;

    // A decoded reading: the value texts, the temperatures in the unit shown, then the alarm
    // checks in their order, with one beep for each quantity in alarm.
    void showReading(const CurrentReading& reading, const AlarmSettings& alarms, Beeper& beeper);
    // The "CF" command: the other unit, its three temperatures in the command's own form.
    void switchUnit(const CurrentReading& reading);
    void setCelsiusDisplay(bool celsius);

    // The port is open: LblCOM shows "COM" and the number from now on.
    void setPortNumber(int portNumber);
    void showNoCom();
    void setPortVisible(bool visible);
    // "COM" and the number again, after "No COM".
    void showPortText();

    void setRecordCount(const QString& text) override;
    void setRecIndicator(const QString& text) override;
    void setFileTitle(const QString& text) override;
    void setRecShown(bool shown);

Q_SIGNALS:
    void changed();

private:
    DisplayTexts m_values;
    bool m_celsius = true;
    QString m_temperature, m_dew, m_wet;
    std::array<IndicatorPair, kAlarmQuantityCount> m_indicators {};
    QString m_portNumberText;
    QString m_portText = QStringLiteral("No COM");
    bool m_portVisible = true;
    QString m_recordCount, m_recIndicator, m_fileTitle;
    bool m_recShown = true;
};
