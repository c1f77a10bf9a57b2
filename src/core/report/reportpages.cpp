#include "reportpages.h"

#include "reportchart.h"
#include "reportdates.h"
#include "reportfigures.h"
#include "reporttexts.h"

#include "nimbrelversion.h"

#include <QFile>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace
{
// Writes lines of text down a page, keeping the place of the next line.
class PageText
{
public:
    PageText(QPainter& painter, const QRectF& page, double mm)
        : m_painter(painter)
        , m_page(page)
        , m_mm(mm)
        , m_y(page.top())
    {
        m_body.setFamily(QStringLiteral("DejaVu Sans"));
        m_body.setPointSizeF(9);
    }

    double mm() const { return m_mm; }
    double y() const { return m_y; }
    void skip(double millimetres) { m_y += millimetres * m_mm; }
    void moveTo(double y) { m_y = y; }

    void title(const QString& text)
    {
        QFont font = m_body;
        font.setPointSizeF(16);
        font.setBold(true);
        write(font, text, Qt::black);
    }
    void heading(const QString& text)
    {
        skip(3);
        QFont font = m_body;
        font.setPointSizeF(11);
        font.setBold(true);
        write(font, text, Qt::black);
        skip(0.8);
    }
    void paragraph(const QString& text, double points = 9, const QColor& colour = Qt::black)
    {
        QFont font = m_body;
        font.setPointSizeF(points);
        m_painter.setFont(font);
        m_painter.setPen(colour);
        const QRectF bounds = m_painter.boundingRect(
            QRectF(m_page.left(), m_y, m_page.width(), m_page.height()), Qt::TextWordWrap, text);
        m_painter.drawText(bounds, Qt::TextWordWrap, text);
        m_y = bounds.bottom();
    }
    // A row of cells at the given left edges (in mm from the page's left); the first cell bold
    // when asked.
    void row(const QStringList& cells, const QList<double>& columns, bool bold = false,
        double points = 9)
    {
        QFont font = m_body;
        font.setBold(bold);
        font.setPointSizeF(points);
        m_painter.setFont(font);
        m_painter.setPen(Qt::black);
        const QFontMetricsF metrics(font, m_painter.device());
        // A cell too long for its column goes on over more lines.
        double height = metrics.height();
        for (int i = 0; i < cells.size() && i < columns.size(); ++i) {
            const double left = m_page.left() + columns[i] * m_mm;
            const double right
                = i + 1 < columns.size() ? m_page.left() + columns[i + 1] * m_mm : m_page.right();
            const QRectF box(left, m_y, right - left - 1.5 * m_mm, m_page.height());
            const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
            const QRectF used = m_painter.boundingRect(box, flags, cells[i]);
            m_painter.drawText(box, flags, cells[i]);
            height = std::max(height, used.height());
        }
        m_y += height + metrics.height() * 0.15;
    }
    void rule()
    {
        QPen pen(QColor(120, 120, 120));
        pen.setWidthF(0.2 * m_mm);
        m_painter.setPen(pen);
        m_painter.drawLine(QPointF(m_page.left(), m_y), QPointF(m_page.right(), m_y));
        m_y += 0.8 * m_mm;
    }

private:
    void write(const QFont& font, const QString& text, const QColor& colour)
    {
        m_painter.setFont(font);
        m_painter.setPen(colour);
        const QFontMetricsF metrics(font, m_painter.device());
        m_painter.drawText(QRectF(m_page.left(), m_y, m_page.width(), metrics.height()),
            Qt::AlignLeft | Qt::AlignVCenter,
            metrics.elidedText(text, Qt::ElideRight, m_page.width()));
        m_y += metrics.height();
    }

    QPainter& m_painter;
    QRectF m_page;
    double m_mm;
    double m_y;
    QFont m_body;
};

QString SourceText(const ReportFigures& f)
{
    const QStringList& s = f.sources;
    if (s.size() <= 3)
        return s.join(QStringLiteral(", "));
    return QStringLiteral("%1, %2 ... %3 (%4 files)").arg(s[0], s[1], s.back()).arg(s.size());
}

QString WithoutReadingText(const ReportFigures& f)
{
    QStringList parts;
    for (int q = 0; q < kQuantities; ++q) {
        const QuantityFigures& v = f.quantities[q];
        QString text = QStringLiteral("%1 %2")
                           .arg(QuantityName(Quantity(q)))
                           .arg(v.missing + v.overRange + v.underRange);
        QStringList markers;
        if (v.overRange)
            markers << QStringLiteral("%1 over range").arg(v.overRange);
        if (v.underRange)
            markers << QStringLiteral("%1 under range").arg(v.underRange);
        if (!markers.isEmpty())
            text += QStringLiteral(" (") + markers.join(QStringLiteral(", ")) + QLatin1Char(')');
        parts << text;
    }
    return parts.join(QStringLiteral(", "));
}

// "2026-10-25 03:59:00 to 02:00:00; the clock repeats 2 h 00 min": the first few steps named,
// of those the clock goes back by (back) or forward by. A step the dates name says what it was.
QString StepsText(const ReportFigures& f, bool back)
{
    constexpr qsizetype kNamed = 3;
    QStringList parts;
    qint64 count = 0;
    qint64 seconds = 0;
    for (const ClockStep& step : f.steps) {
        if ((step.seconds >= 0) != back)
            continue;
        ++count;
        seconds += step.seconds;
        if (parts.size() >= kNamed)
            continue;
        // A step back stays on its day: the time it goes to is on the same date.
        QString text = QStringLiteral("%1 to %2")
                           .arg(StampText(f.settings.firstDate, step.from),
                               StampText(f.settings.firstDate, step.to).mid(11));
        if (step.kind == ClockStep::Kind::DaylightSaving)
            text += QStringLiteral(" (daylight saving)");
        else if (step.kind == ClockStep::Kind::ClockSet)
            text += QStringLiteral(" (clock set)");
        parts << text;
    }
    if (count > kNamed)
        parts << QStringLiteral("%1 more").arg(count - kNamed);
    return QStringLiteral("%1; the clock %2 %3")
        .arg(parts.join(QStringLiteral(", ")),
            back ? QStringLiteral("repeats") : QStringLiteral("skips"),
            DurationText(back ? seconds : -seconds));
}

// "meter silent 00:39:37 to 00:39:59, 22 records left out": the first few named.
QString OutagesText(const ReportFigures& f)
{
    constexpr size_t kNamed = 3;
    QStringList parts;
    for (size_t i = 0; i < f.outages.size() && i < kNamed; ++i) {
        const ReportOutage& o = f.outages[i];
        const QString from = StampText(f.settings.firstDate, o.from);
        const QString to = StampText(f.settings.firstDate, o.to);
        parts << QStringLiteral("meter silent %1 to %2, %3 %4 left out")
                     .arg(i == 0 ? from : from.mid(11),
                         from.left(10) == to.left(10) ? to.mid(11) : to)
                     .arg(o.records)
                     .arg(o.records == 1 ? QStringLiteral("record") : QStringLiteral("records"));
    }
    if (f.outages.size() > kNamed)
        parts << QStringLiteral("%1 more").arg(f.outages.size() - kNamed);
    return parts.join(QStringLiteral("; "));
}

bool HasSteps(const ReportFigures& f, bool back)
{
    return std::any_of(f.steps.begin(), f.steps.end(),
        [back](const ClockStep& step) { return (step.seconds >= 0) == back; });
}

QString TimeAndShare(const TimeShare& t, bool sharesOfRecords)
{
    if (sharesOfRecords)
        return ShareText(t.share) + QStringLiteral(" of the records");
    return DurationText(t.seconds) + QStringLiteral(", ") + ShareText(t.share);
}

void PaintFirstPage(PageText& text, QPainter& painter, const QRectF& page, const ReportFigures& f)
{
    const QDate date = f.settings.firstDate;
    text.title(f.settings.title);
    text.paragraph(QStringLiteral("Indoor-air report"), 9, QColor(90, 90, 90));
    text.skip(3);
    const QList<double> columns { 0, 38 };
    text.row({ QStringLiteral("Source"), SourceText(f) }, columns, true);
    text.row({ QStringLiteral("Records"), QString::number(f.records) }, columns, true);
    if (f.records == 0) {
        text.skip(4);
        text.paragraph(QStringLiteral("The source holds no records: there is nothing to report."));
        return;
    }
    text.row({ QStringLiteral("Dates"), DatesFromText(f) }, columns, true);
    text.row({ QStringLiteral("First record"), StampText(date, f.first) }, columns, true);
    text.row({ QStringLiteral("Last record"), StampText(date, f.last) }, columns, true);
    text.row({ QStringLiteral("Duration"), DurationText(f.duration()) }, columns, true);
    text.row({ QStringLiteral("Sampling interval"),
                 f.interval > 0 ? DurationText(f.interval) + QStringLiteral(" (median spacing)")
                                : QStringLiteral("-") },
        columns, true);
    text.row(
        { QStringLiteral("Gaps"),
            f.gapCount == 0 ? QStringLiteral("none")
                            : QStringLiteral("%1, %2 in all (spacings over twice the interval)")
                                  .arg(f.gapCount)
                                  .arg(DurationText(f.gapSeconds)) },
        columns, true);
    if (!f.outages.empty())
        text.row({ QStringLiteral("Outages"), OutagesText(f) }, columns, true);
    if (HasSteps(f, true))
        text.row({ QStringLiteral("Clock set back"), StepsText(f, true) }, columns, true);
    if (HasSteps(f, false))
        text.row({ QStringLiteral("Clock set forward"), StepsText(f, false) }, columns, true);
    text.row({ QStringLiteral("Without a reading"), WithoutReadingText(f) }, columns, true);
    for (const QString& warning : f.warnings.mid(0, 3))
        text.paragraph(QStringLiteral("Note: ") + warning, 8, QColor(150, 0, 0));

    text.skip(4);
    const QRectF chart(page.left(), text.y(), page.width(), 105 * text.mm());
    DrawChart(painter, chart, text.mm(), f);
    text.moveTo(chart.bottom());

    text.heading(QStringLiteral("CO2 exposure"));
    if (f.co2Seconds == 0 && !f.sharesOfRecords) {
        text.paragraph(QStringLiteral("No CO2 readings in this period."));
        return;
    }
    const auto& l = f.settings.co2Limits;
    const QList<double> bandColumns { 0, 50, 95 };
    const QString names[4] = {
        QStringLiteral("Below %1 ppm").arg(l[0]),
        QStringLiteral("%1 to below %2 ppm").arg(l[0]).arg(l[1]),
        QStringLiteral("%1 to below %2 ppm").arg(l[1]).arg(l[2]),
        QStringLiteral("%1 ppm and above").arg(l[2]),
    };
    for (int b = 0; b < 4; ++b)
        text.row({ names[b], TimeAndShare(f.bands[b], f.sharesOfRecords) }, bandColumns);
    text.skip(1.5);
    text.paragraph(f.longestAboveSeconds > 0 || f.sharesOfRecords
            ? QStringLiteral("Longest stretch at %1 ppm or above: %2, from %3.")
                  .arg(l[1])
                  .arg(DurationText(f.longestAboveSeconds), StampText(date, f.longestAboveFrom))
            : QStringLiteral("CO2 never reached %1 ppm.").arg(l[1]));
    text.skip(1.5);
    text.paragraph(
        QStringLiteral("EN 16798-1 category: %1. With outdoor air at %2 ppm, the CO2 was within "
                       "550 ppm above it %3 of the time, within 800 ppm %4, within 1350 ppm %5 "
                       "(a category needs at least 95 %).")
            .arg(f.category)
            .arg(f.settings.outdoorPpm)
            .arg(ShareText(f.categoryShares[0]), ShareText(f.categoryShares[1]),
                ShareText(f.categoryShares[2])));
}

void PaintSecondPage(PageText& text, const ReportFigures& f)
{
    const bool fahrenheit = f.settings.fahrenheit;
    const QDate date = f.settings.firstDate;
    text.heading(QStringLiteral("Statistics of the readings"));
    const QList<double> columns { 0, 29, 40, 52, 83, 95, 126, 139, 153 };
    constexpr double kTablePoints = 8;
    text.row({ QString(), QStringLiteral("Unit"), QStringLiteral("Min"), QStringLiteral("at"),
                 QStringLiteral("Max"), QStringLiteral("at"), QStringLiteral("Mean"),
                 QStringLiteral("Median"), QStringLiteral("95th pct.") },
        columns, true, kTablePoints);
    text.rule();
    for (int q = 0; q < kQuantities; ++q) {
        const Quantity quantity = Quantity(q);
        const QuantityFigures& v = f.quantities[q];
        if (v.readings == 0) {
            text.row({ QuantityName(quantity), UnitText(quantity, fahrenheit),
                         QStringLiteral("no readings") },
                { 0, 29, 40 }, false, kTablePoints);
            continue;
        }
        text.row(
            { QuantityName(quantity), UnitText(quantity, fahrenheit), ValueText(quantity, v.min),
                StampText(date, v.minAt), ValueText(quantity, v.max), StampText(date, v.maxAt),
                ValueText(quantity, v.mean), ValueText(quantity, v.median),
                ValueText(quantity, v.percentile95) },
            columns, false, kTablePoints);
    }
    text.rule();
    text.paragraph(QStringLiteral("Of the readings of each quantity; records with a marker "
                                  "instead of a reading are left out. The median and the 95th "
                                  "percentile are values that occurred (nearest rank)."),
        8, QColor(90, 90, 90));

    text.heading(QStringLiteral("Comfort"));
    const auto& t = f.settings.comfortTemp;
    const auto& h = f.settings.comfortHumidity;
    const QList<double> comfortColumns { 0, 75 };
    const auto share = [&f](const TimeShare& s) {
        return s.share < 0 ? QStringLiteral("no readings") : TimeAndShare(s, f.sharesOfRecords);
    };
    text.row({ QStringLiteral("Temperature %1 to %2 %3")
                     .arg(TenthsText(t[0]), TenthsText(t[1]), TemperatureUnit(fahrenheit)),
                 share(f.comfortTemp) },
        comfortColumns);
    text.row(
        { QStringLiteral("Relative humidity %1 to %2 %RH").arg(TenthsText(h[0]), TenthsText(h[1])),
            share(f.comfortHumidity) },
        comfortColumns);
    text.row({ QStringLiteral("Both in range"), share(f.comfortBoth) }, comfortColumns);
    text.paragraph(QStringLiteral("Shares of the time with a reading of the quantity; the ends "
                                  "of a range are in range."),
        8, QColor(90, 90, 90));

    text.heading(QStringLiteral("How the figures are made"));
    text.paragraph(QStringLiteral("Each record stands for the time to the next record, at most "
                                  "twice the sampling interval, so that a gap counts as no time "
                                  "in any band; the last record stands for one interval. A value "
                                  "at a limit belongs to the band above it. A fall of the time of "
                                  "day by more than 12 hours is taken as the next day; a shorter "
                                  "fall is the clock set back: the record before it stands for "
                                  "one interval and the duration adds the time the clock repeats, "
                                  "so every stretch of time counts once."),
        8);
    text.skip(1.5);
    text.paragraph(MethodsNote(), 8);
}
} // namespace

QString MethodsNote()
{
    return QStringLiteral(
        "The dew point is computed from the temperature and the relative humidity with the "
        "Magnus formula on the actual vapour pressure, and the wet-bulb temperature by searching, "
        "in steps of 0.01 degrees, the temperature at which a psychrometer's wet bulb gives that "
        "vapour pressure. The default CO2 limits take 1000 ppm, the long-used guide value for "
        "indoor air, as the middle limit, with 800 and 1400 ppm on either side; the EN 16798-1 "
        "categories I, II and III allow 550, 800 and 1350 ppm above outdoor air for at least 95 % "
        "of the time, and a period that meets none of them is category IV.");
}

bool PaintReport(QPagedPaintDevice& device, const ReportFigures& figures)
{
    device.setPageSize(QPageSize(QPageSize::A4));
    device.setPageOrientation(QPageLayout::Portrait);
    device.setPageMargins(QMarginsF(18, 16, 18, 16), QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const double mm = device.logicalDpiX() / 25.4;
    const QRectF page(QPointF(0, 0), QSizeF(painter.viewport().size()));

    PageText first(painter, page, mm);
    PaintFirstPage(first, painter, page, figures);
    if (figures.records > 0) {
        device.newPage();
        PageText second(painter, page, mm);
        PaintSecondPage(second, figures);
    }
    return painter.end();
}

bool WriteReportPdf(const ReportFigures& figures, const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setResolution(300);
        writer.setTitle(figures.settings.title);
        writer.setCreator(QStringLiteral("Nimbrel " NIMBREL_VERSION));
        if (!PaintReport(writer, figures)) {
            if (error)
                *error = QStringLiteral("the PDF could not be drawn");
            return false;
        }
    }
    if (file.error() != QFileDevice::NoError || !file.flush()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    file.close();
    return true;
}
