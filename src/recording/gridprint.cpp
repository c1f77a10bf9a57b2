#include "gridprint.h"

#include "busycursor.h"
#include "captionprogress.h"
#include "datafileformat.h"
#include "gridrows.h"
#include "platform/clock.h"
#include "platform/printer.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QWidget>

namespace {

// Stops the timers for its lifetime and starts again those that were running.
class TimerPause {
public:
    explicit TimerPause(const QList<Timer*>& timers)
    {
        for (Timer* timer : timers) {
            if (timer && timer->isActive()) {
                m_stopped.append(timer);
                timer->stop();
            }
        }
    }
    ~TimerPause()
    {
        for (const QPointer<Timer>& timer : std::as_const(m_stopped)) {
            if (timer)
                timer->start();
        }
    }
    TimerPause(const TimerPause&) = delete;
    TimerPause& operator=(const TimerPause&) = delete;

private:
    QList<QPointer<Timer>> m_stopped;
};

// Prints lines one under the other and starts a new page when one is full.
class LinePrinter {
public:
    LinePrinter(QPainter& painter, QPrinter& printer)
        : m_painter(painter)
        , m_printer(printer)
    {
        const QFontMetricsF metrics(painter.font());
        m_lineHeight = metrics.lineSpacing();
        m_ascent = metrics.ascent();
        m_pageHeight = printer.pageRect(QPrinter::DevicePixel).height();
    }

    bool print(const QString& line)
    {
        if (m_y > 0 && m_y + m_lineHeight > m_pageHeight) {
            if (!m_printer.newPage())
                return false;
            m_y = 0;
        }
        if (!line.isEmpty())
            m_painter.drawText(QPointF(0, m_y + m_ascent), line);
        m_y += m_lineHeight;
        return true;
    }

private:
    QPainter& m_painter;
    QPrinter& m_printer;
    qreal m_lineHeight = 0;
    qreal m_ascent = 0;
    qreal m_pageHeight = 0;
    qreal m_y = 0;
};

} // namespace

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

bool PrintGrid(QWidget& window, const GridRows& rows, PrinterProvider& printers, Clock& clock,
               const QList<Timer*>& pausedTimers)
{
    const TimerPause pause(pausedTimers);
    const BusyCursor busy;
    const QString caption = window.windowTitle();
    CaptionProgress progress(clock, [&window](const QString& text) { window.setWindowTitle(text); });

    bool printed = false;
    std::unique_ptr<QPrinter> printer = printers.createPrinter(caption);
    QPainter painter;
    if (printer && painter.begin(printer.get())) {
        painter.setFont(PrintFont());
        LinePrinter lines(painter, *printer);
        bool ok = true;
        for (int i = 0; i < kPrintTopEmptyLines && ok; ++i)
            ok = lines.print(QString());
        const QString suffix = QStringLiteral(" record(s) completed");
        for (qsizetype r = 0; r <= rows.count() && ok; ++r) {
            const QString line = PrintLine(r == 0 ? ColumnCaptions() : rows.row(r - 1));
            progress.update(r, suffix);
            ok = lines.print(line);
            if (r == 0 && ok)
                ok = lines.print(PrintRuleLine());
        }
        printed = painter.end() && ok;
    }
    progress.finish(caption);
    return printed;
}
