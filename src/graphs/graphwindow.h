#pragma once

#include <QWidget>

class GraphCanvas;
class PrinterProvider;
class QAction;
class QToolBar;

// What the two graph windows share: the toolbar with "Limit", "Print" and "Save" along the top
// and the drawing canvas below it, which keeps what was drawn and is what "Print" prints and
// "Save" saves.
class GraphWindow : public QWidget
{
    Q_OBJECT
public:
    GraphCanvas* canvas() const { return m_canvas; }
    QToolBar* toolbar() const { return m_toolbar; }
    QAction* toolbarButton(const QString& key) const;

    // The "Print" button: the graph as drawn so far, on one page. The toolbar lies outside the
    // drawn area, so the printout holds only the graph; hiding it would re-lay the window out
    // and so wipe the traces.
    void print();

Q_SIGNALS:
    // The "Limit" button: the opener shows the range dialog.
    void limitRequested();
    // The "Save" button: the opener asks for a file and saves the graph as drawn.
    void saveRequested();

protected:
    GraphWindow(PrinterProvider& printers, QWidget* parent);

private:
    void onToolbar(const QString& key);

    PrinterProvider& m_printers;
    QToolBar* m_toolbar = nullptr;
    GraphCanvas* m_canvas = nullptr;
};
