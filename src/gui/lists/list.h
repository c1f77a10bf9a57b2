#pragma once

#include "listwindow.h"

// "Real Time List": the live list the recorder fills with one row per sample while it is open.
class List final : public ListWindow
{
    Q_OBJECT
public:
    static constexpr int kScrollThreshold = 16;

    explicit List(const ListContext& context, QWidget* parent = nullptr);

    // One sample row: the last row becomes the current row, the new row is appended, and once
    // that last row is row 16 or further down the grid scrolls by one row.
    void addSampleRow(const QString& rowText);

protected:
    void closeEvent(QCloseEvent* event) override;
};
