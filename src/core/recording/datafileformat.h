#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>

#include <optional>

// The data file's line forms and names. A data file is single-byte text (the degree sign is
// the byte 0xB0), fields separated by one tab, every line ending with CR LF.

constexpr int kGridColumns = 10;

// The ten column captions: "No.s", "Time", "ppm", "°C", "Dew°C", "Wet°C", "RH%", "°F",
// "Dew°F", "Wet°F".
const QStringList& ColumnCaptions();

// The header line of a recording: the ten captions joined by tabs, no tab at the end.
QString HeaderLine();
// A recorder record: the number, a tab and the record text (time and eight values).
QString RecorderRecordLine(qint64 number, const QString& recordText);
// A grid row as the file holds it: the cells of the grid's ten columns, each followed by a tab
// (so the line ends with a tab), then CR LF. The row comes as its cells joined by tabs, in
// UTF-8; cells missing at the end are empty.
void AppendGridRowLine(QByteArray& out, QByteArrayView tabbedRow);
// The same line as text, without the CR LF.
QString GridRowLine(const QStringList& cells);

// The time of day of a record, "hh:mm:ss" (24-hour, two digits each), as seconds since
// midnight; false for any other text, blanks around it included.
bool ReadTimeOfDay(QByteArrayView text, int* secondsOfDay);
bool ReadTimeOfDay(QStringView text, int* secondsOfDay);

// Which lines of a data file may hold a record, as every reader of the files takes them: a line
// with an upper-case "N" anywhere (the header line, a row of captions; hasUpperN is whether the
// whole line holds one) holds none, and leading blanks are no part of the first field. A line
// that is blank after them holds none with BlankLine::Skipped; the list's "Open" keeps it as an
// empty row (BlankLine::Kept). The line from its first field on, or nothing.
enum class BlankLine { Kept, Skipped };
std::optional<QByteArrayView> RecordLineText(
    QByteArrayView line, bool hasUpperN, BlankLine blankLine);

// A line as the file holds it: single-byte text followed by CR LF. A character that has no
// single-byte form becomes "?".
QByteArray FileLineBytes(const QString& line);

// A line read from a file, as UTF-8 for the grid. Files written here are single-byte text;
// a line that is valid UTF-8 (written on another system) is taken as such.
QByteArray LineToUtf8(QByteArrayView line);
bool IsValidUtf8(QByteArrayView bytes);
// No byte of 0x80 or above.
bool IsAscii(QByteArrayView bytes);

// The name of part filePart of a split recording, in the same folder: the part number goes in
// front of the first "." of the file's own name ("/home/ann.lee/run.nblg" ->
// "/home/ann.lee/run-1.nblg"), or at the end when the name has none.
QString SplitPartName(const QString& dataFileName, qint64 filePart);

// The name of a live-list dump: "MMddhhmmss.nblg", in the current folder.
QString DumpFileName(const QDate& date, const QTime& time);
