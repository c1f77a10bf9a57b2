#include "graphwindow.h"

#include "graphcanvas.h"

#include <QAction>
#include <QPainter>
#include <QToolBar>
#include <QVBoxLayout>

GraphWindow::GraphWindow(PrinterProvider& printers, QWidget* parent)
    : QWidget(parent)
    , m_printers(printers)
{
    setAttribute(Qt::WA_DeleteOnClose);
    m_toolbar = new QToolBar(this);
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setMovable(false);
    for (const QString& key :
        { QStringLiteral("Limit"), QStringLiteral("Print"), QStringLiteral("Save") }) {
        QAction* action = m_toolbar->addAction(key);
        action->setObjectName(key);
        action->setToolTip(key);
        connect(action, &QAction::triggered, this, [this, key] { onToolbar(key); });
    }
    m_canvas = new GraphCanvas(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolbar);
    layout->addWidget(m_canvas, 1);
}

QAction* GraphWindow::toolbarButton(const QString& key) const
{
    return m_toolbar->findChild<QAction*>(key, Qt::FindDirectChildrenOnly);
}

void GraphWindow::onToolbar(const QString& key)
{
    if (key == QLatin1String("Limit"))
        Q_EMIT limitRequested();
    else if (key == QLatin1String("Print"))
        print();
    else if (key == QLatin1String("Save"))
        Q_EMIT saveRequested();
}

void GraphWindow::paintGraph(QPainter& painter) const
{
    painter.drawImage(
        QRectF(QPointF(0, 0), m_canvas->image().deviceIndependentSize()), m_canvas->image());
}

bool GraphWindow::print()
{
    QString pdf;
    const bool printed = m_canvas->print(m_printers, windowTitle(), &pdf);
    if (printed && !pdf.isEmpty())
        Q_EMIT printedToPdf(pdf);
    return printed;
}
