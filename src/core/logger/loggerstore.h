#pragma once

#include "loggertables.h"
#include "meter/loggerdownload.h"

#include <QObject>
#include <QStringList>

// Files the sets of a download into the tables and tells the data-logger window what to show:
// a fresh window with its memory gauge, the progress of the record bytes, one row per set that
// arrived whole.
class LoggerStore final : public QObject, public LoggerDownloadStore
{
    Q_OBJECT
public:
    explicit LoggerStore(LoggerTables& tables, QObject* parent = nullptr);

    void BeginLoggerDownload(int setCount, quint32 writeAddress) override;
    int StoreSetHeader(int set, const QByteArray& header) override;
    void AppendSetBytes(int set, const QByteArray& bytes) override;
    void AddLoggerSet(int set) override;
    void downloadBroken(int set) override;
    // The download is over (whole or not) at `now`, the computer's date-time: the sets get their
    // dates (setdates.h).
    void downloadEnded(const QDateTime& now);

    const LoggerTables& tables() const { return m_tables; }
    int progressPercent() const { return m_progress; }

Q_SIGNALS:
    // A download starts: the Memory window opens afresh with MSize at memoryPercent.
    void downloadBegun(int memoryPercent);
    // MBar's new value (sent only when it changes).
    void progressChanged(int percent);
    // A set arrived whole: its GridSet row.
    void setAdded(const QStringList& cells);

private:
    static bool holdsSet(int set) { return set >= 1 && set < LoggerTables::kEntries; }

    LoggerTables& m_tables;
    int m_setCount = 0;
    qint64 m_expected = 0;
    qint64 m_received = 0;
    int m_progress = 0;
};
