#pragma once

#include "report/reportsettings.h"

#include <QStringList>

// The options of nimbrel-report, read with QCommandLineParser.
struct ReportOptions {
    ReportSettings settings; // title and first date empty unless given
    bool titleGiven = false;
    bool startGiven = false;
    int startSecondsOfDay = -1; // the time of --start, when it has one
    QString output; // empty: beside the first file
    bool json = false;
    bool csv = false; // the records as CSV instead of a report
    bool help = false;
    bool version = false;
    QStringList files;
};

// Reads the arguments (without the program's name). False with the reason for a bad option.
bool ReadReportOptions(const QStringList& arguments, ReportOptions* options, QString* error);
// The usage text that --help prints.
QString ReportHelpText();
// The PDF's default name: the first file's name without its extension, followed by
// " report.pdf", in that file's folder ("/data/run.nblg" gives "/data/run report.pdf").
QString DefaultPdfName(const QString& firstFile);
