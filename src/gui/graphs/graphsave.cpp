#include "graphsave.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

QString GraphFileFilter()
{
    return QStringLiteral("PNG image (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)");
}

namespace
{

// Draws on device, which writes into file; the painter's problem, if any, into why.
bool PaintOn(QPaintDevice& device, const GraphPainting& paint, QString* why)
{
    QPainter painter;
    if (!painter.begin(&device)) {
        *why = QStringLiteral("the drawing could not be started");
        return false;
    }
    paint(painter);
    if (!painter.end()) {
        *why = QStringLiteral("the drawing could not be finished");
        return false;
    }
    return true;
}

} // namespace

bool SaveGraph(const QImage& image, const GraphPainting& paint, QString path, QString* error)
{
    QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix.isEmpty()) {
        path += QStringLiteral(".png");
        suffix = QStringLiteral("png");
    }
    if (suffix != QLatin1String("png") && suffix != QLatin1String("svg")
        && suffix != QLatin1String("pdf")) {
        *error = QStringLiteral("Save a graph as .png, .svg or .pdf.");
        return false;
    }
    const auto fail = [&](const QString& why) {
        *error = QStringLiteral("%1 could not be written: %2").arg(path, why);
        return false;
    };

    QSaveFile file(path);
    // A device or a link to one (not a plain file) is written into as it is.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());

    // The size in logical pixels, at the resolution the window's texts are measured in.
    const QSizeF size = image.deviceIndependentSize();
    const int dpi = image.logicalDpiX() > 0 ? image.logicalDpiX() : 96;
    // Without a painting the page holds the image.
    const GraphPainting draw = paint ? paint : [&image, size](QPainter& painter) {
        painter.drawImage(QRectF(QPointF(0, 0), size), image);
    };
    QString why;
    bool drawn = false;
    if (suffix == QLatin1String("png")) {
        drawn = image.save(&file, "PNG");
        why = QStringLiteral("the image could not be encoded");
    } else if (suffix == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setResolution(dpi);
        svg.setSize(size.toSize());
        svg.setViewBox(QRectF(QPointF(0, 0), size));
        svg.setTitle(QFileInfo(path).completeBaseName());
        drawn = PaintOn(svg, draw, &why);
    } else {
        QPdfWriter pdf(&file);
        pdf.setResolution(dpi);
        pdf.setPageSize(QPageSize(size * 72.0 / dpi, QPageSize::Point));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setCreator(QStringLiteral("Nimbrel"));
        drawn = PaintOn(pdf, draw, &why);
    }
    // A write that failed on the way (a full disk) counts over the drawing's own word.
    if (file.error() != QFileDevice::NoError)
        why = file.errorString();
    if (!drawn || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}
