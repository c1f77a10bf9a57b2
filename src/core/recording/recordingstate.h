#pragma once

#include <QString>
#include <QtGlobal>

// The recording and list share of the program-wide state: whether a data file is being
// recorded, the sampling interval, the counters and the chosen file. It lives for the whole run
// and starts from these defaults; nothing of it is saved.
struct RecordingState {
    bool Recording = false;
    // PC sampling interval in whole seconds, 1 to 86400.
    int SamplingSeconds = 2;
    // Recorder ticks since the last sample. Wide, so that an interval of a day never wraps it.
    qint64 SampleTicks = 0;
    // Full path last chosen in the save dialog.
    QString DataFileName;
    // Records written to the current recording, counted across its parts.
    qint64 RecordCount = 0;
    // Part number of a split recording; 0 for the file first chosen.
    qint64 FilePart = 0;
    // The last save dialog returned a name that has not been used up yet.
    bool FileChosen = false;
    // The live list window is open.
    bool ListOpen = false;
    // Rows added to the live list since it was opened; it keeps counting across dumps.
    qint64 ListRowCount = 0;
};
