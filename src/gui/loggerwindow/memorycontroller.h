#pragma once

#include "logger/setlisting.h"

#include <QObject>
#include <QPointer>
#include <QRect>

#include <functional>

class Clock;
class LoggerStore;
class Memory;
class QWidget;

// Keeps the data-logger window in step with the store: each download opens it afresh beside
// the main window, the progress and the rows of whole sets go into it, and a click on a row
// lists that set into a fresh data list.
class MemoryController final : public QObject
{
    Q_OBJECT
public:
    // Closes any data list that is open, opens a new one and returns where its rows go
    // (null: nowhere to list).
    using DataListOpener = std::function<ListingSink*()>;

    MemoryController(LoggerStore& store, Clock& clock, QObject* parent = nullptr);
    ~MemoryController() override;

    // The main window, whose right edge the Memory window stands against.
    void setAnchor(QWidget* mainWindow) { m_anchor = mainWindow; }
    void setDataListOpener(DataListOpener opener) { m_openDataList = std::move(opener); }

    // The open Memory window, or null.
    Memory* memoryWindow() const { return m_memory; }

    // What a click on GridSet row `row` does.
    ListingResult listRow(int row);
    // The number of the set being listed or listed last (0: none yet).
    int listedSet() const { return m_listedSet; }

Q_SIGNALS:
    // After a listing, whether it ended well or not: Timer1 and Timer2 run again.
    void timersSwitchOnRequested();
    // A listing was abandoned: the port label shows "COM" and the port number again. (The
    // Memory window has already been closed.)
    void listingFailed();

private:
    void openFresh(int memoryPercent);
    QRect anchorFrame() const;

    LoggerStore& m_store;
    Clock& m_clock;
    QPointer<QWidget> m_anchor;
    QPointer<Memory> m_memory;
    DataListOpener m_openDataList;
    int m_listedSet = 0;
};
