// The "Report" button of the lists, its dialog, and "Save" of the graphs.
#include "app/reportdialog.h"
#include "graphs/graphsave.h"
#include "graphs/graphsstate.h"
#include "graphs/graphwindows.h"
#include "graphs/realtime24.h"
#include "lists/datafileopen.h"
#include "lists/filelist.h"
#include "lists/gridmodel.h"
#include "lists/listwindows.h"
#include "meter/currentreading.h"
#include "recording/recordingstate.h"
#include "report/listreport.h"
#include "reportlines.h"
#include "support/fakeclock.h"
#include "support/fakes.h"

#include <QAction>
#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

namespace
{
QByteArray Head(const QString& path, int bytes)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(bytes) : QByteArray();
}

// Writes a file (none when content is empty), last written at the moment given.
void WriteAt(const QString& path, const QByteArray& content, const QDateTime& at = {})
{
    QFile file(path);
    QVERIFY(!content.isEmpty() || !file.exists() || file.remove());
    if (!content.isEmpty()) {
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size()
            && file.flush());
        QVERIFY(!at.isValid() || file.setFileTime(at, QFileDevice::FileModificationTime));
    }
}

ListReportOffer RowsOffer(const QString& pdf)
{
    ListReportOffer offer;
    offer.sourceName = offer.defaults.title = QStringLiteral("Logger set 3");
    offer.defaults.firstDate = QDate(2026, 12, 8);
    offer.pdfName = pdf;
    return offer;
}
} // namespace

class TestReportDialog : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    FakeClock m_clock;
    RecordingState m_state;
    FakePrompts m_prompts;
    FakePrinterProvider m_printers { QString() };

    void fill(GridModel& model, int records)
    {
        for (int i = 1; i <= records; ++i) {
            const QString time = QStringLiteral("16:%1:00").arg(i, 2, 10, QLatin1Char('0'));
            model.appendRowText(QString::fromLatin1(
                RecordLine(i, time.toLatin1().constData(), i % 2 ? "1200" : "700")));
        }
    }

private Q_SLOTS:
    // "Report" sits beside the designed buttons and asks for the report of that list.
    void reportButton()
    {
        ListWindows lists(ListContext { m_state, m_prompts, m_printers, m_clock, {}, {} });
        QSignalSpy asked(&lists, &ListWindows::reportRequested);
        FileList* list = lists.openFileList();
        QAction* report = list->toolbarButton(QStringLiteral("Report"));
        QVERIFY(report);
        QCOMPARE(report->toolTip(), QStringLiteral("Indoor-air report"));
        report->trigger();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked.first().first().value<ListWindow*>(), list);
    }

    // A file's rows: the first record's date walked back from the file's last-write time.
    void defaultsOfAFile()
    {
        GridModel model;
        fill(model, 30); // 16:01 to 16:30
        const QString path = m_dir.filePath(QStringLiteral("run.nblg"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("x");
        file.flush();
        QVERIFY(file.setFileTime(
            QDateTime(QDate(2026, 3, 2), QTime(16, 30, 5)), QFileDevice::FileModificationTime));
        file.close();
        const ReportSettings file0
            = ListReportDefaults(model.rows(), path, "run.nblg", true, QDate(2026, 12, 8));
        QCOMPARE(file0.firstDate, QDate(2026, 3, 2));
        QCOMPARE(file0.comfortTemp[0], 680);
        const ReportSettings live = ListReportDefaults(
            model.rows(), QString(), "Logger set 2", false, QDate(2026, 12, 8));
        QCOMPARE(live.firstDate, QDate(2026, 12, 8));
        QCOMPARE(ReportPdfName(path, "run.nblg"), m_dir.filePath("run report.pdf"));
    }

    void okWritesAndOpens_data()
    {
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("firstLimit");
        QTest::addColumn<QString>("message");
        QTest::newRow("written") << 30 << 800 << QString();
        QTest::newRow("limits that fall")
            << 30 << 1200
            << QStringLiteral(
                   "The CO2 limits must be above 0 and rise from the first to the last.");
        QTest::newRow("empty list")
            << 0 << 800 << QStringLiteral("The list holds no records: there is nothing to report.");
    }
    void okWritesAndOpens()
    {
        QFETCH(int, records);
        QFETCH(int, firstLimit);
        QFETCH(QString, message);
        GridModel model;
        fill(model, records);
        const QString pdf = m_dir.filePath(QStringLiteral("set 3 report.pdf"));
        QFile::remove(pdf);
        QStringList opened;
        m_prompts.messages.clear();
        auto* dialog = new ReportDialog(
            model, RowsOffer(pdf), m_prompts,
            [&opened](const QString& path) {
                opened << path;
                return false;
            },
            nullptr);
        dialog->findChild<QSpinBox*>(QStringLiteral("TxtLimit1"))->setValue(firstLimit);
        dialog->show();
        dialog->accept();
        if (message.isEmpty()) {
            QVERIFY(m_prompts.messages.isEmpty());
            QCOMPARE(opened, QStringList { pdf });
            QCOMPARE(Head(pdf, 5), QByteArray("%PDF-"));
            QVERIFY(!dialog->isVisible());
        } else {
            QCOMPARE(m_prompts.messages.size(), 1);
            QCOMPARE(m_prompts.messages.first().text, message);
            QVERIFY(opened.isEmpty());
            QVERIFY(!QFile::exists(pdf));
            QVERIFY(dialog->isVisible());
        }
        delete dialog;
    }

    // A PDF is written over only when the user says so, and never a data file.
    void replacing_data()
    {
        QTest::addColumn<QString>("name"); // typed, or given by the file dialog
        QTest::addColumn<bool>("browsed");
        QTest::addColumn<QByteArray>("before"); // in "set report.pdf"; empty: no such file
        QTest::addColumn<bool>("answer"); // to "replace it?", when asked
        QTest::addColumn<bool>("asked");
        QTest::addColumn<QString>("message");
        const QByteArray old = "%PDF-1.4 the report of a week";
        const QString pdf = QStringLiteral("set report.pdf");
        QTest::newRow("a new name") << pdf << false << QByteArray() << false << false << QString();
        QTest::newRow("replaced") << pdf << false << old << true << true << QString();
        QTest::newRow("kept") << pdf << false << old << false << true << QString();
        QTest::newRow("asked by the file dialog") << pdf << true << old << false << false << "";
        QTest::newRow("the file dialog's name and .pdf")
            << "set report" << true << old << false << true << QString();
        QTest::newRow("a recording named .pdf") << pdf << false << RecorderPart(1, 3, 0) << true
                                                << false << "set report.pdf holds a data file";
    }
    void replacing()
    {
        QFETCH(QString, name);
        QFETCH(bool, browsed);
        QFETCH(QByteArray, before);
        QFETCH(bool, answer);
        QFETCH(bool, asked);
        QFETCH(QString, message);
        const QString pdf = m_dir.filePath(QStringLiteral("set report.pdf"));
        WriteAt(pdf, before);
        GridModel model;
        fill(model, 30);
        m_prompts.messages.clear();
        m_prompts.questions.clear();
        m_prompts.askAnswers.enqueue(answer);
        ReportDialog dialog(model, RowsOffer(QString()), m_prompts, {}, nullptr);
        m_prompts.saveAnswers.enqueue(m_dir.filePath(name));
        if (browsed)
            dialog.findChild<QPushButton*>(QStringLiteral("CmdBrowse"))->click();
        else
            dialog.findChild<QLineEdit*>(QStringLiteral("TxtPdf"))
                ->setText(m_prompts.saveAnswers.dequeue());
        const bool written = message.isEmpty() && (!asked || answer);
        QCOMPARE(dialog.writeReport(), written);
        QCOMPARE(m_prompts.questions.size(), asked ? 1 : 0);
        QCOMPARE(m_prompts.messages.size() == 1 && m_prompts.messages[0].text.contains(message),
            !message.isEmpty());
        QCOMPARE(Head(pdf, 9), written ? QByteArray("%PDF-1.4\n") : before.left(9));
        m_prompts.askAnswers.clear();
    }

    // A file list of a recording in parts offers the report of all of them; the report's
    // "Source" names the files read, whatever the title.
    void allParts_data()
    {
        QTest::addColumn<QString>("opened");
        QTest::addColumn<bool>("all"); // the check box as left
        QTest::addColumn<QString>("title");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("page"); // in the PDF, typed title "Room 4"
        const QString all = QStringLiteral("Source run.nblg, run-1.nblg, run-2.nblg Records 90 "
                                           "Dates walked back from the file's time "
                                           "First record 2026-03-03 23:00:00");
        const QString alone
            = "Source %1 Records 30 Dates walked back from the file's time First record "
              "2026-03-04 00:00:00";
        QTest::newRow("the first part") << "run" << true << "run.nblg" << QDate(2026, 3, 3) << all;
        QTest::newRow("a later part") << "run-2" << true << "run.nblg" << QDate(2026, 3, 3) << all;
        QTest::newRow("a later part alone")
            << "run-2" << false << "run-2.nblg" << QDate(2026, 3, 4) << alone.arg("run-2.nblg");
        QTest::newRow("a file without parts")
            << "other" << false << "other.nblg" << QDate(2026, 3, 4) << alone.arg("other.nblg");
    }
    void allParts()
    {
        QFETCH(QString, opened);
        QFETCH(bool, all);
        QFETCH(QString, title);
        QFETCH(QDate, date);
        QFETCH(QString, page);
        // Thirty records a minute apart in each part, over midnight, each written at its last.
        QTemporaryDir dir;
        const QDateTime day(QDate(2026, 3, 3), QTime(23, 29, 30));
        WriteAt(dir.filePath("run.nblg"), RecorderPart(1, 30, 23 * 60), day);
        WriteAt(dir.filePath("run-1.nblg"), RecorderPart(31, 30, 23 * 60 + 30), day.addSecs(1800));
        WriteAt(dir.filePath("run-2.nblg"), RecorderPart(61, 30, 0), day.addSecs(3600));
        WriteAt(dir.filePath("other.nblg"), RecorderPart(61, 30, 0), day.addSecs(3600));
        ListWindows lists(ListContext { m_state, m_prompts, m_printers, m_clock, {}, {} });
        OpenDataFileIntoList(dir.filePath(opened + ".nblg"), lists, m_prompts, m_clock, nullptr);
        FileList* list = lists.fileList();
        ReportDialog dialog(list->model(),
            OfferListReport(list->model().rows(), list->reportSourcePath(), list->reportTitle(),
                false, QDate(2026, 12, 8)),
            m_prompts, {}, nullptr);
        auto* check = dialog.findChild<QCheckBox*>(QStringLiteral("ChkAllParts"));
        QCOMPARE(check != nullptr, opened != QLatin1String("other"));
        if (check) {
            QVERIFY(check->isChecked());
            QCOMPARE(dialog.findChild<QListWidget*>(QStringLiteral("LstParts"))->count(), 3);
            check->setChecked(all);
        }
        QCOMPARE(dialog.settings().title, title);
        QCOMPARE(dialog.settings().firstDate, date);
        const QString pdf = QFileInfo(title).completeBaseName() + QStringLiteral(" report.pdf");
        QCOMPARE(dialog.pdfName(), dir.filePath(pdf));
        dialog.findChild<QLineEdit*>(QStringLiteral("TxtTitle"))->setText("Room 4");
        QVERIFY(dialog.writeReport());
        QProcess text;
        text.start(
            QStringLiteral("pdftotext"), { QStringLiteral("-layout"), dir.filePath(pdf), "-" });
        if (text.waitForFinished(30000)) // where poppler-utils are installed
            QVERIFY(QString::fromUtf8(text.readAllStandardOutput())
                        .replace(QChar(0xFB01), QLatin1String("fi")) // the PDF's ligature
                        .simplified()
                        .startsWith("Room 4 Indoor-air report " + page));
        list->close();
    }

    // "Save" of a graph window asks for a name and saves what is drawn.
    void graphSaveButton()
    {
        GraphsState graphs;
        CurrentReading reading;
        GraphWindows windows(graphs, reading, m_clock, m_prompts, m_printers, nullptr);
        windows.openRealTimeGraph();
        const QString path = m_dir.filePath(QStringLiteral("live.svg"));
        m_prompts.saveAnswers.enqueue(path);
        windows.realTimeGraph()->toolbarButton(QStringLiteral("Save"))->trigger();
        QCOMPARE(m_prompts.lastFilter, GraphFileFilter());
        QCOMPARE(Head(path, 5), QByteArray("<?xml"));
        windows.realTimeGraph()->close();
    }

    void graphSave_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("start"); // of the file written; empty: refused
        QTest::newRow("PNG") << "graph.png" << QByteArray("\x89PNG");
        QTest::newRow("no extension is PNG") << "graph" << QByteArray("\x89PNG");
        QTest::newRow("SVG") << "graph.svg" << QByteArray("<?xml");
        QTest::newRow("PDF") << "graph.PDF" << QByteArray("%PDF-");
        QTest::newRow("other") << "graph.bmp" << QByteArray();
        QTest::newRow("unwritable") << "/nonexistent/graph.png" << QByteArray();
    }
    void graphSave()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, start);
        QImage image(QSize(784, 766), QImage::Format_RGB32);
        image.setDevicePixelRatio(2);
        image.fill(Qt::white);
        const QString path = name.startsWith('/') ? name : m_dir.filePath(name);
        QString error;
        QCOMPARE(SaveGraph(image, {}, path, &error), !start.isEmpty());
        if (start.isEmpty()) {
            QVERIFY(!error.isEmpty());
            return;
        }
        const QString written = QFileInfo(path).suffix().isEmpty() ? path + ".png" : path;
        QCOMPARE(Head(written, start.size()), start);
        if (start == "\x89PNG")
            QCOMPARE(QImage(written).size(), QSize(784, 766)); // at the screen's pixel ratio
    }
};

QTEST_MAIN(TestReportDialog)
#include "test_reportdialog.moc"
