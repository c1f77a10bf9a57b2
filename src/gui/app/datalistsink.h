#pragma once

#include "lists/datalist.h"
#include "logger/setlisting.h"

#include <QPointer>

// The data list as the place a logger set is listed into.
class DataListSink final : public ListingSink
{
public:
    explicit DataListSink(DataList* list)
        : m_list(list)
    {
    }
    void appendRow(const QStringList& cells) override
    {
        if (m_list)
            m_list->appendRow(cells);
    }
    QString caption() const override { return m_list ? m_list->caption() : QString(); }
    void setCaption(const QString& caption) override
    {
        if (m_list)
            m_list->setCaption(caption);
    }

private:
    QPointer<DataList> m_list;
};
