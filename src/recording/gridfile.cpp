#include "gridfile.h"

#include "datafileformat.h"
#include "gridrows.h"

#include <QFileInfo>
#include <QSaveFile>

namespace
{
constexpr qsizetype kWriteChunkBytes = 64 * 1024;

bool WriteGridLines(QIODevice& file, const GridRows& rows, bool withCaptionRow,
    const std::function<void(qint64 row)>& progress)
{
    QByteArray chunk;
    chunk.reserve(kWriteChunkBytes + 1024);
    auto flush = [&] {
        const bool ok = file.write(chunk) == chunk.size();
        chunk.clear();
        return ok;
    };
    if (withCaptionRow) {
        if (progress)
            progress(0);
        AppendGridRowLine(chunk, ColumnCaptions().join(QLatin1Char('\t')).toUtf8());
    }
    for (qsizetype r = 0; r < rows.count(); ++r) {
        if (progress)
            progress(r + 1);
        AppendGridRowLine(chunk, rows.rowBytes(r));
        if (chunk.size() >= kWriteChunkBytes && !flush())
            return false;
    }
    return flush();
}

bool Failed(const QFileDevice& file, QString* error)
{
    if (error)
        *error = file.errorString();
    return false;
}
} // namespace

bool WriteGridFile(const QString& path, const GridRows& rows, bool withCaptionRow,
    const std::function<void(qint64 row)>& progress, QString* error)
{
    const QFileInfo target(path);
    if (target.exists() && !target.isFile()) {
        // Not a plain file (a device, a pipe): write into it as it is, never replace it.
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || !WriteGridLines(file, rows, withCaptionRow, progress) || !file.flush())
            return Failed(file, error);
        return true;
    }
    // A plain file is replaced only once the whole of it is written.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return Failed(file, error);
    if (!WriteGridLines(file, rows, withCaptionRow, progress)) {
        const QString reason = file.errorString();
        file.cancelWriting();
        if (error)
            *error = reason;
        return false;
    }
    if (!file.commit())
        return Failed(file, error);
    return true;
}
