#pragma once

#include <QString>

// The alarm switches, the unit the alarm dialog works in, and the limits. Temperature, dew
// point and wet bulb keep a Celsius and a Fahrenheit pair side by side.
struct AlarmSettings {
    bool TemperatureEnabled = false;
    bool HumidityEnabled = false;
    bool DewEnabled = false;
    bool WetEnabled = false;
    bool Co2Enabled = false;
    QString Unit = QStringLiteral("C");

    double TempHighC = 60, TempLowC = -20;
    double HumidityHigh = 100, HumidityLow = 0;
    double DewHighC = 60, DewLowC = -20;
    double WetHighC = 60, WetLowC = -20;
    double TempHighF = 140, TempLowF = -4;
    double DewHighF = 140, DewLowF = -4;
    double WetHighF = 140, WetLowF = -4;
    double Co2High = 6000, Co2Low = 0;
};
