#pragma once

#include <QStringList>
#include <QWidget>

class QFontMetrics;
class QProgressBar;
class QTableWidget;

// The data-logger window "Data Logger": the download progress (MBar), the share of the logger
// memory in use (MSize, with its legend) and one GridSet row per downloaded set. A click on a
// row asks for that set to be listed.
class Memory final : public QWidget
{
    Q_OBJECT
public:
    static QString caption() { return QStringLiteral("Data Logger"); }
    // The GridSet columns: header texts and the sample texts whose widths they take.
    static QStringList setHeaders();
    static QStringList setWidthSamples();
    // The widest text each column can hold.
    static QStringList setWidestValues();
    // A GridSet column's width in the given font, for cells that keep cellMargin pixels on each
    // side of their text.
    static int setColumnWidth(const QFontMetrics& metrics, int column, int cellMargin);
    int cellTextMargin() const;

    explicit Memory(QWidget* parent = nullptr);

    // Stands directly right of the anchor window: left edge at the anchor's left edge plus its
    // width, top at the anchor's top.
    void placeBeside(const QRect& anchorFrame);

    void setMemoryPercent(int percent);
    void setProgress(int percent);
    void addSetRow(const QStringList& cells);
    int setRowCount() const;
    QStringList setRowCells(int row) const;

Q_SIGNALS:
    void setRowClicked(int row);

private:
    QProgressBar* m_bar = nullptr;
    QProgressBar* m_size = nullptr;
    QTableWidget* m_grid = nullptr;
};
