#include "setdownload.h"

#include "platform/clock.h"

#include <utility>

SetDownload::SetDownload(SerialLink& link, Clock& clock, QString folder, QObject* parent)
    : QObject(parent)
    , m_clock(clock)
    , m_folder(std::move(folder))
    , m_store(m_tables)
    , m_download(link, clock, *this)
{
    connect(&m_download, &LoggerDownload::noDataInMemory, this,
        [this] { conclude(SetDownloadOutcome::End::NoData, LoggerDownload::noDataMessage()); });
    // A download that breaks tells the store first, ends the tick, then says why.
    connect(&m_download, &LoggerDownload::finished, this, [this] {
        if (m_running && !m_broken)
            conclude(SetDownloadOutcome::End::Whole, QString());
    });
    connect(&m_download, &LoggerDownload::stopped, this, [this](const QString& message) {
        if (m_running)
            conclude(SetDownloadOutcome::End::Stopped, message);
    });
}

void SetDownload::BeginLoggerDownload(int setCount, quint32 writeAddress)
{
    m_running = true;
    m_broken = false;
    m_setCount = setCount;
    m_wholeSets.clear();
    m_store.BeginLoggerDownload(setCount, writeAddress);
    Q_EMIT begun(setCount);
}

int SetDownload::StoreSetHeader(int set, const QByteArray& header)
{
    return m_store.StoreSetHeader(set, header);
}

void SetDownload::AppendSetBytes(int set, const QByteArray& bytes)
{
    m_store.AppendSetBytes(set, bytes);
}

void SetDownload::AddLoggerSet(int set)
{
    m_store.AddLoggerSet(set);
    // The row the data-logger window shows for it, which a click lists.
    const QStringList row = SetRowCells(m_tables, set);
    if (!row.isEmpty())
        m_wholeSets.append(row);
}

void SetDownload::downloadBroken(int set)
{
    m_broken = true;
    m_store.downloadBroken(set);
}

void SetDownload::conclude(SetDownloadOutcome::End end, const QString& message)
{
    m_running = false;
    m_store.downloadEnded(m_clock.now());
    SetDownloadOutcome outcome;
    outcome.end = end;
    outcome.message = message;
    outcome.setCount = end == SetDownloadOutcome::End::NoData ? 0 : m_setCount;
    for (const QStringList& row : std::as_const(m_wholeSets)) {
        WrittenSet written;
        QString error;
        if (WriteSetFile(m_folder, m_tables, row, m_clock, &written, &error)) {
            outcome.written.append(written);
            if (!written.datesProblem.isEmpty())
                outcome.failures.append(written.datesProblem);
        } else
            outcome.failures.append(error);
    }
    m_wholeSets.clear();
    Q_EMIT ended(outcome);
}
