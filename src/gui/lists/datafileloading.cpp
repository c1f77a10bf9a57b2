#include "datafileloading.h"

#include "gridmodel.h"
#include "platform/countingcaption.h"
#include "recording/datafileformat.h"
#include "recording/datafilereader.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

#include <algorithm>

namespace
{
// The clock is read for the caption once in so many lines (and after every long line): reading
// it costs about as much as listing a short line.
constexpr qint64 kLinesPerCaptionCheck = 256;
// Room kept ahead for the rows' text, at most; what is not used is given back.
constexpr qint64 kMaxReservedBytes = 64 * 1024 * 1024;
} // namespace

DataFileLoad ReadDataFile(const QString& path, GridModel& grid, QWidget& window, Clock& clock,
    qint64 maxRows, GridRows storage)
{
    DataFileLoad load;
    const QString title = QFileInfo(path).fileName();
    DataFileReader reader;
    if (!reader.open(path)) {
        load.status = reader.notRegular() ? DataFileLoad::Status::NotRegular
                                          : DataFileLoad::Status::NotOpened;
        return load;
    }

    CountingCaption progress(clock, RecordsCompletedSuffix(),
        [&window](const QString& text) { window.setWindowTitle(text); });
    const auto showProgress = [&](qint64 n) {
        if (n % kLinesPerCaptionCheck == 0 || reader.lineCut())
            progress.count(n);
    };
    GridRows rows = std::move(storage);
    rows.clear();
    // A record line is some 60 bytes; room not used is not touched, and given back below.
    const qint64 reserved = std::min(reader.size(), kMaxReservedBytes);
    rows.reserve(reserved / 40 + 1, reserved);
    qint64 n = 0;
    DataFileReader::Result result;
    while ((result = reader.next()) == DataFileReader::Result::Line) {
        // The ten fields a list shows.
        if (const std::optional<QByteArrayView> line
            = RecordLineText(reader.lineView().first(reader.tenFieldsLength()),
                reader.lineHasUpperN(), BlankLine::Kept)) {
            if (rows.count() == maxRows)
                break;
            if (reader.lineIsAscii() || IsValidUtf8(*line))
                rows.appendFields(*line);
            else
                rows.appendTabbed(QByteArrayView(QString::fromLatin1(*line).toUtf8()));
        }
        showProgress(n);
        ++n;
    }
    load.rowsListed = rows.count();
    load.rowsInFile = rows.count();
    rows.squeeze();
    grid.appendRows(std::move(rows));

    // Past the bound: count the rest, so that the user learns how much was left out.
    if (result == DataFileReader::Result::Line) {
        const qint64 countLimit = maxRows * kCountedRowsFactor;
        ++load.rowsInFile; // the line that did not fit
        showProgress(n);
        ++n;
        while ((result = reader.next()) == DataFileReader::Result::Line) {
            if (RecordLineText(reader.lineView(), reader.lineHasUpperN(), BlankLine::Kept)) {
                if (load.rowsInFile == countLimit)
                    break; // more than that
                ++load.rowsInFile;
            }
            showProgress(n);
            ++n;
        }
        load.countedToTheEnd = result != DataFileReader::Result::Line;
    }
    progress.finish(title);
    load.status = result == DataFileReader::Result::Error ? DataFileLoad::Status::ReadError
                                                          : DataFileLoad::Status::Loaded;
    return load;
}

bool LoadDataFile(
    const QString& path, GridModel& grid, QWidget& window, Clock& clock, qint64 maxRows)
{
    return ReadDataFile(path, grid, window, clock, maxRows).status == DataFileLoad::Status::Loaded;
}

QString DataFileLoadMessage(const DataFileLoad& load, const QString& path)
{
    if (load.status == DataFileLoad::Status::NotRegular)
        return QStringLiteral("Cannot open %1: it is not a regular file.")
            .arg(QDir::toNativeSeparators(path));
    if (load.rowsInFile <= load.rowsListed)
        return {};
    const QString title = QFileInfo(path).fileName();
    const QString holds = load.countedToTheEnd
        ? QString::number(load.rowsInFile)
        : QStringLiteral("more than ") + QString::number(load.rowsInFile);
    return QStringLiteral("%1 holds %2 rows; only the first %3 are listed.")
        .arg(title, holds, QString::number(load.rowsListed));
}
