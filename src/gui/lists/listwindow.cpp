#include "listwindow.h"

#include "desktop/printer.h"
#include "desktop/prompts.h"
#include "gridmodel.h"
#include "gridprint.h"
#include "gridsave.h"
#include "listcontext.h"
#include "recording/recordingdates.h"
#include "recording/recordingstate.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

#include <vector>

namespace
{
constexpr int kVisibleRows = 18;
}

ListWindow::ListWindow(const ListContext& context, const QString& name, const QString& caption,
    std::initializer_list<Button> buttons, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_context(context)
    , m_reportTitle(caption)
{
    setObjectName(name);
    setWindowTitle(caption);
    setAttribute(Qt::WA_DeleteOnClose);

    m_toolbar = new QToolBar(this);
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setMovable(false);
    m_toolbar->setIconSize(QSize(24, 24));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    // The designed buttons in Toolbar1; "Report" beside them in a toolbar of its own.
    m_reportBar = new QToolBar(this);
    m_reportBar->setObjectName(QStringLiteral("Toolbar2"));
    m_reportBar->setMovable(false);
    m_reportBar->setIconSize(m_toolbar->iconSize());
    m_reportBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    std::vector<Button> all(buttons);
    all.push_back({ "Report", "Indoor-air report" });
    for (const Button& button : all) {
        const QString key = QString::fromLatin1(button.key);
        QToolBar* bar = key == QLatin1String("Report") ? m_reportBar : m_toolbar;
        QAction* action = bar->addAction(key);
        action->setObjectName(key);
        action->setToolTip(QString::fromLatin1(button.tooltip));
        if (m_context.icon)
            action->setIcon(m_context.icon(key));
        connect(action, &QAction::triggered, this, [this, key] { runCommand(key); });
    }

    m_model = new GridModel(this);
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("Grid"));
    m_grid->setModel(m_model);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setWordWrap(false);
    m_grid->setAutoScroll(false);
    m_grid->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->horizontalHeader()->setHighlightSections(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bars = new QHBoxLayout;
    bars->setContentsMargins(0, 0, 0, 0);
    bars->setSpacing(0);
    bars->addWidget(m_toolbar);
    bars->addWidget(m_reportBar);
    bars->addStretch(1);
    layout->addLayout(bars);
    layout->addWidget(m_grid, 1);
    layOutGrid();
}

ListWindow::~ListWindow() = default;

QString ListWindow::columnSample(int column)
{
    if (column == 0)
        return QStringLiteral(" 000000 ");
    if (column == 1)
        return QStringLiteral(" 000:00:00 ");
    return QStringLiteral("AAAAAA");
}

void ListWindow::layOutGrid()
{
    const QFontMetrics metrics(font());
    QHeaderView* header = m_grid->horizontalHeader();
    header->setMinimumSectionSize(1);
    header->setTextElideMode(Qt::ElideNone);
    int total = 0;
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const int width = metrics.horizontalAdvance(columnSample(c));
        header->resizeSection(c, width);
        total += width;
    }
    const int rowHeight = metrics.height() + 4;
    m_grid->verticalHeader()->setDefaultSectionSize(rowHeight);
    const int frame = 2 * m_grid->frameWidth();
    const int scrollBar = m_grid->verticalScrollBar()->sizeHint().width();
    resize(total + frame + scrollBar,
        m_toolbar->sizeHint().height() + header->sizeHint().height() + kVisibleRows * rowHeight
            + frame);
}

QAction* ListWindow::toolbarButton(const QString& key) const
{
    if (QAction* action = m_toolbar->findChild<QAction*>(key, Qt::FindDirectChildrenOnly))
        return action;
    return m_reportBar->findChild<QAction*>(key, Qt::FindDirectChildrenOnly);
}

void ListWindow::runCommand(const QString& key)
{
    if (!toolbarButton(key))
        return; // not a button of this window
    if (key == QLatin1String("Save"))
        save();
    else if (key == QLatin1String("Print"))
        print();
    else if (key == QLatin1String("Plot"))
        Q_EMIT plotRequested();
    else if (key == QLatin1String("Report"))
        Q_EMIT reportRequested();
}

void ListWindow::setReportSource(const QString& path, const QString& title)
{
    m_reportPath = path;
    m_reportTitle = title;
}

bool ListWindow::save()
{
    RecordingState& state = m_context.state;
    if (state.Recording) {
        // The recorder and the save share the chosen file name.
        m_context.prompts.message(this, Prompts::Icon::Critical,
            QStringLiteral("Aready in recording mode, close it and try again !"));
        return false;
    }
    ShowSaveDialog(this, m_context.prompts, state);
    if (!state.FileChosen)
        return false;
    if (!SaveGridToFile(*this, m_model->rows(), state, m_context.clock))
        return false;
    // The dates of the rows go beside them; dates of what the file held before never stay.
    const QString path = state.DataFileName;
    QString error;
    if (!m_datesWriter) {
        QFile::remove(DatesFilePath(path));
    } else if (!m_datesWriter(path, &error)) {
        m_context.prompts.message(this, Prompts::Icon::Critical,
            QStringLiteral("The dates of the list cannot be written to %1 (%2).")
                .arg(QDir::toNativeSeparators(DatesFilePath(path)), error));
    }
    return true;
}

bool ListWindow::print()
{
    if (m_printJob && !m_printJob->isFinished())
        return false;
    m_printJob = PrintGrid(
        *this, m_model->rows(), m_context.printers, m_context.clock, m_context.printPausedTimers);
    if (!m_printJob)
        return false;
    // Without a printer the user is told where the pages went, once they are all there.
    const QString pdf = m_printJob->fallbackPdf();
    if (!pdf.isEmpty()) {
        connect(m_printJob, &GridPrintJob::finished, this, [this, pdf](bool printed) {
            if (printed)
                m_context.prompts.message(
                    this, Prompts::Icon::Information, FallbackPdfMessage(pdf));
        });
    }
    return true;
}

GridPrintJob* ListWindow::printJob() const
{
    return m_printJob;
}

void ListWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    Q_EMIT closed();
}
