#pragma once

#include "acquisition/displaystate.h"
#include "alarm/alarmsettings.h"
#include "graphs/graphsstate.h"
#include "logger/loggertables.h"
#include "meter/currentreading.h"
#include "recording/recordingstate.h"

// The state that lives for the whole run, held together here and handed to each window.
// Nothing of it is saved between runs.
struct ProgramState {
    int PortNumber = 0; // 1 to 8 once chosen
    CurrentReading Reading;
    AlarmSettings Alarms;
    // What the main window shows: its value texts, unit, indicators, port label and captions.
    DisplayState Display;
    RecordingState Rec;
    GraphsState Graphs;
    LoggerTables Logger;
};
