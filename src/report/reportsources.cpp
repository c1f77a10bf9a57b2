#include "reportsources.h"

#include "recordfile.h"
#include "recording/gridrows.h"
#include "reportbuilder.h"

#include <QFileInfo>

bool ReadDataFiles(const QStringList& paths, bool fahrenheit, ReportBuilder& builder,
    QString* error, const std::function<void(qint64, qint64)>& progress)
{
    qint64 total = 0;
    for (const QString& path : paths)
        total += QFileInfo(path).size();
    qint64 before = 0;
    RecordFile file(fahrenheit);
    ReportRecord record;
    for (const QString& path : paths) {
        const QString name = QFileInfo(path).fileName();
        if (!file.open(path)) {
            *error = QStringLiteral("%1: %2").arg(path, file.error());
            return false;
        }
        builder.beginSource(name);
        RecordFile::Result result;
        qint64 count = 0;
        while ((result = file.next(&record)) == RecordFile::Result::Record) {
            builder.add(record);
            if (progress && (++count & 0xFFFF) == 0)
                progress(before + file.position(), total);
        }
        if (result == RecordFile::Result::Error) {
            *error = QStringLiteral("%1: %2").arg(path, file.error());
            return false;
        }
        if (!file.warning().isEmpty())
            builder.warn(QStringLiteral("%1: %2").arg(name, file.warning()));
        before += file.size();
        if (progress)
            progress(before, total);
    }
    return true;
}

bool ReadGridRows(const GridRows& rows, bool fahrenheit, ReportBuilder& builder, QString* error)
{
    ReportRecord record;
    for (qsizetype r = 0; r < rows.count(); ++r) {
        QString reason;
        if (!ReadRecordFields(rows.rowBytes(r), fahrenheit, &record, &reason)) {
            *error = QStringLiteral("Row %1: %2").arg(r + 1).arg(reason);
            return false;
        }
        builder.add(record);
    }
    return true;
}

QDate FirstDateFromLastWrite(const QDateTime& lastWrite, qint64 lastSeconds)
{
    const qint64 timeOfDay = lastSeconds % 86400;
    const QDate written = lastWrite.date();
    const qint64 writtenAt = lastWrite.time().msecsSinceStartOfDay() / 1000;
    QDate best = written;
    qint64 bestDistance = -1;
    for (int shift = -1; shift <= 1; ++shift) {
        const qint64 distance = std::abs(shift * 86400 + timeOfDay - writtenAt);
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = written.addDays(shift);
        }
    }
    return best.addDays(-(lastSeconds / 86400));
}
