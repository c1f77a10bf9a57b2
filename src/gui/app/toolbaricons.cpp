#include "toolbaricons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace
{

constexpr int kSize = 32;

using Painter = void (*)(QPainter&);

void DrawFloppy(QPainter& p)
{
    p.setPen(QPen(QColor(20, 40, 90), 1.5));
    p.setBrush(QColor(40, 90, 180));
    QPainterPath body;
    body.moveTo(4, 4);
    body.lineTo(24, 4);
    body.lineTo(28, 8);
    body.lineTo(28, 28);
    body.lineTo(4, 28);
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(QColor(235, 235, 235));
    p.drawRect(QRectF(9, 4, 13, 9));
    p.setBrush(QColor(40, 90, 180));
    p.drawRect(QRectF(17, 6, 3, 5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8, 17, 16, 11));
    p.setPen(QPen(QColor(150, 150, 150), 1));
    p.drawLine(QPointF(10, 21), QPointF(22, 21));
    p.drawLine(QPointF(10, 24), QPointF(22, 24));
}

void DrawStop(QPainter& p)
{
    p.setPen(QPen(QColor(120, 0, 0), 1.5));
    p.setBrush(QColor(200, 30, 30));
    p.drawEllipse(QRectF(3, 3, 26, 26));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(11, 11, 10, 10));
}

void DrawFolder(QPainter& p)
{
    p.setPen(QPen(QColor(140, 100, 20), 1.5));
    p.setBrush(QColor(230, 180, 60));
    QPainterPath back;
    back.moveTo(3, 8);
    back.lineTo(12, 8);
    back.lineTo(14, 11);
    back.lineTo(28, 11);
    back.lineTo(28, 27);
    back.lineTo(3, 27);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(QColor(250, 210, 90));
    QPainterPath front;
    front.moveTo(3, 27);
    front.lineTo(7, 15);
    front.lineTo(31, 15);
    front.lineTo(28, 27);
    front.closeSubpath();
    p.drawPath(front);
}

void DrawTable(QPainter& p)
{
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 5, 24, 22));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 120, 200));
    p.drawRect(QRectF(5, 6, 22.5, 4));
    p.setPen(QPen(QColor(110, 110, 110), 1));
    for (int y = 14; y <= 26; y += 4)
        p.drawLine(QPointF(5, y), QPointF(27, y));
    p.drawLine(QPointF(12, 10), QPointF(12, 27));
}

void DrawChart(QPainter& p, const QColor& line)
{
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3, 4, 26, 24));
    p.setPen(QPen(QColor(160, 160, 160), 1, Qt::DotLine));
    for (int y = 10; y <= 22; y += 6)
        p.drawLine(QPointF(4, y), QPointF(28, y));
    p.setPen(QPen(line, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF points[] = { { 5, 23 }, { 10, 15 }, { 15, 19 }, { 20, 9 }, { 26, 13 } };
    p.drawPolyline(points, 5);
}

void DrawGraph(QPainter& p)
{
    DrawChart(p, QColor(200, 30, 30));
}

void DrawPlot(QPainter& p)
{
    DrawChart(p, QColor(30, 110, 200));
}

// A page with a bar chart: the indoor-air report.
void DrawReport(QPainter& p)
{
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6, 3, 20, 26));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 160, 60));
    p.drawRect(QRectF(9, 19, 4, 7));
    p.setBrush(QColor(230, 170, 30));
    p.drawRect(QRectF(14, 14, 4, 12));
    p.setBrush(QColor(200, 40, 40));
    p.drawRect(QRectF(19, 9, 4, 17));
}

void DrawClock(QPainter& p)
{
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.setBrush(QColor(245, 245, 245));
    p.drawEllipse(QRectF(4, 4, 24, 24));
    p.setPen(QPen(QColor(40, 40, 40), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 16), QPointF(16, 8));
    p.drawLine(QPointF(16, 16), QPointF(22, 19));
    p.setPen(QPen(QColor(200, 30, 30), 1.5));
    p.drawLine(QPointF(16, 16), QPointF(10, 22));
}

void DrawThermometer(QPainter& p)
{
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(12, 3, 8, 20), 4, 4);
    p.setBrush(QColor(200, 30, 30));
    p.drawEllipse(QRectF(9, 19, 14, 11));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(14.5, 10, 3, 11));
    p.setPen(QPen(QColor(60, 60, 60), 1));
    for (int y = 7; y <= 17; y += 5)
        p.drawLine(QPointF(21, y), QPointF(25, y));
}

void DrawBell(QPainter& p)
{
    p.setPen(QPen(QColor(120, 80, 0), 1.5));
    p.setBrush(QColor(240, 190, 40));
    QPainterPath bell;
    bell.moveTo(6, 24);
    bell.cubicTo(9, 21, 8, 8, 16, 7);
    bell.cubicTo(24, 8, 23, 21, 26, 24);
    bell.closeSubpath();
    p.drawPath(bell);
    p.drawEllipse(QRectF(13.5, 24, 5, 5));
    p.drawEllipse(QRectF(14.5, 4, 3, 3));
}

void DrawPrinter(QPainter& p)
{
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 3, 14, 10));
    p.setBrush(QColor(150, 150, 160));
    p.drawRoundedRect(QRectF(3, 12, 26, 11), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 19, 14, 10));
    p.setPen(QPen(QColor(120, 120, 120), 1));
    p.drawLine(QPointF(11, 23), QPointF(21, 23));
    p.drawLine(QPointF(11, 26), QPointF(21, 26));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 200, 60));
    p.drawEllipse(QRectF(24, 15, 3, 3));
}

QIcon Painted(Painter draw)
{
    QIcon icon;
    for (const int size : { 16, 24, 32, 48 }) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(qreal(size) / kSize, qreal(size) / kSize);
        draw(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

struct IconChoice {
    const char* key;
    const char* themeName; // empty: no theme icon fits
    Painter draw;
};

constexpr IconChoice kIcons[] = {
    { "Save", "document-save-as", DrawFloppy },
    { "As", "document-save-as", DrawFloppy },
    { "Stop", "media-playback-stop", DrawStop },
    { "Open", "document-open", DrawFolder },
    { "List", "x-office-spreadsheet", DrawTable },
    { "Graph", "", DrawGraph },
    { "Sample", "appointment-new", DrawClock },
    { "CF", "", DrawThermometer },
    { "Alarm", "", DrawBell },
    { "Print", "document-print", DrawPrinter },
    { "Plot", "", DrawPlot },
    { "Report", "", DrawReport },
};

} // namespace

QIcon ToolbarIcon(const QString& key)
{
    for (const IconChoice& choice : kIcons) {
        if (key != QLatin1String(choice.key))
            continue;
        const QIcon drawn = Painted(choice.draw);
        if (*choice.themeName == '\0')
            return drawn;
        return QIcon::fromTheme(QString::fromLatin1(choice.themeName), drawn);
    }
    return {};
}
