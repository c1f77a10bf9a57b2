// The "Report" button of the lists, its dialog, and "Save" of the graphs.
#include "app/reportdialog.h"
#include "graphs/graphsave.h"
#include "graphs/graphsstate.h"
#include "graphs/graphwindows.h"
#include "graphs/realtime24.h"
#include "meter/currentreading.h"
#include "recording/filelist.h"
#include "recording/gridmodel.h"
#include "recording/listwindows.h"
#include "recording/recordingstate.h"
#include "report/listreport.h"
#include "reportlines.h"
#include "support/fakeclock.h"
#include "support/fakes.h"

#include <QAction>
#include <QImage>
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
        ReportSettings defaults;
        defaults.title = QStringLiteral("Logger set 3");
        defaults.firstDate = QDate(2026, 12, 8);
        const QString pdf = m_dir.filePath(QStringLiteral("set 3 report.pdf"));
        QFile::remove(pdf);
        QStringList opened;
        m_prompts.messages.clear();
        auto* dialog = new ReportDialog(
            model, defaults, pdf, m_prompts,
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
