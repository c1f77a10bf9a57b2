#pragma once

#include <QByteArrayView>

// A table that keeps its cells as UTF-8 text and lets a reader see a row's stored bytes without
// making a string of each cell: the row's cells joined by tabs, the empty cells at its end left
// out. A reader that goes through many cells (the file graph) splits the row itself.
class TextCells
{
public:
    // Empty for a row the table does not hold.
    virtual QByteArrayView rowBytes(int row) const = 0;

    // The first count cells of a row's bytes into cells, empty ones where the row has fewer.
    static void split(QByteArrayView row, QByteArrayView* cells, int count)
    {
        const char* p = row.data();
        const char* const end = p + row.size();
        for (int c = 0; c < count; ++c) {
            const char* cell = p;
            while (p < end && *p != '\t')
                ++p;
            cells[c] = QByteArrayView(cell, p - cell);
            if (p < end)
                ++p; // past the tab
        }
    }

protected:
    ~TextCells() = default;
};
