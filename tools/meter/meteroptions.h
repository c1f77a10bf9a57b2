#pragma once

#include "dumpsession.h"
#include "loggerimage.h"
#include "rawreading.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// How the virtual meter was asked to behave on its command line.
struct MeterOptions {
    int port = 1; // COM1..COM8
    int intervalMs = 500; // between live frames
    std::uint64_t seed = 0;
    bool seedGiven = false;
    QString framesFile; // play these frames instead of generated readings
    qint64 silenceAfterMs = -1; // fall silent after this long; negative: never
    int outOfStep = 0; // first frames out of step
    std::vector<FrameMarker> markers;
    bool pace = true; // keep to the wire speed
    std::vector<LoggerSetPlan> sets;
    bool fullMemory = false;
    bool emptyLogger = false;
    bool dumpAtStart = false;
    DumpFaults faults; // for the next dump
    bool help = false;
    bool version = false;

    static constexpr int kMinIntervalMs = 10;
    static constexpr int kMaxIntervalMs = 3600000;

    // Parses the arguments after the program name. Returns false with a message on the first
    // bad one; `--help` and `--version` parse fine and set `help` and `version`.
    static bool parse(const QStringList& arguments, MeterOptions* options, QString* error);
    static QString helpText();

    // The sets the logger holds: --empty-logger, --full-memory, the --set list, or the default.
    std::vector<LoggerSetPlan> loggerLayout() const;
    QString portName() const { return QStringLiteral("COM%1").arg(port); }
};

// One line typed on the meter's standard input.
struct MeterCommand {
    enum class Kind {
        None, // blank line
        Silence,
        Resume,
        Quit,
        Dump,
        Unplug,
        Plug,
        OutOfStep,
        Markers,
        FaultStopAfter,
        FaultOvershoot,
        FaultShortHeader,
        FaultQuiet,
        Help,
    };

    Kind kind = Kind::None;
    qint64 number = 0;
    std::vector<FrameMarker> markers;

    // Returns false with a message for an unknown command or a bad argument.
    static bool parse(const QString& line, MeterCommand* command, QString* error);
};

// Reads "COM1".."COM8" (any case) into 1..8.
bool parsePortName(const QString& text, int* port);
