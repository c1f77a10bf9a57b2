#include "gridprint.h"

#include "desktop/printer.h"
#include "platform/clock.h"
#include "platform/countingcaption.h"
#include "recording/datafileformat.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QWidget>

QString PrintLine(const QStringList& cells)
{
    QString line;
    line.reserve(kPrintFirstColumnWidth + kPrintColumnWidth * (kGridColumns - 1));
    for (int c = 0; c < cells.size(); ++c)
        line += cells.at(c).rightJustified(c == 0 ? kPrintFirstColumnWidth : kPrintColumnWidth);
    return line;
}

QString PrintRuleLine()
{
    return QString(20, QLatin1Char(' ')) + QString(73, QLatin1Char('-'));
}

QFont PrintFont()
{
    QFont font(QStringLiteral("Lucida Console"));
    font.setPointSize(8);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

GridPrintJob::GridPrintJob(
    QWidget& window, const GridRows& rows, Clock& clock, const QList<Timer*>& pausedTimers)
    : QObject(&window)
    , m_window(&window)
    , m_rows(rows)
    , m_caption(window.windowTitle())
{
    // No reading and no sample while the list prints.
    for (Timer* timer : pausedTimers) {
        if (timer && timer->isActive()) {
            m_paused.append(timer);
            timer->stop();
        }
    }
    m_progress = std::make_unique<CountingCaption>(
        clock, QStringLiteral(" record(s) completed"), [this](const QString& text) {
            if (m_window)
                m_window->setWindowTitle(text);
        });
    m_slice = clock.createTimer(this);
    m_slice->setInterval(0);
    connect(m_slice, &Timer::timeout, this, &GridPrintJob::printSlice);
}

GridPrintJob::~GridPrintJob()
{
    // Cut short, its window closing: end the document with what was printed, leave the window
    // (it is going) alone.
    m_window = nullptr;
    release();
}

bool GridPrintJob::begin(PrinterProvider& printers)
{
    m_printer = printers.createPrinter(m_caption);
    if (!m_printer)
        return false;
    m_fallbackPdf = printers.fallbackPdf(*m_printer);
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(m_printer.get()))
        return false;
    m_painter->setFont(PrintFont());
    const QFontMetricsF metrics(m_painter->font());
    m_lineHeight = metrics.lineSpacing();
    m_ascent = metrics.ascent();
    m_pageHeight = m_printer->pageRect(QPrinter::DevicePixel).height();
    for (int i = 0; i < kPrintTopEmptyLines; ++i)
        printLine(QString());
    m_slice->start();
    return true;
}

bool GridPrintJob::printLine(const QString& line)
{
    if (m_y > 0 && m_y + m_lineHeight > m_pageHeight) {
        if (!m_printer->newPage())
            return false;
        m_y = 0;
    }
    if (!line.isEmpty())
        m_painter->drawText(QPointF(0, m_y + m_ascent), line);
    m_y += m_lineHeight;
    return true;
}

void GridPrintJob::printSlice()
{
    const qsizetype end = std::min(m_next + kRowsPerSlice, m_rows.count() + 1);
    for (; m_next < end; ++m_next) {
        const qsizetype r = m_next;
        m_progress->count(r);
        if (!printLine(PrintLine(r == 0 ? ColumnCaptions() : m_rows.row(r - 1)))
            || (r == 0 && !printLine(PrintRuleLine()))) {
            finish(false);
            return;
        }
    }
    if (m_next > m_rows.count())
        finish(m_painter->end());
}

void GridPrintJob::release()
{
    if (m_slice)
        m_slice->stop();
    if (m_painter && m_painter->isActive())
        m_painter->end();
    // The caption as it was (when the window is still there), and the normal pointer.
    m_progress->finish(m_caption);
    for (const QPointer<Timer>& timer : std::as_const(m_paused)) {
        if (timer)
            timer->start();
    }
    m_paused.clear();
}

void GridPrintJob::finish(bool printed)
{
    if (m_finished)
        return;
    m_finished = true;
    release();
    Q_EMIT finished(printed);
    deleteLater();
}

GridPrintJob* PrintGrid(QWidget& window, const GridRows& rows, PrinterProvider& printers,
    Clock& clock, const QList<Timer*>& pausedTimers)
{
    auto* job = new GridPrintJob(window, rows, clock, pausedTimers);
    if (!job->begin(printers)) {
        delete job; // nothing to print on: everything is as it was
        return nullptr;
    }
    return job;
}
