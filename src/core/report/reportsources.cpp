#include "reportsources.h"

#include "recording/datafileformat.h"
#include "recording/datafilereader.h"
#include "recording/gridrows.h"
#include "reportbuilder.h"
#include "reportdates.h"
#include "reportrecord.h"

#include <QFileInfo>

namespace
{

// Reads the records of an open data file with the reading rules of "Open": a line holding an
// upper-case "N" anywhere (the header, a caption row) is skipped; leading blanks do not count,
// and blank lines are skipped too. Any other line must be a record, else error names the line
// and what is wrong with it. A short last line without a line end after records, that is no
// record (a recording cut off while a line was written), is left out with a warning.
bool ReadRecords(DataFileReader& file, bool fahrenheit, ReportBuilder& builder, const QString& name,
    QString* error, const std::function<void()>& progress)
{
    ReportRecord record;
    qint64 records = 0;
    for (;;) {
        const DataFileReader::Result result = file.next();
        if (result == DataFileReader::Result::End)
            return true;
        if (result == DataFileReader::Result::Error) {
            *error = file.errorString();
            return false;
        }
        // A line cut for its length is no blank line, whatever its first bytes are.
        const bool cut = file.lineCut();
        const std::optional<QByteArrayView> line = RecordLineText(
            file.lineView(), file.lineHasUpperN(), cut ? BlankLine::Kept : BlankLine::Skipped);
        if (!line)
            continue;
        const QByteArrayView text = *line;
        QString reason;
        if (cut) {
            reason = QStringLiteral("the line is too long for a record");
        } else if (ReadRecordFields(text, fahrenheit, &record, &reason)) {
            builder.add(record);
            if ((++records & 0xFFFF) == 0 && progress)
                progress();
            continue;
        }
        if (!file.lineEnded() && records > 0 && !cut) {
            builder.warn(QStringLiteral("%1: line %2, the last, is unfinished and left out (%3)")
                             .arg(name)
                             .arg(file.lineNumber())
                             .arg(reason));
            return true;
        }
        *error = QStringLiteral("line %1: %2").arg(file.lineNumber()).arg(reason);
        return false;
    }
}

} // namespace

bool ReadDataFiles(const QStringList& paths, bool fahrenheit, ReportBuilder& builder,
    QString* error, const std::function<void(qint64, qint64)>& progress)
{
    qint64 total = 0;
    for (const QString& path : paths)
        total += QFileInfo(path).size();
    qint64 before = 0;
    DataFileReader file;
    const std::function<void()> partly = [&] { progress(before + file.position(), total); };
    for (const QString& path : paths) {
        if (!file.open(path)) {
            const QString reason
                = QFileInfo::exists(path) ? file.errorString() : QStringLiteral("no such file");
            *error = QStringLiteral("%1: %2").arg(path, reason);
            return false;
        }
        const QString name = QFileInfo(path).fileName();
        // A dates file that does not fit is told, and the records are dated as without one.
        QString warning;
        const std::optional<RecordingDates> dates = FittingDates(path, &warning);
        if (!warning.isEmpty())
            builder.warn(warning);
        builder.beginSource(name, dates ? &*dates : nullptr);
        QString reason;
        if (!ReadRecords(file, fahrenheit, builder, name, &reason,
                progress ? partly : std::function<void()>())) {
            *error = QStringLiteral("%1: %2").arg(path, reason);
            return false;
        }
        before += file.size();
        if (progress)
            progress(before, total);
    }
    return true;
}

std::optional<RecordingDates> RowsDates(
    const GridRows& rows, const QString& sourcePath, QString* warning)
{
    ReportRecord first;
    ReportRecord last;
    if (sourcePath.isEmpty() || rows.count() == 0
        || !ReadRecordFields(rows.rowBytes(0), false, &first)
        || !ReadRecordFields(rows.rowBytes(rows.count() - 1), false, &last))
        return std::nullopt;
    return FittingDates(sourcePath, first.number, first.secondsOfDay, last.number, warning);
}

std::vector<std::pair<qint64, QDate>> RowDays(const GridRows& rows, const QString& sourcePath)
{
    QString warning;
    const std::optional<RecordingDates> dates = RowsDates(rows, sourcePath, &warning);
    std::vector<std::pair<qint64, QDate>> days;
    if (!dates)
        return days;
    RecordDater dater;
    dater.beginSource(&*dates);
    ReportRecord record;
    qint64 day = -1;
    for (qsizetype r = 0; r < rows.count(); ++r) {
        if (!ReadRecordFields(rows.rowBytes(r), false, &record))
            continue;
        const RecordStamp stamp = dater.date(record.number, record.secondsOfDay);
        if (stamp.at / 86400 != day && dater.firstDate().isValid()) {
            day = stamp.at / 86400;
            days.emplace_back(r, dater.firstDate().addDays(day));
        }
    }
    return days;
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
