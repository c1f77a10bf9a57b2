#pragma once

#include "platform/textcells.h"
#include "recording/gridrows.h"

#include <QAbstractTableModel>

// The ten-column grid of the list windows as a table model: the caption row is the horizontal
// header and every data row is one row of text cells. Rows are appended, never edited.
class GridModel final : public QAbstractTableModel, public TextCells
{
    Q_OBJECT
public:
    explicit GridModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // One row from its cells, or from tab-separated text (field k goes to column k).
    void appendRow(const QStringList& cells);
    void appendRowText(const QString& tabbedText);
    // Many rows in one insertion.
    void appendRows(const GridRows& rows);
    // The same, taking the rows over without a copy when the grid is empty.
    void appendRows(GridRows&& rows);
    void clear();
    // Empties the grid, handing its rows (and their memory) to the caller.
    GridRows takeRows();

    const GridRows& rows() const { return m_rows; }
    QStringList row(int row) const { return m_rows.row(row); }
    QString cell(int row, int column) const { return m_rows.cell(row, column); }
    QByteArrayView rowBytes(int row) const override { return m_rows.rowBytes(row); }

private:
    GridRows m_rows;
};
