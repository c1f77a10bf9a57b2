#pragma once

#include "recording/gridrows.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>

class CountingCaption;
class Clock;
class PrinterProvider;
class QFont;
class QPainter;
class QPrinter;
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

// One list being printed. The rows go to the printer a slice at a time, and between slices the
// window events run, so the program stays responsive and the caption counts "5 record(s)
// completed". Meanwhile the main window's timers stand still; at the end the caption comes back,
// the timers that ran start again and the job deletes itself. Closing the window cuts the
// printout short the same way.
class GridPrintJob final : public QObject
{
    Q_OBJECT
public:
    static constexpr int kRowsPerSlice = 200;

    ~GridPrintJob() override;
    bool isFinished() const { return m_finished; }
    // The PDF the pages go to because there is no printer; empty on a printer.
    const QString& fallbackPdf() const { return m_fallbackPdf; }

Q_SIGNALS:
    // The job is over: the caption is back and the timers run again.
    void finished(bool printed);

private:
    friend GridPrintJob* PrintGrid(
        QWidget&, const GridRows&, PrinterProvider&, Clock&, const QList<Timer*>&);
    GridPrintJob(
        QWidget& window, const GridRows& rows, Clock& clock, const QList<Timer*>& pausedTimers);
    bool begin(PrinterProvider& printers);
    void printSlice();
    bool printLine(const QString& line);
    void finish(bool printed);
    void release();

    QPointer<QWidget> m_window;
    GridRows m_rows; // a copy: the list may change or go while it prints
    QString m_caption;
    QString m_fallbackPdf;
    QList<QPointer<Timer>> m_paused;
    std::unique_ptr<CountingCaption> m_progress;
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QPainter> m_painter;
    Timer* m_slice = nullptr;
    qsizetype m_next = 0; // next grid row; 0 is the caption row
    qreal m_lineHeight = 0;
    qreal m_ascent = 0;
    qreal m_pageHeight = 0;
    qreal m_y = 0;
    bool m_finished = false;
};

// Prints the caption row and the rows on the default printer (or its PDF stand-in), pausing the
// given timers. Null when there is nowhere to print; then the timers run again at once.
GridPrintJob* PrintGrid(QWidget& window, const GridRows& rows, PrinterProvider& printers,
    Clock& clock, const QList<Timer*>& pausedTimers);
