#pragma once

#include <QString>

class QCommandLineParser;

// Exit statuses that the programs without windows share.
enum HeadlessExit {
    kExitDone = 0,
    kExitBadOptions = 2, // with the usage
    kExitPortUnusable = 3, // with the reason, as the port window gives it
    kExitNotWritten = 4, // with the file's name and the system's reason
};

// A message on standard error: the program's name (the application's), ": " and the text,
// flushed at once, so a service's journal has each line as it happens.
void Say(const QString& text);

// Drops Qt's remark that it chose a runtime folder itself, which says nothing to a user of a
// program without windows (the COMn links are found there all the same).
void QuietQtRemarks();

// The parser's help text, its usage line naming the program without its folder
// ("Usage: nimbrel-logger [options] DIR").
QString HelpText(const QCommandLineParser& parser);
