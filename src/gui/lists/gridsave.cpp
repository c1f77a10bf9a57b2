#include "gridsave.h"

#include "desktop/prompts.h"
#include "platform/countingcaption.h"
#include "recording/datafileformat.h"
#include "recording/gridrows.h"
#include "recording/recordingstate.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QWidget>

namespace
{
constexpr qsizetype kWriteChunkBytes = 64 * 1024;
} // namespace

QString DataFileFilter()
{
    return QStringLiteral("Data Files (*.nblg);;All Files (*)");
}

void ShowSaveDialog(QWidget* parent, Prompts& prompts, RecordingState& state)
{
    QString chosenFilter;
    // "rec1" with the data-file filter is "rec1.nblg", which "Open" lists.
    QString path = prompts.saveFileName(parent, DataFileFilter(), &chosenFilter);
    path = WithFilterSuffix(path, chosenFilter);
    if (path.isEmpty()) {
        state.FileChosen = false;
        return;
    }
    state.DataFileName = path;
    state.FileChosen = !QFileInfo(path).fileName().isEmpty();
}

namespace
{

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

} // namespace

bool WriteGridFile(const QString& path, const GridRows& rows, bool withCaptionRow,
    const std::function<void(qint64 row)>& progress)
{
    const QFileInfo target(path);
    if (target.exists() && !target.isFile()) {
        // Not a plain file (a device, a pipe): write into it as it is, never replace it.
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        return WriteGridLines(file, rows, withCaptionRow, progress) && file.flush();
    }
    // A plain file is replaced only once the whole of it is written.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!WriteGridLines(file, rows, withCaptionRow, progress)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool SaveGridToFile(QWidget& window, const GridRows& rows, RecordingState& state, Clock& clock)
{
    const QString caption = window.windowTitle();
    CountingCaption progress(clock, SaveRecordsCompletedSuffix(),
        [&window](const QString& text) { window.setWindowTitle(text); });
    const bool saved = WriteGridFile(
        state.DataFileName, rows, false, [&progress](qint64 row) { progress.count(row); });
    progress.finish(caption);
    state.FileChosen = false;
    return saved;
}
