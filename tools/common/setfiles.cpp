#include "setfiles.h"

#include "logger/setdates.h"
#include "logger/setlisting.h"
#include "logger/setrows.h"
#include "recording/gridfile.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <unistd.h>

bool PrepareSetFolder(const QString& folder, QString* error)
{
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir()) {
        *error = QStringLiteral("%1: not a folder").arg(folder);
        return false;
    }
    if (!info.exists()) {
        std::error_code code;
        std::filesystem::create_directories(QFile::encodeName(folder).toStdString(), code);
        if (code) {
            *error = QStringLiteral("%1: the folder cannot be made: %2")
                         .arg(folder, QString::fromLocal8Bit(code.message().c_str()));
            return false;
        }
    }
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0) {
        *error = QStringLiteral("%1: the folder cannot be written: %2")
                     .arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}

QString SetFilePath(const QString& folder, int set)
{
    return QDir(folder).filePath(QStringLiteral("set-%1.nblg").arg(set));
}

QString SetSummaryLine(const WrittenSet& w)
{
    return QStringLiteral("%1\t%2\t%3\t%4\t%5")
        .arg(QString::number(w.set), w.startTime, QString::number(w.records),
            QString::number(w.intervalSeconds), w.path);
}

bool WriteSetFile(const QString& folder, const LoggerTables& tables, const QStringList& setRowCells,
    const Clock& clock, WrittenSet* written, QString* error)
{
    const SetRowRequest row = ReadSetRow(setRowCells);
    WrittenSet& w = *written;
    w = WrittenSet {};
    w.set = row.set;
    w.startTime = row.startTime;
    w.records = row.recordCount;
    w.intervalSeconds = row.intervalSeconds;
    w.path = SetFilePath(folder, row.set);
    const ListedSet listed = ListSetRows(tables, setRowCells, clock);
    w.rowsListed = static_cast<int>(listed.rows.count());
    w.completed = listed.completed;
    QString reason;
    if (!WriteGridFile(w.path, listed.rows, false, {}, &reason)) {
        *error = QStringLiteral("%1: %2").arg(w.path, reason);
        return false;
    }
    if (!WriteSetDatesFile(w.path, tables, row.set, &reason))
        w.datesProblem = QStringLiteral("%1: %2").arg(DatesFilePath(w.path), reason);
    return true;
}
