#include "memorycontroller.h"

#include "desktop/busycursor.h"
#include "logger/loggerstore.h"
#include "loggerwindow/memory.h"

#include <QWidget>

MemoryController::MemoryController(LoggerStore& store, Clock& clock, QObject* parent)
    : QObject(parent)
    , m_store(store)
    , m_clock(clock)
{
    connect(&m_store, &LoggerStore::downloadBegun, this, &MemoryController::openFresh);
    connect(&m_store, &LoggerStore::progressChanged, this, [this](int percent) {
        if (m_memory)
            m_memory->setProgress(percent);
    });
    connect(&m_store, &LoggerStore::setAdded, this, [this](const QStringList& cells) {
        if (m_memory)
            m_memory->addSetRow(cells);
    });
}

MemoryController::~MemoryController()
{
    delete m_memory.data();
}

QRect MemoryController::anchorFrame() const
{
    return m_anchor ? m_anchor->frameGeometry() : QRect();
}

void MemoryController::openFresh(int memoryPercent)
{
    // A new download shows only its own sets: the old window and its rows go.
    delete m_memory.data();
    m_memory = new Memory;
    if (m_anchor)
        m_memory->placeBeside(anchorFrame());
    m_memory->setMemoryPercent(memoryPercent);
    connect(m_memory, &Memory::setRowClicked, this, [this](int row) { listRow(row); });
    m_memory->show();
}

ListingResult MemoryController::listRow(int row)
{
    if (!m_memory || !m_openDataList)
        return {};
    const QStringList cells = m_memory->setRowCells(row);
    m_listedSet = ReadSetRow(cells).set;
    ListingSink* sink = m_openDataList();
    if (!sink)
        return {};

    ListingResult result;
    {
        const BusyCursor busy;
        result = ListLoggerSet(m_store.tables(), cells, *sink, m_clock);
    }

    Q_EMIT timersSwitchOnRequested();
    if (!result.completed) {
        m_memory->close();
        Q_EMIT listingFailed();
    }
    return result;
}
