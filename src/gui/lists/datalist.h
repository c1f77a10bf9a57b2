#pragma once

#include "listwindow.h"

#include <QStringList>

// "Data List": the records of one data-logger set, appended row by row by the set listing.
class DataList final : public ListWindow
{
    Q_OBJECT
public:
    static QString defaultCaption() { return QStringLiteral("Data List"); }

    explicit DataList(const ListContext& context, QWidget* parent = nullptr);

    // One row of ten cell texts (more are dropped, fewer leave the last columns empty).
    void appendRow(const QStringList& cells);
    // One row as tab-separated text; field k goes to column k.
    void appendRowText(const QString& tabbedText);
    void setCaption(const QString& caption) { setWindowTitle(caption); }
    QString caption() const { return windowTitle(); }
};
