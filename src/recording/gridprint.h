#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class Clock;
class GridRows;
class PrinterProvider;
class QFont;
class QWidget;
class Timer;

// The printed list: 6 empty lines, then the caption row, a rule, and every data row; the first
// column right-aligned in 27 characters, the others in 10. A longer text is printed whole and
// pushes the rest of its line to the right.
constexpr int kPrintTopEmptyLines = 6;
constexpr int kPrintFirstColumnWidth = 27;
constexpr int kPrintColumnWidth = 10;

QString PrintLine(const QStringList& cells);
// 20 blanks followed by 73 hyphens.
QString PrintRuleLine();
// "Lucida Console", 8 points; a monospace font where that one is missing.
QFont PrintFont();

// Prints the caption row and the rows on the default printer (or its PDF stand-in). The given
// timers are stopped for the time of the print and those that ran are started again afterwards,
// also when printing fails; the window caption counts "5 record(s) completed" meanwhile and
// comes back at the end. False when nothing could be printed.
bool PrintGrid(QWidget& window, const GridRows& rows, PrinterProvider& printers, Clock& clock,
               const QList<Timer*>& pausedTimers);
