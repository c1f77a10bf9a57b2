#include "datafileloading.h"

#include "busycursor.h"
#include "captionprogress.h"
#include "datafileformat.h"
#include "datafilereader.h"
#include "gridmodel.h"

#include <QFileInfo>
#include <QWidget>

namespace
{
constexpr qsizetype kBatchRows = 4096;
}

bool LoadDataFile(
    const QString& path, GridModel& grid, QWidget& window, Clock& clock, qint64 maxRows)
{
    const QString title = QFileInfo(path).fileName();
    DataFileReader reader;
    if (!reader.open(path))
        return false;

    const BusyCursor busy;
    CaptionProgress progress(
        clock, [&window](const QString& text) { window.setWindowTitle(text); });
    const QString suffix = QStringLiteral(" Records Completed");
    GridRows batch;
    qint64 n = 0;
    qint64 rows = 0;
    DataFileReader::Result result;
    while ((result = reader.next()) == DataFileReader::Result::Line) {
        if (!reader.lineHasUpperN()) {
            if (rows == maxRows)
                break;
            ++rows;
            QByteArrayView line(reader.line());
            // Leading blanks are not part of the first field.
            while (!line.isEmpty() && line.front() == ' ')
                line = line.sliced(1);
            batch.appendTabbed(QByteArrayView(LineToUtf8(line)));
            if (batch.count() >= kBatchRows) {
                grid.appendRows(batch);
                batch.clear();
            }
        }
        progress.update(n, suffix);
        ++n;
    }
    grid.appendRows(batch);
    progress.finish(title);
    return result != DataFileReader::Result::Error;
}
