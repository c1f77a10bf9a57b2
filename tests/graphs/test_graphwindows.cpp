#include "graphs/graphcanvas.h"
#include "graphs/graphsstate.h"
#include "graphs/graphwindows.h"
#include "graphs/listplot1.h"
#include "graphs/plotrange.h"
#include "graphs/realtime24.h"
#include "graphs/realtimerange.h"
#include "meter/currentreading.h"
#include "support/fakeclock.h"
#include "support/fakes.h"

#include <QAction>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace
{

void FlushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void Type(QLineEdit* box, const QString& keys)
{
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, keys);
}

// Draws a graph as it would be drawn for a save, onto an image like its canvas's.
QImage Redrawn(const GraphWindow& graph)
{
    const QImage& shown = graph.canvas()->image();
    QImage image(shown.size(), shown.format());
    image.setDevicePixelRatio(shown.devicePixelRatio());
    image.fill(Qt::black);
    QPainter painter(&image);
    graph.paintGraph(painter);
    return image;
}

QString PdfText(const QString& path)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), { path, QStringLiteral("-") });
    return pdftotext.waitForFinished(30000) ? QString::fromUtf8(pdftotext.readAllStandardOutput())
                                            : QString();
}

} // namespace

class TestGraphWindows : public QObject
{
    Q_OBJECT

    struct Rig {
        CurrentReading reading;
        GraphsState state;
        FakeClock clock;
        FakePrompts prompts;
        QTemporaryDir dir;
        FakePrinterProvider printers { dir.filePath(QStringLiteral("g.pdf")) };
        QWidget anchor;
        QStandardItemModel list { 500, 10 };
        GraphWindows windows { state, reading, clock, prompts, printers, &anchor };

        Rig()
        {
            anchor.setGeometry(0, 0, 300, 200);
            for (int r = 0; r < list.rowCount(); ++r)
                list.setItem(r, 1, new QStandardItem(QStringLiteral("10:00:00")));
        }
        RealTimeRange* openRealTimeRange()
        {
            windows.realTimeGraph()->toolbarButton("Limit")->trigger();
            return windows.realTimeRange();
        }
        PlotRange* openPlotRange()
        {
            windows.fileGraph()->toolbarButton("Limit")->trigger();
            return windows.plotRange();
        }
        // The real-time graph with a steady reading after ticks ticks, or the file graph of the
        // list's 500 records, drawn.
        GraphWindow* drawn(bool realTime, int ticks = 0)
        {
            if (realTime) {
                reading.TempC = TaggedValue::number(21.5);
                reading.HumidityPct = TaggedValue::number(45);
                reading.Co2Ppm = TaggedValue::number(800);
                reading.DewC = TaggedValue::number(9.2);
                reading.WetC = TaggedValue::number(14.6);
                windows.openRealTimeGraph();
                for (int i = 0; i < ticks; ++i)
                    clock.advance(GraphWindows::kAcquisitionIntervalMs);
                return windows.realTimeGraph();
            }
            for (int r = 0; r < list.rowCount(); ++r) {
                list.setItem(r, 1,
                    new QStandardItem(
                        QTime(10, 0).addSecs(r).toString(QStringLiteral("HH:mm:ss"))));
                list.setItem(r, 2, new QStandardItem(QString::number(600 + r)));
                list.setItem(r, 3, new QStandardItem(QStringLiteral("22.5")));
                list.setItem(r, 4, new QStandardItem(QStringLiteral("10.1")));
                list.setItem(r, 5, new QStandardItem(QStringLiteral("15.3")));
                list.setItem(r, 6, new QStandardItem(QString::number(40 + r % 20)));
            }
            windows.openFileGraph(&list, true);
            clock.advance(ListPlot1::kDrawDelayMs);
            return windows.fileGraph();
        }
    };

private Q_SLOTS:
    void graphOpensBesideTheMainWindowWithDefaults()
    {
        Rig rig;
        rig.state.RealTimeRange.TempMaxC = 30;
        rig.state.RealTimeRange.SampleStep = 3;
        rig.windows.openRealTimeGraph();
        RealTime24* graph = rig.windows.realTimeGraph();
        QVERIFY(graph && graph->isVisible());
        QCOMPARE(graph->frameGeometry().topLeft(),
            QPoint(rig.anchor.frameGeometry().x() + rig.anchor.frameGeometry().width(), 0));
        QCOMPARE(rig.state.RealTimeRange.TempMaxC, 60.f);
        QCOMPARE(rig.state.RealTimeRange.SampleStep, 1.f);
        QVERIFY(graph->timer1()->isActive());
        QCOMPARE(graph->timer1()->interval(), 150);
        rig.clock.advance(150);
        QCOMPARE(graph->sweep().SweepX, 0.f);
    }

    void graphAgainReplacesTheWindow()
    {
        Rig rig;
        rig.windows.openRealTimeGraph();
        QPointer<RealTime24> first = rig.windows.realTimeGraph();
        rig.windows.openRealTimeGraph();
        FlushDeletes();
        QVERIFY(!first);
        QVERIFY(rig.windows.realTimeGraph()->isVisible());
    }

    void meterSilenceClosesTheGraph()
    {
        Rig rig;
        rig.windows.openRealTimeGraph();
        QPointer<RealTime24> graph = rig.windows.realTimeGraph();
        rig.windows.closeRealTimeGraph();
        QVERIFY(!rig.windows.realTimeGraph());
        FlushDeletes();
        QVERIFY(!graph);
        rig.clock.advance(1000); // no timer of a closed graph fires
    }

    void plotOpensOnTheListRows()
    {
        Rig rig;
        rig.state.PlotRange.CO2Max = 10;
        rig.windows.openFileGraph(&rig.list, false);
        QCOMPARE(rig.state.PlotFromFileList, false);
        QCOMPARE(rig.state.PlotRange.RecordTotal, 500.f);
        QCOMPARE(rig.state.PlotRange.FromRecord, 1.f);
        QCOMPARE(rig.state.PlotRange.ToRecord, 500.f);
        QCOMPARE(rig.state.PlotRange.PointCount, 500.f);
        QCOMPARE(rig.state.PlotRange.CO2Max, 6000.f);
        ListPlot1* plot = rig.windows.fileGraph();
        QVERIFY(plot->isVisible());
        QCOMPARE(
            plot->frameGeometry().topLeft(), QPoint(rig.anchor.frameGeometry().right() + 1, 0));
        QPointer<ListPlot1> first = plot;
        rig.windows.openFileGraph(&rig.list, true);
        FlushDeletes();
        QVERIFY(!first);
        QCOMPARE(rig.state.PlotFromFileList, true);
    }

    void realTimeDialogShowsTheSettings()
    {
        Rig rig;
        rig.windows.openRealTimeGraph();
        RealTimeRange* dialog = rig.openRealTimeRange();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Real Time Range"));
        auto* c = dialog->findChild<QRadioButton*>(QStringLiteral("COpt"));
        auto* f = dialog->findChild<QRadioButton*>(QStringLiteral("FOpt"));
        QVERIFY(!c->isChecked() && !f->isChecked());
        QCOMPARE(dialog->box("TxtMax")->text(), QStringLiteral("140"));
        QCOMPARE(dialog->box("TxtMin")->text(), QStringLiteral("-4"));
        QCOMPARE(dialog->box("TxtMaxR")->text(), QStringLiteral("100"));
        QCOMPARE(dialog->box("TxtMaxCO2")->text(), QStringLiteral("6000"));
        QCOMPARE(dialog->box("TxtCounts")->text(), QStringLiteral("210"));
        // The option shows the stored pair, not a conversion of what is typed.
        Type(dialog->box("TxtMax"), QStringLiteral("100"));
        QTest::mouseClick(c, Qt::LeftButton);
        QVERIFY(c->isChecked() && !f->isChecked());
        QCOMPARE(dialog->box("TxtMax")->text(), QStringLiteral("60"));
        QCOMPARE(dialog->box("TxtMin")->text(), QStringLiteral("-20"));
        QTest::mouseClick(f, Qt::LeftButton);
        QVERIFY(!c->isChecked());
        QCOMPARE(dialog->box("TxtMax")->text(), QStringLiteral("140"));
    }

    void keysAreFilteredPerBox_data()
    {
        QTest::addColumn<bool>("fileDialog");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("real-time temperature") << false << "TxtMax"
                                               << "-1a2.5"
                                               << "-12.5";
        QTest::newRow("real-time CO2 takes no letter") << false << "TxtMaxCO2"
                                                       << "12x5"
                                                       << "125";
        QTest::newRow("real-time counts") << false << "TxtCounts"
                                          << "2e00"
                                          << "200";
        QTest::newRow("file temperature") << true << "TxtMin"
                                          << "-5.5q"
                                          << "-5.5";
        QTest::newRow("file RH takes no sign") << true << "TxtMaxR"
                                               << "-9.5"
                                               << "9.5";
        QTest::newRow("file CO2 takes anything") << true << "TxtMaxCO2"
                                                 << "12x5"
                                                 << "12x5";
        QTest::newRow("file From digits only") << true << "TxtFrom"
                                               << "1-2.3"
                                               << "123";
    }
    void keysAreFilteredPerBox()
    {
        QFETCH(bool, fileDialog);
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        Rig rig;
        RangeDialog* dialog = nullptr;
        if (fileDialog) {
            rig.windows.openFileGraph(&rig.list, true);
            dialog = rig.openPlotRange();
        } else {
            rig.windows.openRealTimeGraph();
            dialog = rig.openRealTimeRange();
        }
        QLineEdit* edit = dialog->box(box.toLatin1().constData());
        Type(edit, typed);
        QCOMPARE(edit->text(), shown);
        // Backspace and the arrows still edit.
        QTest::keyClick(edit, Qt::Key_Left);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), shown.left(shown.size() - 2) + shown.right(1));
    }

    void refusedGroupShowsItsMessageAndKeepsTheDialog()
    {
        Rig rig;
        rig.windows.openRealTimeGraph();
        QPointer<RealTime24> graph = rig.windows.realTimeGraph();
        RealTimeRange* dialog = rig.openRealTimeRange();
        QTest::mouseClick(dialog->findChild<QRadioButton*>(QStringLiteral("COpt")), Qt::LeftButton);
        Type(dialog->box("TxtMax"), QStringLiteral("30"));
        Type(dialog->box("TxtMaxR"), QStringLiteral("100.5"));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("CmdOK")), Qt::LeftButton);
        QCOMPARE(rig.prompts.messages.size(), 1);
        QCOMPARE(rig.prompts.messages[0].icon, Prompts::Icon::Critical);
        QCOMPARE(rig.prompts.messages[0].text, QStringLiteral("0 <= RH% <= 100, try again!"));
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->box("TxtMaxR")->text(), QStringLiteral("100.5"));
        QCOMPARE(rig.state.RealTimeRange.TempMaxC, 30.f); // stored before the refusal
        QCOMPARE(rig.state.RealTimeRange.TempMaxF, 86.f);
        QCOMPARE(rig.windows.realTimeGraph(), graph.data()); // graph not reopened
    }

    void countsReopenTheGraphWithItsStep()
    {
        Rig rig;
        rig.windows.openRealTimeGraph();
        QPointer<RealTime24> first = rig.windows.realTimeGraph();
        QPointer<RealTimeRange> dialog = rig.openRealTimeRange();
        Type(dialog->box("TxtCounts"), QStringLiteral("200"));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("CmdOK")), Qt::LeftButton);
        QVERIFY(rig.prompts.messages.isEmpty());
        FlushDeletes();
        QVERIFY(!dialog);
        QVERIFY(!first);
        RealTime24* graph = rig.windows.realTimeGraph();
        QVERIFY(graph && graph->isVisible());
        QCOMPARE(rig.state.RealTimeRange.SampleStep, 210.f / 200);
        QCOMPARE(rig.state.RealTimeRange.TempMaxF, 140.f); // OK does not reset the ranges
        QVERIFY(graph->timer1()->isActive());
        QCOMPARE(graph->timer1()->interval(), 150);
        rig.clock.advance(300);
        QCOMPARE(graph->sweep().SweepX, 210.f / 200);
        // Opened again, the dialog shows the same count.
        QCOMPARE(rig.openRealTimeRange()->box("TxtCounts")->text(), QStringLiteral("200"));
    }

    void plotRangeReopensTheFileGraphOnTheRecords()
    {
        Rig rig;
        rig.windows.openFileGraph(&rig.list, true);
        PlotRange* dialog = rig.openPlotRange();
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Plot Range"));
        QVERIFY(dialog->findChild<QRadioButton*>(QStringLiteral("COpt"))->isChecked());
        QCOMPARE(dialog->box("TxtMax")->text(), QStringLiteral("60"));
        QCOMPARE(dialog->box("TxtFrom")->text(), QStringLiteral("1"));
        QCOMPARE(dialog->box("TxtTo")->text(), QStringLiteral("500"));
        Type(dialog->box("TxtTo"), QStringLiteral("501"));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("CmdOK")), Qt::LeftButton);
        QCOMPARE(
            rig.prompts.messages.value(0).text, QStringLiteral("1 <= From <= 500, try again!"));
        Type(dialog->box("TxtFrom"), QStringLiteral("5"));
        Type(dialog->box("TxtTo"), QStringLiteral("10"));
        Type(dialog->box("TxtMaxCO2"), QStringLiteral("12x5"));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("CmdOK")), Qt::LeftButton);
        QCOMPARE(rig.prompts.messages.size(), 1);
        QCOMPARE(rig.state.PlotRange.CO2Max, 12.f);
        QCOMPARE(rig.state.PlotRange.FromRecord, 5.f);
        QCOMPARE(rig.state.PlotRange.PointCount, 6.f);
        QCOMPARE(rig.state.PlotRange.RecordTotal, 500.f); // not reset by OK
        ListPlot1* plot = rig.windows.fileGraph();
        QVERIFY(plot->isVisible());
        QCOMPARE(rig.state.PlotRange.PointStep, 35.f);
        QSignalSpy titles(plot, &QWidget::windowTitleChanged);
        rig.clock.advance(2000);
        QCOMPARE(titles.value(0).value(0).toString(), QStringLiteral("5 Records Completed"));
        QCOMPARE(plot->windowTitle(), QStringLiteral("Plot Data/File "));
    }

    void plotRangeWithTheListGoneHidesTheGraph()
    {
        Rig rig;
        auto list = std::make_unique<QStandardItemModel>(20, 10);
        rig.windows.openFileGraph(list.get(), true);
        PlotRange* dialog = rig.openPlotRange();
        list.reset();
        Type(dialog->box("TxtTo"), QStringLiteral("10"));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("CmdOK")), Qt::LeftButton);
        QVERIFY(!rig.windows.fileGraph()->isVisible());
        QVERIFY(!dialog->isVisible());
    }

    void emptyListPlotsWithoutFailing()
    {
        Rig rig;
        QStandardItemModel empty(0, 10);
        rig.windows.openFileGraph(&empty, true);
        QCOMPARE(rig.state.PlotRange.PointCount, 0.f);
        rig.clock.advance(2000);
        QVERIFY(rig.windows.fileGraph()->isVisible());
        QCOMPARE(rig.windows.fileGraph()->windowTitle(), QStringLiteral("Plot Data/File "));
    }

    // What a save draws anew is what the window shows, pixel for pixel: the frame, the grid,
    // the traces and every time label, also those of earlier sweeps still under the axis; and
    // the real-time graph keeps no more than a sweep of points to do it.
    void redrawnGraphIsTheImage_data()
    {
        QTest::addColumn<bool>("realTime");
        QTest::addColumn<int>("ticks");
        QTest::newRow("real-time, before the first tick") << true << 0;
        QTest::newRow("real-time, first sweep") << true << 150;
        QTest::newRow("real-time, fifth sweep") << true << 4 * 210 + 130;
        QTest::newRow("file graph") << false << 0;
    }
    void redrawnGraphIsTheImage()
    {
        QFETCH(bool, realTime);
        QFETCH(int, ticks);
        Rig rig;
        GraphWindow* graph = rig.drawn(realTime, ticks);
        QVERIFY(graph);
        QVERIFY(Redrawn(*graph) == graph->canvas()->image());
        if (auto* live = qobject_cast<RealTime24*>(graph)) {
            const int perSweep = static_cast<int>(live->geometry().PlotWidth);
            QVERIFY(live->trail().pointCount() <= static_cast<size_t>(perSweep));
            QVERIFY(live->trail().labelCount() <= static_cast<size_t>(perSweep / 60 + 1));
            QVERIFY(live->trail().lineTopCount() <= static_cast<size_t>(perSweep / 60 + 1));
        }
    }

    // "Save" with a type chosen and a name without an extension writes that type; SVG and PDF
    // hold the graph's lines and texts, not a picture of them.
    void savedGraphHoldsLinesAndTexts_data()
    {
        QTest::addColumn<bool>("realTime");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("timeLabel");
        // 14:30:00 is the fake clock's start; the first tick comes 150 ms later.
        QTest::newRow("real-time as SVG") << true << "SVG drawing (*.svg)"
                                          << "graph.svg"
                                          << "14:30:00";
        QTest::newRow("real-time as PDF") << true << "PDF document (*.pdf)"
                                          << "graph.pdf"
                                          << "14:30:00";
        QTest::newRow("file graph as SVG") << false << "SVG drawing (*.svg)"
                                           << "graph.svg"
                                           << "10:08:19";
        QTest::newRow("file graph as PDF") << false << "PDF document (*.pdf)"
                                           << "graph.pdf"
                                           << "10:08:19";
        QTest::newRow("file graph as PNG") << false << "PNG image (*.png)"
                                           << "graph.png"
                                           << "";
    }
    void savedGraphHoldsLinesAndTexts()
    {
        QFETCH(bool, realTime);
        QFETCH(QString, filter);
        QFETCH(QString, written);
        QFETCH(QString, timeLabel);
        Rig rig;
        GraphWindow* graph = rig.drawn(realTime, 100);
        rig.prompts.saveAnswers.enqueue(rig.dir.filePath(QStringLiteral("graph")));
        rig.prompts.chosenSaveFilter = filter;
        graph->toolbarButton(QStringLiteral("Save"))->trigger();
        QVERIFY2(rig.prompts.messages.isEmpty(), qPrintable(rig.prompts.messages.value(0).text));
        const QString path = rig.dir.filePath(written);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(!QFile::exists(rig.dir.filePath(QStringLiteral("graph"))));
        if (written.endsWith(".png")) {
            QVERIFY(bytes.startsWith("\x89PNG"));
            return;
        }
        QString text;
        if (written.endsWith(".svg")) {
            QVERIFY(!bytes.contains("<image"));
            QVERIFY(bytes.contains("<polyline") || bytes.contains("<path"));
            // Each text as an element of its own.
            const QRegularExpression element(QStringLiteral("<text[^>]*>([^<]*)</text>"));
            for (auto match = element.globalMatch(QString::fromUtf8(bytes)); match.hasNext();)
                text += match.next().captured(1).trimmed() + QLatin1Char('\n');
        } else {
            QVERIFY(bytes.startsWith("%PDF-"));
            if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
                QSKIP("pdftotext is not installed");
            text = PdfText(path);
        }
        for (const QString& label : { QStringLiteral("ppm"), QStringLiteral("RH%"),
                 QStringLiteral("Dew"), QStringLiteral("6000"), QStringLiteral("87.5"), timeLabel })
            QVERIFY2(text.contains(label), qPrintable(label + " not in:\n" + text));
    }

    // A save that cannot be written says where and why.
    void failedGraphSaveSaysWhy()
    {
        Rig rig;
        GraphWindow* graph = rig.drawn(true, 10);
        const QString path = rig.dir.filePath(QStringLiteral("missing/graph.svg"));
        rig.prompts.saveAnswers.enqueue(path);
        graph->toolbarButton(QStringLiteral("Save"))->trigger();
        QCOMPARE(rig.prompts.messages.size(), 1);
        const QString text = rig.prompts.messages.first().text;
        QVERIFY2(text.startsWith(path + " could not be written: ") && !text.endsWith(": "),
            qPrintable(text));
    }

    // Without a printer the user is told where the graph's page went, once per print.
    void graphPrintWithoutPrinterSaysWhere_data()
    {
        QTest::addColumn<bool>("realTime");
        QTest::addColumn<bool>("noPrinter");
        QTest::newRow("real-time, no printer") << true << true;
        QTest::newRow("file graph, no printer") << false << true;
        QTest::newRow("file graph, printer") << false << false;
    }
    void graphPrintWithoutPrinterSaysWhere()
    {
        QFETCH(bool, realTime);
        QFETCH(bool, noPrinter);
        Rig rig;
        rig.printers.noPrinter = noPrinter;
        GraphWindow* graph = rig.drawn(realTime, 10);
        graph->toolbarButton(QStringLiteral("Print"))->trigger();
        graph->toolbarButton(QStringLiteral("Print"))->trigger();
        QCOMPARE(rig.printers.jobs, 2);
        QCOMPARE(rig.prompts.messages.size(), noPrinter ? 2 : 0);
        for (const auto& shown : std::as_const(rig.prompts.messages)) {
            QCOMPARE(shown.icon, Prompts::Icon::Information);
            QVERIFY(shown.text.contains(rig.dir.filePath(QStringLiteral("g.pdf"))));
        }
    }
};

QTEST_MAIN(TestGraphWindows)
#include "test_graphwindows.moc"
