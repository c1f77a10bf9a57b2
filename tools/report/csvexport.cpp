#include "csvexport.h"

#include "recording/datafileformat.h"
#include "recording/datafilereader.h"
#include "report/reportdates.h"
#include "report/reportrecord.h"
#include "report/reporttexts.h"

#include <QFileInfo>
#include <QIODevice>

namespace
{
// Rows are gathered and written a piece at a time.
constexpr qsizetype kWriteBytes = 1 << 20;

QByteArrayView Trimmed(QByteArrayView cell)
{
    while (!cell.isEmpty() && (cell.front() == ' ' || cell.front() == '\r'))
        cell = cell.sliced(1);
    while (!cell.isEmpty() && (cell.back() == ' ' || cell.back() == '\r'))
        cell.chop(1);
    return cell;
}

// The eight value cells of a record line (fields 3 to 10), each with its comma in front; a
// marker, or every cell of a silent meter's record, is empty.
void AppendValues(QByteArray& row, QByteArrayView line, bool silent)
{
    qsizetype start = 0;
    for (int field = 0; field < kGridColumns; ++field) {
        const qsizetype tab = line.indexOf('\t', start);
        const qsizetype end = tab < 0 ? line.size() : tab;
        if (field >= 2) {
            row += ',';
            const QByteArrayView cell = Trimmed(line.sliced(start, end - start));
            qint32 value = 0;
            if (!silent && ReadValueCell(cell, field != 2, &value) && IsReading(value))
                row += cell;
        }
        if (tab < 0)
            break;
        start = tab + 1;
    }
}
} // namespace

QByteArray CsvHeader()
{
    QStringList captions = ColumnCaptions().mid(2);
    captions.prepend(QStringLiteral("Local date-time"));
    captions.prepend(QStringLiteral("Date-time"));
    return captions.join(QLatin1Char(',')).toUtf8();
}

bool WriteRecordsCsv(
    const QStringList& files, const QDate& firstDate, QIODevice& out, QString* error)
{
    QByteArray text = CsvHeader() + "\r\n";
    const auto flush = [&] {
        if (out.write(text) != text.size()) {
            *error = out.errorString();
            return false;
        }
        text.clear();
        return true;
    };
    RecordDater dater;
    DataFileReader file;
    ReportRecord record;
    for (const QString& path : files) {
        if (!file.open(path)) {
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
            return false;
        }
        // The report has told of a dates file that does not fit.
        QString warning;
        const std::optional<RecordingDates> dates = FittingDates(path, &warning);
        dater.beginSource(dates ? &*dates : nullptr);
        for (;;) {
            const DataFileReader::Result result = file.next();
            if (result == DataFileReader::Result::End)
                break;
            if (result == DataFileReader::Result::Error) {
                *error = QStringLiteral("%1: %2").arg(path, file.errorString());
                return false;
            }
            const std::optional<QByteArrayView> recordLine
                = RecordLineText(file.lineView(), file.lineHasUpperN(), BlankLine::Skipped);
            if (!recordLine || file.lineCut() || !ReadRecordFields(*recordLine, false, &record))
                continue;
            const QByteArrayView line = *recordLine;
            const RecordStamp stamp = dater.date(record.number, record.secondsOfDay);
            text += ReportDateTimeText(firstDate, stamp.at, stamp.offset).toLatin1();
            text += ',';
            text += StampText(firstDate, stamp.at).toLatin1();
            AppendValues(text, line, stamp.silent);
            text += "\r\n";
            if (text.size() >= kWriteBytes && !flush())
                return false;
        }
    }
    return flush();
}
