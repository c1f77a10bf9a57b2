#include "graphcanvas.h"

#include "desktop/printer.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>

QRect PrintTarget(const QSize& imageSize, const QRect& page)
{
    QSize fitted = imageSize;
    fitted.scale(page.size(), Qt::KeepAspectRatio);
    return QRect(page.topLeft(), fitted);
}

GraphCanvas::GraphCanvas(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Canvas"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    clear();
}

void GraphCanvas::clear()
{
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize().expandedTo(QSize(1, 1));
    if (m_image.size() != pixels || m_image.devicePixelRatio() != ratio) {
        m_image = QImage(pixels, QImage::Format_RGB32);
        m_image.setDevicePixelRatio(ratio);
    }
    m_image.fill(Qt::white);
    update();
}

void GraphCanvas::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    clear();
    Q_EMIT resized();
}

void GraphCanvas::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    painter.drawImage(QPointF(0, 0), m_image);
}

bool GraphCanvas::print(
    PrinterProvider& printers, const QString& windowTitle, QString* fallbackPdf) const
{
    const std::unique_ptr<QPrinter> printer = printers.createPrinter(windowTitle);
    if (!printer)
        return false;
    if (fallbackPdf)
        *fallbackPdf = printers.fallbackPdf(*printer);
    QPainter painter;
    if (!painter.begin(printer.get()))
        return false;
    painter.drawImage(PrintTarget(m_image.size(), painter.viewport()), m_image, m_image.rect());
    return painter.end();
}
