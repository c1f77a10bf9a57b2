#pragma once

#include "listcontext.h"
#include "listwindow.h"
#include "recording/recorder.h"

#include <QObject>
#include <QPointer>

class DataList;
class FileList;
class List;
class ListWindow;
class QWidget;

// Opens, closes and places the three list windows, and fills the live list for the recorder.
// A window is created when it opens and destroyed when it closes.
class ListWindows final : public QObject, public LiveListSink
{
    Q_OBJECT
public:
    // The main window places the windows: the live and the file list below it, the data list
    // beside it.
    ListWindows(ListContext context, QWidget* mainWindow = nullptr, QObject* parent = nullptr);
    ~ListWindows() override;

    ListContext& context() { return m_context; }

    // "List": opens the live list with its row count at 0; nothing happens when it is open.
    List* openLiveList();
    // Closes the live list if it is open (the meter went silent).
    void closeLiveList();
    List* liveList() const;
    // Writes the dates of the live list's rows beside the file its "Save" wrote (false with
    // the reason); none: its rows go without dates.
    void setLiveListDates(ListWindow::DatesWriter writer) { m_liveListDates = std::move(writer); }

    // A fresh file list in place of the one shown.
    FileList* openFileList();
    FileList* fileList() const;

    // A fresh, empty data list in place of the one shown, beside the main window.
    DataList* openDataList();
    DataList* dataList() const;

    void appendSample(const QString& rowText) override;
    bool dumpLiveList(const QString& fileName) override;

Q_SIGNALS:
    // "Plot" in the file list or the data list.
    void plotRequested(ListWindow* source);
    // "Report" in any of the three lists.
    void reportRequested(ListWindow* source);

private:
    void createLiveList();
    void watch(ListWindow* window);

    ListContext m_context;
    QPointer<QWidget> m_main;
    QPointer<List> m_list;
    QPointer<FileList> m_fileList;
    QPointer<DataList> m_dataList;
    ListWindow::DatesWriter m_liveListDates;
};
