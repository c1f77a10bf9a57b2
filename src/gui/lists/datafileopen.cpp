#include "datafileopen.h"

#include "desktop/prompts.h"
#include "filelist.h"
#include "gridmodel.h"
#include "listwindows.h"
#include "recording/datafilereader.h"

#include <QFileInfo>

void OpenDataFileIntoList(const QString& path, ListWindows& lists, Prompts& prompts, Clock& clock,
    QWidget* messageParent, qint64 maxRows)
{
    DataFileLoad load;
    if (DataFileReader::NotRegularFile(path)) {
        load.status = DataFileLoad::Status::NotRegular;
    } else {
        // The list that the new one replaces lends it the memory of its rows: the two are never
        // held at once, and the memory is ready for use.
        GridRows storage;
        if (FileList* replaced = lists.fileList())
            storage = replaced->model().takeRows();
        FileList* list = lists.openFileList();
        list->setWindowTitle(QFileInfo(path).fileName());
        list->setReportSource(path, QFileInfo(path).fileName());
        load = ReadDataFile(path, list->model(), *list, clock, maxRows, std::move(storage));
    }
    const QString message = DataFileLoadMessage(load, path);
    if (!message.isEmpty())
        prompts.message(messageParent, Prompts::Icon::Critical, message);
}
