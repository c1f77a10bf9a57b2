#include "plotdrawing.h"

#include <QFontMetricsF>
#include <QPainter>

namespace
{

void SetPen(QPainter& painter, const QColor& colour, int width, Qt::PenStyle style)
{
    painter.setPen(QPen(colour, width, style, Qt::FlatCap));
}

void DrawAxes(QPainter& painter, const PlotGeometry& g)
{
    SetPen(painter, Qt::black, 2, Qt::SolidLine);
    const float axisX = g.PlotLeft - 2;
    painter.drawLine(
        QPointF(axisX, g.PlotBottom + 5), QPointF(axisX, g.PlotBottom - g.PlotHeight - 5));
    painter.drawLine(
        QPointF(axisX, g.PlotBottom + 6), QPointF(g.PlotLeft + g.PlotWidth + 2, g.PlotBottom + 6));

    SetPen(painter, Qt::black, 1, Qt::SolidLine);
    for (int i = 0; i <= 16; ++i) {
        const float y = TickY(g, i);
        painter.drawLine(QPointF(axisX, y), QPointF(g.PlotLeft - 7, y));
        if (i % 2 == 0)
            painter.drawLine(QPointF(axisX, y), QPointF(g.PlotLeft - 10, y));
    }
}

void DrawScaleLabels(QPainter& painter, const PlotGeometry& g, const ScaleLimits& limits)
{
    // The columns from left to right, so that a row can be fitted between the window's left edge
    // and the tick marks.
    static constexpr ScaleColumn kLeftToRight[] = { ScaleColumn::Co2, ScaleColumn::Fahrenheit,
        ScaleColumn::Humidity, ScaleColumn::Celsius };
    const double textHeight = TextHeight(painter);
    double rowAboveFrom = 0; // top of the last row drawn; rows that would touch it are left out
    for (int j = 0; j <= 8; ++j) {
        std::vector<LabelSpan> row;
        QStringList texts;
        double top = 0;
        for (ScaleColumn column : kLeftToRight) {
            float min = limits.TempMinC;
            float max = limits.TempMaxC;
            if (column == ScaleColumn::Humidity) {
                min = limits.RHMin;
                max = limits.RHMax;
            } else if (column == ScaleColumn::Fahrenheit) {
                min = limits.TempMinF;
                max = limits.TempMaxF;
            } else if (column == ScaleColumn::Co2) {
                min = limits.CO2Min;
                max = limits.CO2Max;
            }
            const QString text = ScaleLabelText(ScaleLabelValue(min, max, j));
            const double width = TextWidth(painter, text);
            const QPointF at = ScaleLabelTopLeft(g, ScaleColumnX(g, column), j, width, textHeight);
            row.push_back({ at.x(), width, true });
            texts << text;
            top = at.y();
        }
        if (j > 0 && top + textHeight > rowAboveFrom)
            continue;
        rowAboveFrom = top;
        FitScaleLabelRow(row, g.PlotLeft - 10 - kLabelGap);
        for (size_t i = 0; i < row.size(); ++i) {
            if (row[i].shown)
                DrawTextAt(painter, texts[static_cast<int>(i)], row[i].left, top,
                    ScaleColumnColour(kLeftToRight[i]));
        }
    }
}

void DrawLegend(QPainter& painter, const PlotGeometry& g)
{
    for (int i = 0; i < kLegendCount; ++i) {
        const LegendEntry entry = LegendEntryAt(g, i);
        DrawTextAt(painter, entry.text, entry.x, LegendTop(g), entry.colour);
    }
}

} // namespace

void DrawFrame(
    QPainter& painter, const PlotGeometry& geometry, const ScaleLimits& limits, bool fillPlotArea)
{
    DrawAxes(painter, geometry);
    DrawScaleLabels(painter, geometry, limits);
    if (fillPlotArea) {
        FillBox(painter, geometry.PlotLeft, geometry.PlotBottom,
            geometry.PlotLeft + geometry.PlotWidth, geometry.PlotBottom - geometry.PlotHeight,
            PaletteColour(15));
    }
    DrawLegend(painter, geometry);
}

void DrawGrid(QPainter& painter, const PlotGeometry& g, int gridColour)
{
    const QColor colour = PaletteColour(gridColour);
    SetPen(painter, colour, 1, Qt::SolidLine);
    const float middle = g.PlotBottom - g.PlotHeight / 2;
    painter.drawLine(
        QPointF(g.PlotLeft - 2, middle), QPointF(g.PlotLeft + g.PlotWidth + 2, middle));

    SetPen(painter, colour, 1, Qt::DotLine);
    static constexpr double kEighths[]
        = { 1.0 / 8, 7.0 / 8, 3.0 / 4, 5.0 / 8, 1.0, 3.0 / 8, 1.0 / 4 };
    for (double fraction : kEighths) {
        const double y = g.PlotBottom - g.PlotHeight * fraction;
        painter.drawLine(QPointF(g.PlotLeft, y), QPointF(g.PlotLeft + g.PlotWidth, y));
    }
}

void DrawTimeLine(QPainter& painter, const PlotGeometry& g, float x, int gridColour)
{
    SetPen(painter, PaletteColour(gridColour), 1, Qt::DotLine);
    painter.drawLine(QPointF(x, g.PlotBottom), QPointF(x, g.PlotBottom - g.PlotHeight - 10));
}

void DrawMidMark(QPainter& painter, const PlotGeometry& g, float x, int gridColour)
{
    SetPen(painter, PaletteColour(gridColour), 1, Qt::SolidLine);
    painter.drawLine(QPointF(x, MidMarkBottom(g)), QPointF(x, MidMarkTop(g)));
}

void FillBox(QPainter& painter, float x1, float y1, float x2, float y2, const QColor& colour)
{
    const QRectF box = QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized();
    painter.fillRect(box.adjusted(0, 0, 1, 1), colour);
}

void DrawTextAt(
    QPainter& painter, const QString& text, double left, double top, const QColor& colour)
{
    const QFontMetricsF metrics(painter.font(), painter.device());
    painter.setPen(colour);
    painter.drawText(QPointF(left, top + metrics.ascent()), text);
}

double TextWidth(const QPainter& painter, const QString& text)
{
    return QFontMetricsF(painter.font(), painter.device()).horizontalAdvance(text);
}

double TextHeight(const QPainter& painter)
{
    return QFontMetricsF(painter.font(), painter.device()).height();
}
