#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

class QIODevice;

// The records of data files as a spreadsheet reads them: one row per record with its date-time
// in ISO 8601 (with the UTC offset where a dates file names it, without where the dates were
// walked back), the same as a local date-time a spreadsheet takes for a date
// ("2026-12-08 07:00:00"), and the eight values (ppm, °C, Dew°C, Wet°C, RH%, °F, Dew°F,
// Wet°F). Comma-separated, "." as the decimal separator, UTF-8, a header row first, CR LF at
// each line's end. A marker ("----", "OL", "-OL") is an empty cell, and so are the values of a
// silent meter's records (the display kept its last values).

// The header row, without its line end.
QByteArray CsvHeader();

// Writes the records of the files, read in the order given as one recording, whose first
// record is on firstDate (the dates files name the days from there). Lines that are no record
// are left out (the report has told of them). False with the reason when a file cannot be read
// or out cannot be written.
bool WriteRecordsCsv(
    const QStringList& files, const QDate& firstDate, QIODevice& out, QString* error);
