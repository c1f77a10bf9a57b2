#pragma once

// A download store that files the sets as the program does (LoggerStore) and stops the run when
// the exchange breaks the store's contract: calls out of order, a set with more or fewer record
// bytes than its header asks for, a set filed twice, anything after the end.

#include "fuzzinput.h"

#include "logger/loggerstore.h"

#include <QMap>

class CheckingStore final : public LoggerDownloadStore
{
public:
    explicit CheckingStore(LoggerTables& tables)
        : m_store(tables)
    {
    }

    void BeginLoggerDownload(int setCount, quint32 writeAddress) override
    {
        FUZZ_CHECK(!m_running);
        FUZZ_CHECK(setCount >= 1 && setCount <= 255);
        m_running = true;
        ++downloads;
        m_setCount = setCount;
        m_set = 0;
        m_added = 0;
        broken = 0;
        data.clear();
        m_store.BeginLoggerDownload(setCount, writeAddress);
    }

    int StoreSetHeader(int set, const QByteArray& header) override
    {
        FUZZ_CHECK(m_running);
        FUZZ_CHECK(header.size() == 8);
        if (set == m_set) {
            // A short header completed later: the record count it was asked by stays.
            FUZZ_CHECK(m_added < set);
            FUZZ_CHECK(data.value(set).size() <= 8 || header.left(2) == data.value(set).left(2));
            data[set] = header + data.value(set).mid(8);
        } else {
            FUZZ_CHECK(set == m_added + 1 && set <= m_setCount);
            m_set = set;
            data[set] = header;
        }
        const int bytes = m_store.StoreSetHeader(set, header);
        FUZZ_CHECK(bytes == 8 * (quint8(header.at(0)) * 256 + quint8(header.at(1))));
        return bytes;
    }

    void AppendSetBytes(int set, const QByteArray& bytes) override
    {
        FUZZ_CHECK(m_running && set == m_set && set > m_added);
        FUZZ_CHECK(!bytes.isEmpty());
        QByteArray& d = data[set];
        if (d.size() <= 8)
            d.reserve(8 + RecordBytesOf(set)); // room for the whole set with its first piece
        d += bytes;
        FUZZ_CHECK(data[set].size() <= 8 + RecordBytesOf(set));
        m_store.AppendSetBytes(set, bytes);
        FUZZ_CHECK(m_store.progressPercent() >= 0 && m_store.progressPercent() <= 100);
    }

    void AddLoggerSet(int set) override
    {
        FUZZ_CHECK(m_running && set == m_set && set == m_added + 1);
        FUZZ_CHECK(data[set].size() == 8 + RecordBytesOf(set));
        m_added = set;
        m_store.AddLoggerSet(set);
        FUZZ_CHECK(m_store.tables().LoggerSetData[set] == data[set]);
    }

    void downloadBroken(int set) override
    {
        FUZZ_CHECK(m_running);
        FUZZ_CHECK(set == m_added + 1 && set <= m_setCount);
        broken = set;
        ++brokenCount;
        m_running = false;
        m_store.downloadBroken(set);
    }

    // The download says it is over (also when it never began: no sets in the memory).
    void finished()
    {
        if (m_running)
            FUZZ_CHECK(m_added == m_setCount);
        m_running = false;
    }

    bool running() const { return m_running; }
    int added() const { return m_added; }

    int downloads = 0;
    int broken = 0; // the set the last download broke in
    int brokenCount = 0;
    QMap<int, QByteArray> data;

private:
    int RecordBytesOf(int set) const
    {
        const QByteArray& d = data[set];
        return 8 * (quint8(d.at(0)) * 256 + quint8(d.at(1)));
    }

    LoggerStore m_store;
    bool m_running = false;
    int m_setCount = 0;
    int m_set = 0;
    int m_added = 0;
};
