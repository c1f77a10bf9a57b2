#pragma once

#include <QDate>
#include <QString>
#include <QtGlobal>

#include <array>

// What the user chooses for a report: the dialog's fields and the command line's options.
// Temperatures are in tenths of the unit shown.
struct ReportSettings {
    QString title;
    QDate firstDate; // the date of the first record
    // Where firstDate came from when no dates file names it: given, walked back from the
    // file's last-write time, today (a live list).
    enum class FirstDate { Given, WalkedBack, Today };
    FirstDate firstDateFrom = FirstDate::Given;
    std::array<qint32, 3> co2Limits { 800, 1000, 1400 };
    qint32 outdoorPpm = 420;
    std::array<qint32, 2> comfortTemp { 200, 260 };
    std::array<qint32, 2> comfortHumidity { 300, 600 };
    bool fahrenheit = false;

    // The default comfort range of temperature (20 to 26 °C) in the given unit.
    static std::array<qint32, 2> defaultComfortTemp(bool fahrenheit);
};

// An empty text when the settings make sense, else what is wrong: limits must rise, a range's
// low end must lie below its high end, the outdoor CO2 lie between 0 and the first limit.
QString SettingsProblem(const ReportSettings& settings);

// Reads "800,1000,1400" (whole numbers) or "20,26" and "20.5,25" (one decimal, as tenths):
// exactly count numbers separated by commas. False when the text is not that.
bool ReadNumberList(const QString& text, int count, bool tenths, qint32* values);

// The unit shown: "°C" or "°F".
QString TemperatureUnit(bool fahrenheit);
