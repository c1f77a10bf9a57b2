#pragma once

#include <QImage>
#include <QWidget>

class PrinterProvider;

// Where an image of imageSize goes on a printable area: as large as fits, proportions kept,
// from the area's top-left corner.
QRect PrintTarget(const QSize& imageSize, const QRect& page);

// The client area of a graph window: everything is drawn into a back buffer of the area's size
// (at the screen's pixel density), which the widget shows and which is what gets printed. A
// resize starts a new white buffer and says so; what was drawn is never redrawn from data.
class GraphCanvas final : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kDesignedWidth = 392;
    static constexpr int kDesignedHeight = 383;

    explicit GraphCanvas(QWidget* parent = nullptr);

    QSize sizeHint() const override { return { kDesignedWidth, kDesignedHeight }; }
    // The back buffer; paint on it in logical pixels, then call update().
    QImage& image() { return m_image; }
    const QImage& image() const { return m_image; }
    // A white buffer of the current size.
    void clear();
    // One page: the buffer scaled to fit the printable area with its proportions kept. False
    // when there is nowhere to print or the printer would not start. The PDF written instead
    // of printing, where there is no printer, goes to fallbackPdf.
    bool print(PrinterProvider& printers, const QString& windowTitle,
        QString* fallbackPdf = nullptr) const;

Q_SIGNALS:
    // The area changed size and the buffer is blank.
    void resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QImage m_image;
};
