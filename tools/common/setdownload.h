#pragma once

#include "logger/loggerstore.h"
#include "logger/loggertables.h"
#include "meter/loggerdownload.h"
#include "setfiles.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class Clock;
class SerialLink;

// How a logger dump ended and what was written of it.
struct SetDownloadOutcome {
    enum class End {
        Whole, // every set arrived
        NoData, // the meter's memory holds no set: "No Data in Memory!"
        Stopped, // the download stopped part way: see message
    };
    End end = End::Whole;
    QString message; // NoData: "No Data in Memory!"; Stopped: the exchange's message
    int setCount = 0; // the sets the meter announced
    QList<WrittenSet> written; // the whole sets, in order, with their files
    QStringList failures; // a set file that could not be written: its name and the reason
};

// A logger dump downloaded with the program's exchange (the acquisition cycle hands it the
// signature frame through hook()), its sets filed into the program's tables, and each set that
// arrived whole written to folder/set-N.nblg as the data list's "Save" writes it. A download
// that stops part way keeps the whole sets before the broken one.
class SetDownload final : public QObject, private LoggerDownloadStore
{
    Q_OBJECT
public:
    SetDownload(SerialLink& link, Clock& clock, QString folder, QObject* parent = nullptr);

    DownloadHook& hook() { return m_download; }
    const LoggerTables& tables() const { return m_tables; }

Q_SIGNALS:
    // A dump of setCount sets is coming (the meter's memory is not empty).
    void begun(int setCount);
    // The dump is over and its whole sets are written (or failed to be: see failures).
    void ended(const SetDownloadOutcome& outcome);

private:
    void BeginLoggerDownload(int setCount, quint32 writeAddress) override;
    int StoreSetHeader(int set, const QByteArray& header) override;
    void AppendSetBytes(int set, const QByteArray& bytes) override;
    void AddLoggerSet(int set) override;
    void downloadBroken(int set) override;

    void conclude(SetDownloadOutcome::End end, const QString& message);

    Clock& m_clock;
    QString m_folder;
    LoggerTables m_tables;
    LoggerStore m_store;
    LoggerDownload m_download;
    bool m_running = false;
    bool m_broken = false;
    int m_setCount = 0;
    QList<QStringList> m_wholeSets; // their GridSet rows
};
