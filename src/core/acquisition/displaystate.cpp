#include "displaystate.h"

#include "meter/currentreading.h"
#include "meter/portchoice.h"
#include "platform/beeper.h"

DisplayState::DisplayState(QObject* parent)
    : QObject(parent)
{
}

QStringList DisplayState::sampleTexts() const
{
    const DisplayTexts& t = m_values;
    return { t.LblAir, t.UsedC, t.UsedDC, t.UsedWC, t.LblRH, t.UsedF, t.UsedDF, t.UsedWF };
}

void DisplayState::showReading(
    const CurrentReading& reading, const AlarmSettings& alarms, Beeper& beeper)
{
    m_values = DisplayTextsFor(reading);
    m_temperature = m_celsius ? m_values.UsedC : m_values.UsedF;
    m_dew = m_celsius ? m_values.UsedDC : m_values.UsedDF;
    m_wet = m_celsius ? m_values.UsedWC : m_values.UsedWF;
    int beeps = 0;
    for (const AlarmQuantity q : kAlarmCheckOrder) {
        const AlarmOutcome outcome = CheckAlarm(q, reading, alarms, m_celsius);
        IndicatorPair& pair = m_indicators[static_cast<int>(q)];
        pair = NextIndicators(outcome, pair);
        if (Beeps(outcome))
            ++beeps;
    }
    Q_EMIT changed();
    for (int i = 0; i < beeps; ++i)
        beeper.beep();
}

void DisplayState::switchUnit(const CurrentReading& r)
{
    m_celsius = !m_celsius;
    m_temperature = UnitSwitchText(m_celsius ? r.TempC : r.TempF);
    m_dew = UnitSwitchText(m_celsius ? r.DewC : r.DewF);
    m_wet = UnitSwitchText(m_celsius ? r.WetC : r.WetF);
    Q_EMIT changed();
}

void DisplayState::setCelsiusDisplay(bool celsius)
{
    m_celsius = celsius;
    Q_EMIT changed();
}

void DisplayState::setPortNumber(int portNumber)
{
    m_portNumberText = PortText(portNumber);
    showPortText();
}

void DisplayState::showNoCom()
{
    m_portText = QStringLiteral("No COM");
    Q_EMIT changed();
}

void DisplayState::setPortVisible(bool visible)
{
    m_portVisible = visible;
    Q_EMIT changed();
}

void DisplayState::showPortText()
{
    m_portText = m_portNumberText;
    Q_EMIT changed();
}

void DisplayState::setRecordCount(const QString& text)
{
    m_recordCount = text;
    Q_EMIT changed();
}

void DisplayState::setRecIndicator(const QString& text)
{
    m_recIndicator = text;
    Q_EMIT changed();
}

void DisplayState::setFileTitle(const QString& text)
{
    m_fileTitle = text;
    Q_EMIT changed();
}

void DisplayState::setRecShown(bool shown)
{
    m_recShown = shown;
    Q_EMIT changed();
}
