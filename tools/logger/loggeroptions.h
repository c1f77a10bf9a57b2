#pragma once

#include "common/portargument.h"

#include <QString>
#include <QStringList>

// The options of nimbrel-logger.
struct LoggerOptions {
    bool portGiven = false;
    PortArgument port;
    int waitSeconds = 300;
    QString folder;
    bool help = false;
    bool version = false;
};

constexpr int kMostWaitSeconds = 86400;

// Reads the arguments (without the program's name). False with the reason for a bad option.
bool ReadLoggerOptions(const QStringList& arguments, LoggerOptions* options, QString* error);
// The usage text that --help prints.
QString LoggerHelpText();
