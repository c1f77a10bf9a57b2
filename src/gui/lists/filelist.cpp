#include "filelist.h"

FileList::FileList(const ListContext& context, QWidget* parent)
    : ListWindow(context, QStringLiteral("FileList"), QStringLiteral("File List"),
        { { "Plot", "Plot" }, { "Print", "Print" } }, parent)
{
}
