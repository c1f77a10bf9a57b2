#include "listwindows.h"

#include "datalist.h"
#include "filelist.h"
#include "gridmodel.h"
#include "gridsave.h"
#include "list.h"
#include "platform/countingcaption.h"
#include "recording/recordingstate.h"

ListWindows::ListWindows(ListContext context, QWidget* mainWindow, QObject* parent)
    : QObject(parent)
    , m_context(std::move(context))
    , m_main(mainWindow)
{
}

ListWindows::~ListWindows()
{
    delete m_list;
    delete m_fileList;
    delete m_dataList;
}

List* ListWindows::liveList() const
{
    return m_list;
}

FileList* ListWindows::fileList() const
{
    return m_fileList;
}

DataList* ListWindows::dataList() const
{
    return m_dataList;
}

void ListWindows::watch(ListWindow* window)
{
    connect(
        window, &ListWindow::plotRequested, this, [this, window] { Q_EMIT plotRequested(window); });
    connect(window, &ListWindow::reportRequested, this,
        [this, window] { Q_EMIT reportRequested(window); });
}

List* ListWindows::openLiveList()
{
    if (m_context.state.ListOpen && m_list)
        return m_list;
    m_context.state.ListRowCount = 0;
    createLiveList();
    return m_list;
}

void ListWindows::createLiveList()
{
    m_list = new List(m_context);
    m_list->setDatesWriter(m_liveListDates);
    watch(m_list);
    if (m_main) {
        const QRect main = m_main->frameGeometry();
        m_list->move(main.left(), main.bottom() + 1);
    }
    m_context.state.ListOpen = true;
    m_list->show();
}

void ListWindows::closeLiveList()
{
    if (m_list)
        m_list->close();
    m_context.state.ListOpen = false;
}

FileList* ListWindows::openFileList()
{
    if (m_fileList)
        m_fileList->close();
    m_fileList = new FileList(m_context);
    watch(m_fileList);
    if (m_main) {
        const QRect main = m_main->frameGeometry();
        m_fileList->move(main.left() + 40, main.bottom() + 41);
    }
    m_fileList->show();
    return m_fileList;
}

DataList* ListWindows::openDataList()
{
    if (m_dataList)
        m_dataList->close();
    m_dataList = new DataList(m_context);
    watch(m_dataList);
    if (m_main) {
        const QRect main = m_main->frameGeometry();
        m_dataList->move(main.left() + main.width(), main.top());
    }
    m_dataList->show();
    return m_dataList;
}

void ListWindows::appendSample(const QString& rowText)
{
    if (m_list)
        m_list->addSampleRow(rowText);
}

bool ListWindows::dumpLiveList(const QString& fileName)
{
    if (!m_list)
        return false;
    {
        List& list = *m_list;
        const QString caption = list.windowTitle();
        CountingCaption progress(m_context.clock, RecordsCompletedSuffix(),
            [&list](const QString& text) { list.setWindowTitle(text); });
        const bool written = WriteGridFile(
            fileName, list.model().rows(), true, [&progress](qint64 row) { progress.count(row); });
        progress.finish(caption);
        if (!written)
            return false; // the rows stay listed; nothing is lost
    }
    // A fresh, empty list; the row numbers go on from where they were.
    m_list->close();
    delete m_list;
    createLiveList();
    return true;
}
