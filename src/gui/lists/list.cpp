#include "list.h"

#include "gridmodel.h"
#include "listcontext.h"
#include "recording/recordingstate.h"

#include <QScrollBar>
#include <QTableView>

List::List(const ListContext& context, QWidget* parent)
    : ListWindow(context, QStringLiteral("List"), QStringLiteral("Real Time List"),
        { { "Save", "Save AS" }, { "Print", "Print" } }, parent)
{
}

void List::addSampleRow(const QString& rowText)
{
    GridModel& rows = model();
    // Grid rows count the caption row as row 0, so the last grid row is the model's row count.
    const int lastRow = rows.rowCount();
    if (lastRow > 0)
        grid()->setCurrentIndex(rows.index(lastRow - 1, 0));
    rows.appendRowText(rowText);
    if (lastRow >= kScrollThreshold) {
        // The view lays out its new row at once, so the scroll is measured against every row.
        grid()->doItemsLayout();
        QScrollBar* bar = grid()->verticalScrollBar();
        bar->setValue(bar->value() + 1);
    }
}

void List::closeEvent(QCloseEvent* event)
{
    context().state.ListOpen = false;
    ListWindow::closeEvent(event);
}
