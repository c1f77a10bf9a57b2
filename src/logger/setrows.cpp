#include "setrows.h"

#include "setlisting.h"

namespace
{
// The data list's grid without its window: rows appended as its model appends them.
class RowsSink final : public ListingSink
{
public:
    explicit RowsSink(GridRows& rows)
        : m_rows(rows)
    {
    }
    void appendRow(const QStringList& cells) override { m_rows.append(cells); }
    QString caption() const override { return m_caption; }
    void setCaption(const QString& caption) override { m_caption = caption; }

private:
    GridRows& m_rows;
    QString m_caption;
};
} // namespace

ListedSet ListSetRows(
    const LoggerTables& tables, const QStringList& setRowCells, const Clock& clock)
{
    ListedSet listed;
    RowsSink sink(listed.rows);
    listed.completed = ListLoggerSet(tables, setRowCells, sink, clock).completed;
    return listed;
}
