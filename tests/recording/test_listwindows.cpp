#include "lists/datafileloading.h"
#include "lists/datalist.h"
#include "lists/filelist.h"
#include "lists/gridmodel.h"
#include "lists/gridprint.h"
#include "lists/gridsave.h"
#include "lists/list.h"
#include "lists/listwindows.h"
#include "recording/datafileformat.h"
#include "recording/datafilehandle.h"
#include "recording/recorder.h"
#include "recording/recordingstate.h"
#include "support/fakeclock.h"
#include "support/fakes.h"
#include "support/recorderfakes.h"

#include <QAction>
#include <QFile>
#include <QHeaderView>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

namespace
{

const QStringList kRecord1
    = { "1", "14:30:02", "415", "23.4", "12.1", "16.2", "48.9", "74.1", "53.7", "61.1" };
const QStringList kRecord2
    = { "2", "14:30:04", "420", "-3.0", "-9.1", "-5.2", "48.5", "26.6", "15.6", "22.6" };

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Records whether the main window's timers were stopped when the printout was started.
class WatchingPrinterProvider final : public PrinterProvider
{
public:
    WatchingPrinterProvider(QString pdf, QList<Timer*> timers)
        : m_inner(std::move(pdf))
        , m_timers(std::move(timers))
    {
    }
    std::unique_ptr<QPrinter> createPrinter(const QString& windowTitle) override
    {
        for (Timer* timer : m_timers)
            timersRanDuringPrint = timersRanDuringPrint || timer->isActive();
        ++jobs;
        if (!available)
            return nullptr;
        return m_inner.createPrinter(windowTitle);
    }
    QString fallbackPdf(const QPrinter& printer) const override
    {
        return m_inner.fallbackPdf(printer);
    }
    FakePrinterProvider& inner() { return m_inner; }
    bool available = true;
    bool timersRanDuringPrint = false;
    int jobs = 0;

private:
    FakePrinterProvider m_inner;
    QList<Timer*> m_timers;
};

} // namespace

class TestListWindows : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    FakeClock m_clock;
    RecordingState m_state;
    FakePrompts m_prompts;
    std::unique_ptr<WatchingPrinterProvider> m_printers;
    std::unique_ptr<ListWindows> m_lists;
    Timer* m_timer1 = nullptr;
    Timer* m_timer2 = nullptr;
    QObject m_timerOwner;

    QString pdfPath() const { return m_dir.filePath("print.pdf"); }

    ListWindow* open(const QString& name)
    {
        if (name == "List")
            return m_lists->openLiveList();
        if (name == "FileList")
            return m_lists->openFileList();
        return m_lists->openDataList();
    }

    static void fill(ListWindow* window, const QList<QStringList>& rows)
    {
        for (const QStringList& row : rows)
            window->model().appendRow(row);
    }

    // Lets the printing job run its slices to the end; true when it printed.
    bool finishPrint(ListWindow* window)
    {
        GridPrintJob* job = window->printJob();
        if (!job)
            return false;
        QSignalSpy done(job, &GridPrintJob::finished);
        for (int i = 0; i < 10000 && done.isEmpty(); ++i)
            m_clock.advance(1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return done.size() == 1 && done.first().first().toBool();
    }

    static QString runPdftotext(const QStringList& arguments)
    {
        QProcess pdftotext;
        pdftotext.start("pdftotext", arguments);
        if (!pdftotext.waitForFinished(30000))
            return {};
        return QString::fromUtf8(pdftotext.readAllStandardOutput());
    }

    // The text of the printout, one line a line, from its first printed line on, without the
    // page margin's blanks in front and the blanks at the end.
    QStringList printedLines()
    {
        QStringList lines = runPdftotext({ "-fixed", "4.816", pdfPath(), "-" }).split('\n');
        const int rule = lines.indexOf(QRegularExpression("^ *-+$"));
        if (rule < 1)
            return lines;
        const int margin = lines.at(rule).indexOf('-') - 20;
        QStringList shown;
        for (QString line : lines.mid(rule - 1)) {
            line = line.mid(margin);
            while (line.endsWith(' ') || line.endsWith('\f'))
                line.chop(1);
            shown << line;
        }
        while (!shown.isEmpty() && shown.last().isEmpty())
            shown.removeLast();
        return shown;
    }

    // How many line heights lie between the top of the page's printable area and the caption
    // row.
    double linesAboveCaptionRow()
    {
        const QString boxes = runPdftotext({ "-bbox", pdfPath(), "-" });
        QRegularExpression word("yMin=\"([0-9.]+)\"");
        auto it = word.globalMatch(boxes);
        if (!it.hasNext())
            return -1;
        const double first = it.next().captured(1).toDouble();
        double second = first;
        while (it.hasNext() && second == first)
            second = it.next().captured(1).toDouble();
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const double top = printer.pageLayout().paintRect(QPageLayout::Point).top();
        return (first - top) / (second - first);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_timer1 = m_clock.createTimer(&m_timerOwner);
        m_timer2 = m_clock.createTimer(&m_timerOwner);
        m_printers = std::make_unique<WatchingPrinterProvider>(
            pdfPath(), QList<Timer*> { m_timer1, m_timer2 });
    }

    void init()
    {
        m_state = RecordingState();
        m_prompts = FakePrompts();
        m_lists = std::make_unique<ListWindows>(
            ListContext { m_state, m_prompts, *m_printers, m_clock, { m_timer1, m_timer2 }, {} });
        m_timer1->start(150);
        m_timer2->start(960);
        m_printers->available = true;
        m_printers->timersRanDuringPrint = false;
        QFile::remove(pdfPath());
    }
    void cleanup() { m_lists.reset(); }

    void layout_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QStringList>("tooltips");
        QTest::newRow("live list") << "List"
                                   << "Real Time List" << QStringList { "Save", "Print" }
                                   << QStringList { "Save AS", "Print" };
        QTest::newRow("file list")
            << "FileList"
            << "File List" << QStringList { "Plot", "Print" } << QStringList { "Plot", "Print" };
        QTest::newRow("data list") << "DataList"
                                   << "Data List" << QStringList { "Save", "Plot", "Print" }
                                   << QStringList { "Save As", "Plot", "Print" };
    }
    void layout()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QStringList, keys);
        QFETCH(QStringList, tooltips);
        ListWindow* window = open(name);
        QCOMPARE(window->objectName(), name);
        QCOMPARE(window->windowTitle(), caption);
        QVERIFY(window->isVisible());
        auto* grid = window->findChild<QTableView*>("Grid");
        QVERIFY(grid);
        QCOMPARE(grid->model()->rowCount(), 0);
        QCOMPARE(grid->model()->columnCount(), 10);
        const QFontMetrics metrics(window->font());
        for (int c = 0; c < 10; ++c) {
            QCOMPARE(
                grid->model()->headerData(c, Qt::Horizontal).toString(), ColumnCaptions().at(c));
            QCOMPARE(grid->horizontalHeader()->sectionSize(c),
                metrics.horizontalAdvance(ListWindow::columnSample(c)));
        }
        auto* toolbar = window->findChild<QToolBar*>("Toolbar1");
        QVERIFY(toolbar);
        QStringList shownKeys, shownTips;
        for (QAction* action : toolbar->actions()) {
            shownKeys << action->objectName();
            shownTips << action->toolTip();
        }
        QCOMPARE(shownKeys, keys);
        QCOMPARE(shownTips, tooltips);
    }

    void saveRefusedWhileRecording_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("live list") << "List";
        QTest::newRow("data list") << "DataList";
    }
    void saveRefusedWhileRecording()
    {
        QFETCH(QString, name);
        ListWindow* window = open(name);
        fill(window, { kRecord1 });
        m_state.Recording = true;
        const QString target = m_dir.filePath(name + "-refused.nblg");
        m_prompts.saveAnswers.enqueue(target);
        window->toolbarButton("Save")->trigger();
        QCOMPARE(m_prompts.messages.size(), 1);
        QCOMPARE(m_prompts.messages.first().icon, Prompts::Icon::Critical);
        QCOMPARE(m_prompts.messages.first().text,
            QStringLiteral("Aready in recording mode, close it and try again !"));
        QCOMPARE(m_prompts.saveAnswers.size(), 1); // no dialog was shown
        QVERIFY(!QFile::exists(target));

        m_state.Recording = false;
        window->toolbarButton("Save")->trigger();
        QCOMPARE(m_prompts.messages.size(), 1);
        QCOMPARE(ReadAll(target), FileLineBytes(GridRowLine(kRecord1)));
    }

    // Saved rows load back the same; the caption counts and comes back; the chosen name is used
    // up.
    void saveWritesGridRowsAndLoadsBack()
    {
        ListWindow* window = open("DataList");
        fill(window, { kRecord1, kRecord2 });
        const QString target = m_dir.filePath("saved.nblg");
        m_prompts.saveAnswers.enqueue(target);
        QStringList captions;
        connect(window, &QWidget::windowTitleChanged, this,
            [&captions](const QString& title) { captions << title; });
        QVERIFY(window->save());
        QCOMPARE(m_prompts.lastFilter, QStringLiteral("Data Files (*.nblg);;All Files (*)"));
        QCOMPARE(m_state.DataFileName, target);
        QVERIFY(!m_state.FileChosen);
        QCOMPARE(captions, QStringList({ "1Records Completed", "Data List" }));
        QCOMPARE(ReadAll(target),
            FileLineBytes(GridRowLine(kRecord1)) + FileLineBytes(GridRowLine(kRecord2)));

        FileList* list = m_lists->openFileList();
        QVERIFY(LoadDataFile(target, list->model(), *list, m_clock));
        QCOMPARE(list->model().row(0), kRecord1);
        QCOMPARE(list->model().row(1), kRecord2);
    }

    void saveOfCaptionRowOnlyWritesEmptyFile()
    {
        ListWindow* window = open("List");
        const QString target = m_dir.filePath("empty.nblg");
        m_prompts.saveAnswers.enqueue(target);
        QVERIFY(window->save());
        QVERIFY(QFile::exists(target));
        QCOMPARE(ReadAll(target), QByteArray());
    }

    // A name without an extension gets the one of the filter chosen, in the list's "Save" and in
    // the recorder's dialog alike, so that "Open" lists the file; a name with one keeps it.
    void saveNameGetsTheChosenExtension_data()
    {
        QTest::addColumn<bool>("listSave");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("filter"); // chosen; empty: the dialog's first
        QTest::addColumn<QString>("written");
        const QString data = QStringLiteral("Data Files (*.nblg)");
        QTest::newRow("list, data files") << true << "rec1" << data << "rec1.nblg";
        QTest::newRow("list, first filter") << true << "rec1" << QString() << "rec1.nblg";
        QTest::newRow("list, all files") << true << "rec1"
                                         << "All Files (*)"
                                         << "rec1";
        QTest::newRow("list, own extension") << true << "rec1.txt" << data << "rec1.txt";
        QTest::newRow("recorder, data files") << false << "rec2" << data << "rec2.nblg";
        QTest::newRow("recorder, all files") << false << "rec2"
                                             << "All Files (*)"
                                             << "rec2";
    }
    void saveNameGetsTheChosenExtension()
    {
        QFETCH(bool, listSave);
        QFETCH(QString, name);
        QFETCH(QString, filter);
        QFETCH(QString, written);
        ListWindow* window = open("FileList");
        fill(window, { kRecord1 });
        m_prompts.saveAnswers.enqueue(m_dir.filePath(name));
        m_prompts.chosenSaveFilter = filter;
        if (listSave) {
            QVERIFY(window->save());
            QCOMPARE(ReadAll(m_dir.filePath(written)), FileLineBytes(GridRowLine(kRecord1)));
        } else {
            ShowSaveDialog(window, m_prompts, m_state);
            QVERIFY(m_state.FileChosen);
        }
        QCOMPARE(m_state.DataFileName, m_dir.filePath(written));
    }

    // A cancelled dialog after an earlier failed save goes nowhere, not to the earlier name.
    void cancelAfterFailedSaveWritesNothing()
    {
        ListWindow* window = open("List");
        fill(window, { kRecord1 });
        m_prompts.saveAnswers.enqueue(m_dir.path()); // a folder
        QVERIFY(!window->save());
        QVERIFY(!m_state.FileChosen);
        QCOMPARE(window->windowTitle(), QStringLiteral("Real Time List"));
        m_state.DataFileName = m_dir.filePath("earlier.nblg");
        m_state.FileChosen = true;
        QVERIFY(!window->save()); // cancelled: the queue is empty
        QVERIFY(!m_state.FileChosen);
        QVERIFY(!QFile::exists(m_dir.filePath("earlier.nblg")));
    }

    void plotEmitsPlotRequested_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("file list") << "FileList";
        QTest::newRow("data list") << "DataList";
    }
    void plotEmitsPlotRequested()
    {
        QFETCH(QString, name);
        ListWindow* window = open(name);
        QSignalSpy fromWindow(window, &ListWindow::plotRequested);
        QSignalSpy fromLists(m_lists.get(), &ListWindows::plotRequested);
        window->toolbarButton("Plot")->trigger();
        QCOMPARE(fromWindow.size(), 1);
        QCOMPARE(fromLists.size(), 1);
        QCOMPARE(fromLists.first().first().value<ListWindow*>(), window);
    }

    // The printout read back from the PDF: 6 empty lines, the caption row, the rule and the
    // rows, right-aligned in 27 and 10 characters; the timers stood still and run again.
    void printedPageReadsBack_data()
    {
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::newRow("two rows") << QList<QStringList> { kRecord1, kRecord2 };
        QTest::newRow("caption row only") << QList<QStringList> {};
        QTest::newRow("a cell longer than its column")
            << QList<QStringList> { { "1", "14:30:02", "123456789012", "x" } };
    }
    void printedPageReadsBack()
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext is not installed");
        QFETCH(QList<QStringList>, rows);
        ListWindow* window = open("List");
        fill(window, rows);
        QStringList captions;
        connect(window, &QWidget::windowTitleChanged, this,
            [&captions](const QString& title) { captions << title; });
        QVERIFY(window->print());
        QVERIFY(!m_printers->timersRanDuringPrint);
        QVERIFY(!m_timer1->isActive());
        QVERIFY(!m_timer2->isActive());
        QVERIFY(finishPrint(window));
        QVERIFY(m_timer1->isActive());
        QVERIFY(m_timer2->isActive());
        QCOMPARE(captions.first(), QStringLiteral("0 record(s) completed"));
        QCOMPARE(window->windowTitle(), QStringLiteral("Real Time List"));

        QStringList expected;
        expected << PrintLine(ColumnCaptions()) << PrintRuleLine();
        for (const QStringList& row : rows)
            expected << PrintLine(row);
        for (QString& line : expected) {
            while (line.endsWith(' '))
                line.chop(1);
        }
        QCOMPARE(printedLines(), expected);
        const double emptyLines = linesAboveCaptionRow();
        QVERIFY2(
            qAbs(emptyLines - kPrintTopEmptyLines) < 0.25, qPrintable(QString::number(emptyLines)));
    }

    void printLineLayout()
    {
        QCOMPARE(
            PrintLine({ "No.s", "Time" }), QString(23, ' ') + "No.s" + QString(6, ' ') + "Time");
        QCOMPARE(PrintLine(kRecord1).size(), 27 + 9 * 10);
        QCOMPARE(PrintRuleLine(), QString(20, ' ') + QString(73, '-'));
        QCOMPARE(PrintLine({ "1", "12345678901" }), QString(26, ' ') + "1" + "12345678901");
    }

    // Without a printer the pages go to a PDF, and the user is told where, once, when the job
    // is over and the timers run again; on a printer nothing is said.
    void printWithoutPrinterSaysWhere_data()
    {
        QTest::addColumn<bool>("noPrinter");
        QTest::newRow("printer") << false;
        QTest::newRow("no printer") << true;
    }
    void printWithoutPrinterSaysWhere()
    {
        QFETCH(bool, noPrinter);
        m_printers->inner().noPrinter = noPrinter;
        ListWindow* window = open("List");
        fill(window, { kRecord1 });
        bool timersRan = false;
        m_prompts.onMessage = [&] { timersRan = m_timer1->isActive() && m_timer2->isActive(); };
        QVERIFY(window->print());
        QVERIFY(m_prompts.messages.isEmpty()); // not while it prints
        QVERIFY(finishPrint(window));
        m_printers->inner().noPrinter = false;
        if (!noPrinter) {
            QVERIFY(m_prompts.messages.isEmpty());
            return;
        }
        QCOMPARE(m_prompts.messages.size(), 1);
        QCOMPARE(m_prompts.messages.first().icon, Prompts::Icon::Information);
        QVERIFY2(m_prompts.messages.first().text.contains(pdfPath()),
            qPrintable(m_prompts.messages.first().text));
        QVERIFY(timersRan);
    }

    // With nowhere to print, the timers run again and the caption comes back.
    void printErrorRestoresTimers()
    {
        ListWindow* window = open("FileList");
        fill(window, { kRecord1 });
        m_printers->available = false;
        QVERIFY(!window->print());
        QVERIFY(m_timer1->isActive());
        QVERIFY(m_timer2->isActive());
        QCOMPARE(window->windowTitle(), QStringLiteral("File List"));
    }

    // A timer that was off before printing stays off.
    void printLeavesStoppedTimersStopped()
    {
        ListWindow* window = open("FileList");
        m_timer1->stop();
        QVERIFY(window->print());
        QVERIFY(finishPrint(window));
        QVERIFY(!m_timer1->isActive());
        QVERIFY(m_timer2->isActive());
    }

    // A long list prints a slice at a time; a second "Print" meanwhile does nothing, and closing
    // the window cuts the printout short with the timers running again.
    void longPrintRunsBetweenEvents()
    {
        ListWindow* window = open("FileList");
        for (int i = 1; i <= 3 * GridPrintJob::kRowsPerSlice; ++i)
            window->model().appendRow({ QString::number(i), "14:30:00" });
        QVERIFY(window->print());
        QPointer<GridPrintJob> job = window->printJob();
        QVERIFY(!window->print());
        QCOMPARE(window->printJob(), job.data());
        m_clock.advance(1);
        QVERIFY(job && !job->isFinished());
        QVERIFY(window->windowTitle().endsWith(" record(s) completed"));
        QVERIFY(!m_timer2->isActive());
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!job);
        QVERIFY(m_timer1->isActive());
        QVERIFY(m_timer2->isActive());
        QVERIFY(QFileInfo(pdfPath()).size() > 0);
    }

    // Once the last row is row 16, every sample scrolls the list by one row, as far as the
    // rows reach; the newest row stays in sight.
    void liveListScrollsOneRowPerSample()
    {
        List* list = m_lists->openLiveList();
        QTableView* grid = list->grid();
        QScrollBar* bar = grid->verticalScrollBar();
        QList<int> tops;
        for (int i = 1; i <= 60; ++i) {
            list->addSampleRow(QString::number(i) + "\t14:30:00");
            tops << bar->value();
            const QRect newest = grid->visualRect(list->model().index(i - 1, 0));
            if (i > List::kScrollThreshold)
                QVERIFY2(grid->viewport()->rect().contains(newest), qPrintable(QString::number(i)));
        }
        QCOMPARE(list->grid()->currentIndex().row(), 58);
        QCOMPARE(list->model().rowCount(), 60);
        for (int i = 0; i < List::kScrollThreshold; ++i)
            QCOMPARE(tops.at(i), 0);
        for (int i = 1; i < tops.size(); ++i)
            QVERIFY(tops.at(i) - tops.at(i - 1) == 0 || tops.at(i) - tops.at(i - 1) == 1);
        // Once the rows fill the view, each sample scrolls.
        QCOMPARE(tops.last() - tops.at(tops.size() - 11), 10);
    }

    void listCommandKeepsItsCountWhenOpen()
    {
        List* list = m_lists->openLiveList();
        QVERIFY(m_state.ListOpen);
        m_state.ListRowCount = 7;
        QCOMPARE(m_lists->openLiveList(), list);
        QCOMPARE(m_state.ListRowCount, 7);
        list->close();
        QVERIFY(!m_state.ListOpen);
        m_lists->openLiveList();
        QCOMPARE(m_state.ListRowCount, 0);
        m_lists->closeLiveList();
        QVERIFY(!m_state.ListOpen);
    }

    // The recorder fills the live list; at 34,800 rows the list goes into a dump file in the
    // current folder and starts again empty, numbering on.
    void dumpOfTheLiveList()
    {
        const QString saved = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
        DataFileHandle handle;
        NoRecorderLabels labels;
        Recorder recorder(
            m_state, m_clock, handle, [] { return kRecord1.mid(2); }, labels, *m_lists);
        recorder.start();
        m_state.SamplingSeconds = 1;
        m_lists->openLiveList();
        m_state.ListRowCount = 34797;
        for (int i = 0; i < 3; ++i)
            recorder.tick();
        const QString dumpName = DumpFileName(m_clock.date(), m_clock.timeOfDay());
        QVERIFY(QFile::exists(dumpName));
        const QByteArray dumped = ReadAll(dumpName);
        QDir::setCurrent(saved);

        const QList<QByteArray> lines = dumped.split('\n');
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines.at(0) + '\n', FileLineBytes(GridRowLine(ColumnCaptions())));
        QVERIFY(lines.at(1).startsWith("34798\t"));
        QVERIFY(lines.at(3).startsWith("34800\t"));
        QVERIFY(lines.at(3).endsWith("\t\r"));

        List* list = m_lists->liveList();
        QVERIFY(list);
        QVERIFY(m_state.ListOpen);
        QCOMPARE(list->model().rowCount(), 0);
        QCOMPARE(list->windowTitle(), QStringLiteral("Real Time List"));
        recorder.tick();
        QCOMPARE(list->model().cell(0, 0), QStringLiteral("34801"));
    }

    // The data-logger listing appends rows of ten texts and sets the caption.
    void dataListForTheSetListing()
    {
        QWidget main;
        main.setGeometry(10, 20, 300, 200);
        ListWindows lists(ListContext { m_state, m_prompts, *m_printers, m_clock, {}, {} }, &main);
        DataList* first = lists.openDataList();
        QCOMPARE(first->pos(),
            QPoint(main.frameGeometry().left() + main.frameGeometry().width(),
                main.frameGeometry().top()));
        first->appendRow(kRecord1);
        first->appendRowText(kRecord2.join('\t'));
        first->setCaption("2 Records Completed");
        QCOMPARE(first->windowTitle(), QStringLiteral("2 Records Completed"));
        QCOMPARE(first->model().rowCount(), 2);
        QCOMPARE(first->model().row(1), kRecord2);
        first->setCaption(DataList::defaultCaption());
        QPointer<DataList> old = first;
        DataList* second = lists.openDataList();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!old);
        QCOMPARE(second->model().rowCount(), 0);
        QCOMPARE(lists.dataList(), second);
    }
};

QTEST_MAIN(TestListWindows)
#include "test_listwindows.moc"
