#include "graphsave.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

QString GraphFileFilter()
{
    return QStringLiteral("PNG image (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)");
}

bool SaveGraphImage(const QImage& image, QString path, QString* error)
{
    QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix.isEmpty()) {
        path += QStringLiteral(".png");
        suffix = QStringLiteral("png");
    }
    // The size in logical pixels: what the window shows.
    const QSizeF size = image.deviceIndependentSize();
    bool ok = false;
    if (suffix == QLatin1String("png")) {
        ok = image.save(path, "PNG");
    } else if (suffix == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setFileName(path);
        svg.setSize(size.toSize());
        svg.setViewBox(QRectF(QPointF(0, 0), size));
        QPainter painter;
        ok = painter.begin(&svg);
        if (ok) {
            painter.drawImage(QRectF(QPointF(0, 0), size), image);
            ok = painter.end();
        }
        ok = ok && QFileInfo(path).size() > 0;
    } else if (suffix == QLatin1String("pdf")) {
        QPdfWriter pdf(path);
        pdf.setResolution(96);
        pdf.setPageSize(QPageSize(size * 72.0 / 96.0, QPageSize::Point));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter;
        ok = painter.begin(&pdf);
        if (ok) {
            painter.drawImage(QRectF(QPointF(0, 0), size), image);
            ok = painter.end();
        }
    } else {
        *error = QStringLiteral("Save a graph as .png, .svg or .pdf.");
        return false;
    }
    if (!ok)
        *error = QStringLiteral("%1 could not be written.").arg(path);
    return ok;
}
