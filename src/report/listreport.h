#pragma once

#include "reportfigures.h"

#include <QDate>
#include <QString>

class GridRows;

// The report of a list window's rows (an opened file, a listed logger set, the live list).

// The dialog's defaults: the title given; the date of the first record walked back from the
// file's last-write time when the rows come from a file, else today; the temperatures in the
// unit shown.
ReportSettings ListReportDefaults(const GridRows& rows, const QString& sourcePath,
    const QString& title, bool fahrenheit, const QDate& today);

// The figures of the rows. False with a message when a row is no record or there is none.
bool ListReportFigures(
    const GridRows& rows, const ReportSettings& settings, ReportFigures* figures, QString* error);

// Where the PDF goes by default: beside the source file, named as the file without its
// extension followed by " report.pdf"; without a file, the title followed by " report.pdf" in
// the current folder.
QString ReportPdfName(const QString& sourcePath, const QString& title);
