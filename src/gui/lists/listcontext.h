#pragma once

#include <QIcon>
#include <QList>
#include <QString>

#include <functional>

class Clock;
class PrinterProvider;
class Prompts;
class Timer;
struct RecordingState;

// What the list windows need of the rest of the program: the recording state (their "Save" is
// refused while recording and shares the chosen file name), the dialogs, the printer, the clock
// for progress captions, the main window's two timers that printing pauses, and the images of
// the toolbar buttons.
struct ListContext {
    RecordingState& state;
    Prompts& prompts;
    PrinterProvider& printers;
    Clock& clock;
    QList<Timer*> printPausedTimers;
    std::function<QIcon(const QString& key)> icon;
};
