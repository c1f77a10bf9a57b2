#pragma once

#include "reportfigures.h"

#include <QDate>
#include <QString>
#include <QStringList>

class GridRows;

// The report of a list window's rows (an opened file, a listed logger set, the live list).

// The dialog's defaults: the title given; the date of the first record from the file's dates
// file where one fits, else walked back from the file's last-write time when the rows come
// from a file, else today; the temperatures in the unit shown.
ReportSettings ListReportDefaults(const GridRows& rows, const QString& sourcePath,
    const QString& title, bool fahrenheit, const QDate& today);

// The figures of the rows; sourceName names them in the report ("run.nblg", "Logger set 2",
// "Real Time List"). Rows opened from a data file (sourcePath) are dated by its dates file
// where one fits. False with a message when a row is no record or there is none.
bool ListReportFigures(const GridRows& rows, const ReportSettings& settings,
    const QString& sourceName, ReportFigures* figures, QString* error,
    const QString& sourcePath = QString());

// The figures of data files read as one recording, in RecordingOrder (a note says when that
// is not the order given); readOrder, when given, gets that order. False with a message when a
// file cannot be read, holds a line that is no record, or none of them holds a record.
bool FilesReportFigures(const QStringList& paths, const ReportSettings& settings,
    ReportFigures* figures, QString* error, QStringList* readOrder = nullptr);

// Where the PDF goes by default: beside the source file, named as the file without its
// extension followed by " report.pdf"; without a file, the title followed by " report.pdf" in
// the current folder.
QString ReportPdfName(const QString& sourcePath, const QString& title);

// What the report dialog of a list window offers: the report of its rows, and, when the rows
// come from a data file with parts beside it, the report of every part of that recording.
struct ListReportOffer {
    QString sourceName; // the file's name, "Logger set 2", "Real Time List"
    QString sourcePath; // the data file the rows come from; empty for a set or the live list
    ReportSettings defaults; // for the rows; the title is the source's name
    QString pdfName;
    // Every part of the recording in part order (none when the file stands alone), with the
    // title (the first part's name), the date of the first record and the PDF's name for the
    // report of them all.
    QStringList parts;
    QString partsTitle;
    QDate partsFirstDate;
    QString partsPdfName;
};
// Reads the parts, when there are any, to date their first record.
ListReportOffer OfferListReport(const GridRows& rows, const QString& sourcePath,
    const QString& sourceName, bool fahrenheit, const QDate& today);
