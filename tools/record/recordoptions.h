#pragma once

#include "common/portargument.h"

#include <QString>
#include <QtGlobal>

// The options of nimbrel-record, read with QCommandLineParser.
struct RecordOptions {
    PortArgument port;
    bool portGiven = false; // left out: listen for a meter
    int intervalSeconds = 2; // the program's default sampling interval
    qint64 forSeconds = 0; // 0: until stopped
    QString loggerDir; // empty: a dump is downloaded but not written
    QString file;
    bool help = false;
    bool version = false;
};

// The longest --for: ten years of days.
constexpr qint64 kLongestRunSeconds = 3650LL * 86400;

// A duration: a whole number followed by s, m, h or d ("90s", "15m", "12h", "7d"). False for
// anything else, for 0 and for more than kLongestRunSeconds.
bool ReadDuration(const QString& text, qint64* seconds);

// Reads the arguments (without the program's name). False with the reason for a bad option.
bool ReadRecordOptions(const QStringList& arguments, RecordOptions* options, QString* error);
// The usage text that --help prints.
QString RecordHelpText();
