#pragma once

#include "acquisition/displaystate.h"
#include "alarm/alarmsettings.h"
#include "logger/loggertables.h"
#include "meter/currentreading.h"
#include "recording/recordingstate.h"

// What a meter session measures and records for the whole run: the port, the current reading,
// the alarm limits, the display's texts, the recording and the logger's tables. Nothing of it is
// saved between runs.
struct SessionState {
    int PortNumber = 0; // 1 to 8 once chosen
    CurrentReading Reading;
    AlarmSettings Alarms;
    // What the main window shows: its value texts, unit, indicators, port label and captions.
    DisplayState Display;
    RecordingState Rec;
    LoggerTables Logger;
};
