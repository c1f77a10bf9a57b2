#include "gridsave.h"

#include "desktop/prompts.h"
#include "platform/countingcaption.h"
#include "recording/datafileformat.h"
#include "recording/gridfile.h"
#include "recording/gridrows.h"
#include "recording/recordingstate.h"

#include <QFileInfo>
#include <QWidget>

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
