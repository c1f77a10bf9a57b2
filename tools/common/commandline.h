#pragma once

#include <QCommandLineOption>
#include <QString>
#include <QStringList>

class QCommandLineParser;

// What every program without windows does with its command line (nimbrel-record,
// nimbrel-logger, nimbrel-report): --help and --version, its messages on standard error, the
// usage line naming it.

// --help and --version, listed after the program's own options.
struct HelpAndVersion {
    QCommandLineOption help { { QStringLiteral("h"), QStringLiteral("help") },
        QStringLiteral("Show this help.") };
    QCommandLineOption version { { QStringLiteral("v"), QStringLiteral("version") },
        QStringLiteral("Show the version.") };
};

// Parses the arguments (the program's name put before them, as Qt wants it). False with Qt's
// reason for an option it does not know or a value missing; help and version say whether they
// were asked for.
bool ParseCommandLine(QCommandLineParser& parser, const HelpAndVersion& common,
    const QString& program, const QStringList& arguments, bool* help, bool* version,
    QString* error);

// What main does once the options are read: a bad option is told on standard error with the
// usage after it (badOptionStatus), --help prints the usage on standard output (0), --version
// the program's name and version (0). -1 when the program goes on.
int AnswerCommandLine(bool read, const QString& error, bool help, bool version,
    const QString& helpText, int badOptionStatus);

// A message on standard error: the program's name (the application's), ": " and the text,
// flushed at once, so a service's journal has each line as it happens.
void Say(const QString& text);

// Drops Qt's remark that it chose a runtime folder itself, which says nothing to a user of a
// program without windows (the COMn links are found there all the same).
void QuietQtRemarks();

// The parser's help text, its usage line naming the program without its folder
// ("Usage: nimbrel-logger [options] DIR").
QString HelpText(const QCommandLineParser& parser);
