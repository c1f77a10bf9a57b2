#pragma once

#include "meter/currentreading.h"

#include <QString>

// The texts the panel shows for a reading; the recorder stores the same texts.
struct DisplayTexts {
    QString LblAir; // CO2: whole ppm or "OL", no decimal added
    QString LblRH;
    QString UsedC, UsedDC, UsedWC;
    QString UsedF, UsedDF, UsedWF;
};
DisplayTexts DisplayTextsFor(const CurrentReading& reading);

// The "CF" command's own number form: one decimal ("0.0"), rounded, with a leading blank when
// not negative (" 23.5", "-3.2"); a marker is shown unchanged.
QString UnitSwitchText(const TaggedValue& value);
QString UnitSwitchText(const QString& valueText);
