#include "datalist.h"

#include "gridmodel.h"

DataList::DataList(const ListContext& context, QWidget* parent)
    : ListWindow(context, QStringLiteral("DataList"), defaultCaption(),
        { { "Save", "Save As" }, { "Plot", "Plot" }, { "Print", "Print" } }, parent)
{
}

void DataList::appendRow(const QStringList& cells)
{
    model().appendRow(cells);
}

void DataList::appendRowText(const QString& tabbedText)
{
    model().appendRowText(tabbedText);
}
