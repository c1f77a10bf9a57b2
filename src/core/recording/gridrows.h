#pragma once

#include "datafileformat.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <vector>

// The text rows of a ten-column grid, kept compact: all rows in one UTF-8 block, each row's cells
// joined by tabs, plus one offset per row. Appending a row costs O(1) (amortised) and 34,800
// rows take a few megabytes.
class GridRows
{
public:
    qsizetype count() const { return static_cast<qsizetype>(m_starts.size()); }
    bool isEmpty() const { return m_starts.empty(); }

    // A row given as its cells; cells past the tenth are dropped. A tab or a line break inside a
    // cell becomes a blank, so a cell never splits when the row is saved and read back.
    void append(const QStringList& cells);
    // A row given as tab-separated text, its fields filling the columns from the left.
    void appendTabbed(const QString& text);
    // The same from UTF-8 bytes, as a file line is read.
    void appendTabbed(QByteArrayView utf8);
    // A row from UTF-8 text that is already at most ten fields joined by tabs, with no line
    // break, as the data-file reader hands it over.
    void appendFields(QByteArrayView utf8);
    void appendAll(const GridRows& other);
    // Empties the rows and keeps the memory for new ones.
    void clear();
    void reserve(qsizetype rows, qsizetype bytes);
    // Gives back room reserved and not used.
    void squeeze();

    QString cell(qsizetype row, int column) const;
    QStringList row(qsizetype row) const;
    // The row's cells as tab-joined UTF-8 (no tab at the end for the dropped empty cells).
    QByteArrayView rowBytes(qsizetype row) const;
    // Bytes held, for the memory figures.
    qsizetype byteSize() const;

private:
    std::vector<qsizetype> m_starts;
    QByteArray m_text;
};
