#pragma once

#include <QWidget>

class GraphCanvas;
class PrinterProvider;
class QAction;
class QPainter;
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

    // Draws the graph as the canvas shows it onto painter, in the canvas's logical pixels, with
    // lines and texts where the device keeps them (a drawing, a document). By default the image.
    virtual void paintGraph(QPainter& painter) const;

    // The "Print" button: the graph as drawn so far, on one page. The toolbar lies outside the
    // drawn area, so the printout holds only the graph; hiding it would re-lay the window out
    // and so wipe the traces.
    // False when nothing was printed.
    bool print();

Q_SIGNALS:
    // The "Limit" button: the opener shows the range dialog.
    void limitRequested();
    // The "Save" button: the opener asks for a file and saves the graph as drawn.
    void saveRequested();
    // A print went to this PDF because there is no printer; the opener tells the user.
    void printedToPdf(const QString& path);

protected:
    GraphWindow(PrinterProvider& printers, QWidget* parent);

private:
    void onToolbar(const QString& key);

    PrinterProvider& m_printers;
    QToolBar* m_toolbar = nullptr;
    GraphCanvas* m_canvas = nullptr;
};
