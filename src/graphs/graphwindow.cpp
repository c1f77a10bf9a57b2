#include "graphwindow.h"

#include "graphcanvas.h"

#include <QAction>
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
    m_saveBar = new QToolBar(this);
    m_saveBar->setObjectName(QStringLiteral("Toolbar2"));
    m_saveBar->setMovable(false);
    for (const QString& key :
        { QStringLiteral("Limit"), QStringLiteral("Print"), QStringLiteral("Save") }) {
        QAction* action = (key == QLatin1String("Save") ? m_saveBar : m_toolbar)->addAction(key);
        action->setObjectName(key);
        action->setToolTip(key);
        connect(action, &QAction::triggered, this, [this, key] { onToolbar(key); });
    }
    m_canvas = new GraphCanvas(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bars = new QHBoxLayout;
    bars->setContentsMargins(0, 0, 0, 0);
    bars->setSpacing(0);
    bars->addWidget(m_toolbar);
    bars->addWidget(m_saveBar);
    bars->addStretch(1);
    layout->addLayout(bars);
    layout->addWidget(m_canvas, 1);
}

QAction* GraphWindow::toolbarButton(const QString& key) const
{
    if (QAction* action = m_toolbar->findChild<QAction*>(key, Qt::FindDirectChildrenOnly))
        return action;
    return m_saveBar->findChild<QAction*>(key, Qt::FindDirectChildrenOnly);
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

void GraphWindow::print()
{
    m_canvas->print(m_printers, windowTitle());
}
