#include "gridmodel.h"

#include "recording/datafileformat.h"

#include <limits>

namespace
{
// Qt's views count rows in int.
constexpr qsizetype kMaxRows = std::numeric_limits<int>::max() - 1;
} // namespace

GridModel::GridModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

int GridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.count());
}

int GridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kGridColumns;
}

QVariant GridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return m_rows.cell(index.row(), index.column());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    return {};
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0
        && section < kGridColumns)
        return ColumnCaptions().at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void GridModel::appendRow(const QStringList& cells)
{
    if (m_rows.count() >= kMaxRows)
        return;
    const int at = static_cast<int>(m_rows.count());
    beginInsertRows(QModelIndex(), at, at);
    m_rows.append(cells);
    endInsertRows();
}

void GridModel::appendRowText(const QString& tabbedText)
{
    if (m_rows.count() >= kMaxRows)
        return;
    const int at = static_cast<int>(m_rows.count());
    beginInsertRows(QModelIndex(), at, at);
    m_rows.appendTabbed(tabbedText);
    endInsertRows();
}

void GridModel::appendRows(const GridRows& rows)
{
    if (rows.isEmpty() || m_rows.count() + rows.count() > kMaxRows)
        return;
    const int at = static_cast<int>(m_rows.count());
    beginInsertRows(QModelIndex(), at, at + static_cast<int>(rows.count()) - 1);
    m_rows.appendAll(rows);
    endInsertRows();
}

void GridModel::appendRows(GridRows&& rows)
{
    if (!m_rows.isEmpty()) {
        appendRows(static_cast<const GridRows&>(rows));
        return;
    }
    if (rows.isEmpty() || rows.count() > kMaxRows)
        return;
    beginInsertRows(QModelIndex(), 0, static_cast<int>(rows.count()) - 1);
    m_rows = std::move(rows);
    endInsertRows();
}

void GridModel::clear()
{
    beginResetModel();
    m_rows = GridRows();
    endResetModel();
}

GridRows GridModel::takeRows()
{
    beginResetModel();
    GridRows rows = std::move(m_rows);
    m_rows = GridRows();
    endResetModel();
    return rows;
}
