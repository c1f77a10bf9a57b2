#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>
#include <initializer_list>

class GridModel;
class GridPrintJob;
class QAction;
class QTableView;
class QToolBar;
struct ListContext;

// A list window: the ten-column grid `Grid` over a GridModel, and the toolbar `Toolbar1` whose
// buttons run "Save", "Plot" and "Print"; beside it `Toolbar2` with "Report" (the indoor-air
// report). The three windows List, FileList and DataList differ in their name, caption and
// buttons.
class ListWindow : public QWidget
{
    Q_OBJECT
public:
    ~ListWindow() override;

    GridModel& model() const { return *m_model; }
    QTableView* grid() const { return m_grid; }
    QToolBar* toolbar() const { return m_toolbar; }
    QAction* toolbarButton(const QString& key) const;

    // Runs the command of a toolbar key; other keys do nothing.
    void runCommand(const QString& key);
    // "Save": refused while recording; otherwise asks for a file and writes the data rows.
    bool save();
    // What writes the dates of the rows "Save" wrote to path (false with the reason); without
    // one, a dates file left beside path (of the file it replaced) goes.
    using DatesWriter = std::function<bool(const QString& path, QString* error)>;
    void setDatesWriter(DatesWriter writer) { m_datesWriter = std::move(writer); }
    // "Print": the caption row and the data rows on the printer. The job runs on while events
    // are handled; a second "Print" meanwhile does nothing. False when nothing is printing.
    bool print();
    GridPrintJob* printJob() const;

    // The width of each column: its sample text measured in the window's font.
    static QString columnSample(int column);

    // Where the rows come from, for the report: the data file "Open" read (empty for the live
    // list and a logger set) and the name of the source, which is also the report's default
    // title ("run.nblg", "Logger set 2"; the window's caption until it is set).
    void setReportSource(const QString& path, const QString& title);
    QString reportSourcePath() const { return m_reportPath; }
    QString reportTitle() const { return m_reportTitle; }

Q_SIGNALS:
    // "Plot" was pressed; the file graph opens on this window's rows.
    void plotRequested();
    // "Report" was pressed; the report dialog opens on this window's rows.
    void reportRequested();
    void closed();

protected:
    struct Button {
        const char* key;
        const char* tooltip;
    };
    ListWindow(const ListContext& context, const QString& name, const QString& caption,
        std::initializer_list<Button> buttons, QWidget* parent);
    void closeEvent(class QCloseEvent* event) override;
    const ListContext& context() const { return m_context; }

private:
    void layOutGrid();

    const ListContext& m_context;
    GridModel* m_model = nullptr;
    QTableView* m_grid = nullptr;
    QToolBar* m_toolbar = nullptr;
    QToolBar* m_reportBar = nullptr;
    QPointer<GridPrintJob> m_printJob;
    QString m_reportPath;
    QString m_reportTitle;
    DatesWriter m_datesWriter;
};
