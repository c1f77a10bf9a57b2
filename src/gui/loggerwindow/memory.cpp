#include "loggerwindow/memory.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace
{
QLabel* LegendLabel(const char* name, const QString& text, const QString& style, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignCenter);
    if (!style.isEmpty())
        label->setStyleSheet(style);
    return label;
}
} // namespace

QStringList Memory::setHeaders()
{
    return { QStringLiteral("Set"), QStringLiteral("Time"), QStringLiteral("Records"),
        QStringLiteral("Intv.") };
}

QStringList Memory::setWidthSamples()
{
    return { QStringLiteral(" No.S "), QStringLiteral("AA:AA:AA"), QStringLiteral(" Records "),
        QStringLiteral("INTVV") };
}

QStringList Memory::setWidestValues()
{
    return { QStringLiteral("255"), QStringLiteral("00:00:00"), QStringLiteral("65535"),
        QStringLiteral("65535") };
}

int Memory::setColumnWidth(const QFontMetrics& metrics, int column, int cellMargin)
{
    // The sample's width, but never too narrow to show the widest value with the cell's margins:
    // in some fonts five digits are wider than "INTVV".
    return std::max(metrics.horizontalAdvance(setWidthSamples().value(column)),
        metrics.horizontalAdvance(setWidestValues().value(column)) + 2 * cellMargin);
}

int Memory::cellTextMargin() const
{
    // What the style leaves on each side of a cell's text.
    return m_grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_grid) + 1;
}

Memory::Memory(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Memory"));
    setWindowTitle(caption());
    setAttribute(Qt::WA_DeleteOnClose);

    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("MBar"));
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    m_bar->setAccessibleName(QStringLiteral("Download progress"));

    auto* panel2 = new QFrame(this);
    panel2->setObjectName(QStringLiteral("SSPanel2"));
    panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_size = new QProgressBar(panel2);
    m_size->setObjectName(QStringLiteral("MSize"));
    m_size->setRange(0, 100);
    m_size->setValue(0);
    m_size->setFormat(QStringLiteral("Memory Size"));
    m_size->setAlignment(Qt::AlignCenter);
    m_size->setMinimumHeight(28);
    m_size->setAccessibleName(QStringLiteral("Memory in use"));
    m_size->setStyleSheet(
        QStringLiteral("QProgressBar { background: #ff00ff; color: white; border: 2px inset gray; }"
                       "QProgressBar::chunk { background: #0000ff; }"));
    auto* panel2Layout = new QHBoxLayout(panel2);
    panel2Layout->setContentsMargins(6, 6, 6, 6);
    panel2Layout->addWidget(m_size);

    auto* panel3 = new QFrame(this);
    panel3->setObjectName(QStringLiteral("SSPanel3"));
    panel3->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* legend = new QHBoxLayout(panel3);
    legend->setContentsMargins(6, 4, 6, 4);
    legend->addWidget(
        LegendLabel("Label1", QStringLiteral("Capacity : 128 K"), QString(), panel3), 2);
    legend->addWidget(LegendLabel("Label2", QStringLiteral("Used"),
                          QStringLiteral("background: #0000ff; color: white;"), panel3),
        1);
    legend->addWidget(LegendLabel("Label3", QStringLiteral("Unused"),
                          QStringLiteral("background: #ff00ff; color: white;"), panel3),
        1);

    m_grid = new QTableWidget(0, 4, this);
    m_grid->setObjectName(QStringLiteral("GridSet"));
    m_grid->setAccessibleName(QStringLiteral("Downloaded sets"));
    m_grid->setHorizontalHeaderLabels(setHeaders());
    m_grid->verticalHeader()->hide();
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setTextElideMode(Qt::ElideNone);
    m_grid->setWordWrap(false);
    m_grid->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    QHeaderView* header = m_grid->horizontalHeader();
    header->setMinimumSectionSize(1);
    header->setTextElideMode(Qt::ElideNone);
    for (int c = 0; c < m_grid->columnCount(); ++c)
        m_grid->setColumnWidth(c, setColumnWidth(fontMetrics(), c, cellTextMargin()));
    connect(m_grid, &QTableWidget::cellClicked, this,
        [this](int row, int) { Q_EMIT setRowClicked(row); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(m_bar);
    layout->addWidget(panel2);
    layout->addWidget(panel3);
    layout->addWidget(m_grid, 1);
    resize(300, 400);
}

void Memory::placeBeside(const QRect& anchorFrame)
{
    move(anchorFrame.x() + anchorFrame.width(), anchorFrame.y());
}

void Memory::setMemoryPercent(int percent)
{
    m_size->setValue(percent);
}

void Memory::setProgress(int percent)
{
    m_bar->setValue(percent);
}

void Memory::addSetRow(const QStringList& cells)
{
    const int row = m_grid->rowCount();
    m_grid->insertRow(row);
    for (int c = 0; c < m_grid->columnCount() && c < cells.size(); ++c) {
        auto* item = new QTableWidgetItem(cells.at(c));
        // The first column is the grid's fixed column.
        if (c == 0)
            item->setBackground(palette().button());
        m_grid->setItem(row, c, item);
    }
}

int Memory::setRowCount() const
{
    return m_grid->rowCount();
}

QStringList Memory::setRowCells(int row) const
{
    QStringList cells;
    if (row < 0 || row >= m_grid->rowCount())
        return cells;
    for (int c = 0; c < m_grid->columnCount(); ++c) {
        const QTableWidgetItem* item = m_grid->item(row, c);
        cells.append(item ? item->text() : QString());
    }
    return cells;
}
