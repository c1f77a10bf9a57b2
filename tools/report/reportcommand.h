#pragma once

#include <cstdio>

struct ReportOptions;

// Exit status of nimbrel-report.
enum ReportExit { kExitDone = 0, kExitNotWritten = 1, kExitBadOption = 2, kExitBadFile = 3 };

// Reads the files, works out the figures and writes the PDF (or the JSON to out). Messages and
// warnings go to err, progress too when err is a terminal and the input is large.
int RunReport(const ReportOptions& options, std::FILE* out, std::FILE* err);
