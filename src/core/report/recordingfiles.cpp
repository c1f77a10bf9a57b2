#include "recordingfiles.h"

#include "recording/datafileformat.h"
#include "recording/datafilereader.h"
#include "reportrecord.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <map>
#include <numeric>

namespace
{
// The first record of a data file lies within its first lines (a header, a caption row, blank
// lines); a file with none there is no part of a recording.
constexpr int kStartLines = 16;
// The last record lies within the last bytes of a file (a record line is under 100 bytes).
constexpr qint64 kTailBytes = 8192;

// The part number of a file name made by the split rule from another name: "run-3.nblg" is
// part 3 of "run.nblg", "run-3" part 3 of "run". 0 when the name is no such part.
qint64 PartNumber(const QString& name, QString* firstName)
{
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    const qsizetype end = dot < 0 ? name.size() : dot;
    if (end < 2)
        return 0;
    const qsizetype dash = name.lastIndexOf(QLatin1Char('-'), end - 1);
    if (dash < 0 || end - dash < 2 || end - dash > 19)
        return 0;
    qint64 number = 0;
    for (qsizetype i = dash + 1; i < end; ++i) {
        const QChar c = name[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
        number = number * 10 + (c.unicode() - '0');
    }
    // The recorder writes the number without leading zeros, from 1.
    if (number == 0 || name[dash + 1] == QLatin1Char('0'))
        return 0;
    *firstName = name.left(dash) + name.mid(end);
    return number;
}

bool IsRecordLine(QByteArrayView line, qint64* number, int* secondsOfDay = nullptr)
{
    ReportRecord record;
    if (!ReadRecordFields(line, false, &record))
        return false;
    *number = record.number;
    if (secondsOfDay)
        *secondsOfDay = record.secondsOfDay;
    return true;
}
} // namespace

QStringList RecordingParts(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    const QDir folder = info.dir();
    QString first = info.fileName();
    // A file with parts of its own is their first part; otherwise a name of the split rule
    // belongs to the recording it was split from.
    if (!QFileInfo::exists(SplitPartName(path, 1))) {
        QString from;
        if (PartNumber(first, &from) > 0)
            first = from;
    }
    std::map<qint64, QString> parts;
    if (QFileInfo(folder.filePath(first)).isFile())
        parts[0] = folder.filePath(first);
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        QString from;
        const qint64 number = PartNumber(name, &from);
        if (number > 0 && from == first && SplitPartName(first, number) == name)
            parts[number] = folder.filePath(name);
    }
    QStringList result;
    for (const auto& part : parts)
        result.append(part.second);
    return result;
}

bool IsCaptionLine(QByteArrayView line)
{
    static const QByteArray captions = HeaderLine().toUtf8();
    if (line.endsWith('\t'))
        line.chop(1);
    return LineToUtf8(line) == captions;
}

DataFileStart ReadDataFileStart(const QString& path)
{
    DataFileStart start;
    DataFileReader file;
    if (!file.open(path))
        return start;
    while (file.next() == DataFileReader::Result::Line && file.lineNumber() <= kStartLines) {
        if (file.lineNumber() == 1 && IsCaptionLine(file.lineView()))
            start.header = true;
        const std::optional<QByteArrayView> line
            = RecordLineText(file.lineView(), file.lineHasUpperN(), BlankLine::Skipped);
        if (!line)
            continue;
        qint64 number = 0;
        int secondsOfDay = -1;
        if (!file.lineCut() && IsRecordLine(*line, &number, &secondsOfDay)) {
            start.firstRecord = number;
            start.firstSecondsOfDay = secondsOfDay;
        }
        break;
    }
    return start;
}

qint64 ReadLastRecordNumber(const QString& path)
{
    if (DataFileReader::NotRegularFile(path))
        return -1;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const qint64 from = std::max<qint64>(0, file.size() - kTailBytes);
    if (!file.seek(from))
        return -1;
    const QByteArray tail = file.read(kTailBytes);
    // Line by line from the end; the first piece is whole only when the tail is the whole file.
    qsizetype end = tail.size();
    while (end > 0) {
        qsizetype start = end - 1;
        while (start >= 0 && tail[start] != '\n' && tail[start] != '\r')
            --start;
        if (start < 0 && from > 0)
            break;
        const QByteArrayView whole = QByteArrayView(tail).sliced(start + 1, end - start - 1);
        const std::optional<QByteArrayView> line
            = RecordLineText(whole, whole.contains('N'), BlankLine::Skipped);
        qint64 number = 0;
        if (line && IsRecordLine(*line, &number))
            return number;
        end = start;
    }
    return -1;
}

QStringList RecordingOrder(const QStringList& paths, QString* note)
{
    if (note)
        note->clear();
    if (paths.size() < 2)
        return paths;
    struct Span {
        qint64 first;
        qint64 last;
    };
    std::vector<Span> spans;
    for (const QString& path : paths) {
        const DataFileStart start = ReadDataFileStart(path);
        if (!start.header || start.firstRecord < 0)
            return paths;
        const qint64 last = ReadLastRecordNumber(path);
        if (last < start.firstRecord)
            return paths;
        spans.push_back({ start.firstRecord, last });
    }
    std::vector<qsizetype> order(spans.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
        [&spans](qsizetype a, qsizetype b) { return spans[a].first < spans[b].first; });
    for (size_t i = 1; i < order.size(); ++i) {
        if (spans[order[i]].first != spans[order[i - 1]].last + 1)
            return paths;
    }
    QStringList ordered;
    QStringList names;
    for (const qsizetype i : order) {
        ordered.append(paths[i]);
        names.append(QFileInfo(paths[i]).fileName());
    }
    if (ordered != paths && note)
        *note = QStringLiteral("Files ordered by their first record number: %1")
                    .arg(names.join(QStringLiteral(", ")));
    return ordered;
}
