#include "canvasprobe.h"
#include "graphs/graphcanvas.h"
#include "graphs/graphsstate.h"
#include "graphs/listplot1.h"
#include "graphs/tracesweep.h"
#include "lists/gridmodel.h"
#include "segmentperrecord.h"
#include "support/fakeclock.h"
#include "support/fakes.h"

#include <QAction>
#include <QFontMetricsF>
#include <QPainter>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <memory>

namespace
{

const QColor kGrey(192, 192, 192);
const QColor kBlack(0, 0, 0);
const QColor kMagenta(255, 0, 255);

// A list of count records in the grid's ten columns: number, time, CO2, temperature, dew
// point, wet bulb, RH, then the Fahrenheit columns. Every value sits on its baseline.
std::unique_ptr<QStandardItemModel> MakeList(int count)
{
    auto model = std::make_unique<QStandardItemModel>(count, 10);
    for (int r = 0; r < count; ++r) {
        const QStringList cells = { QString::number(r + 1),
            QTime(8, 0).addSecs(60 * r).toString(QStringLiteral("HH:mm:ss")), "0", "-20.0", "-20.0",
            "-20.0", "0.0", "-4.0", "-4.0", "-4.0" };
        for (int c = 0; c < cells.size(); ++c)
            model->setItem(r, c, new QStandardItem(cells[c]));
    }
    return model;
}

// A varied list: waves of several periods that cross one another, noise, values beyond the
// scales, overloads ("OL.0", "-OL.0", CO2 "OL") and runs without a reading ("----.0", "----").
std::unique_ptr<QStandardItemModel> MakeVariedList(int count)
{
    auto model = std::make_unique<QStandardItemModel>(count, 10);
    quint32 seed = 12345;
    const auto noise = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<double>(seed >> 8) / (1 << 24) - 0.5;
    };
    const auto tenth = [](double v) { return QString::number(v, 'f', 1); };
    for (int r = 0; r < count; ++r) {
        const double t = r / 7.0;
        QString co2 = QString::number(qRound(2500 + 2400 * std::sin(t / 3) + 600 * noise()));
        QString temp = tenth(20 + 45 * std::sin(t) + 3 * noise());
        QString dew = tenth(10 + 30 * std::cos(t / 2) + 8 * noise());
        QString wet = tenth(15 + 25 * std::sin(t / 5 + 1));
        QString rh = tenth(50 + 55 * std::cos(t / 1.5) + 10 * noise());
        if (r % 97 >= 10 && r % 97 < 20)
            temp = QStringLiteral("OL.0");
        if (r % 89 >= 30 && r % 89 < 38)
            dew = QStringLiteral("-OL.0");
        if (r % 61 >= 5 && r % 61 < 9)
            wet = QStringLiteral("OL.0");
        if (r % 71 == 3)
            co2 = QStringLiteral("OL");
        if (r % 53 >= 40 && r % 53 < 45)
            temp = dew = wet = rh = QStringLiteral("----.0");
        if (r % 113 < 3)
            dew = QStringLiteral("----");
        const QStringList cells
            = { QString::number(r + 1), QTime(8, 0).addSecs(r).toString(QStringLiteral("HH:mm:ss")),
                  co2, temp, dew, wet, rh, QString(), QString(), QString() };
        for (int c = 0; c < cells.size(); ++c)
            model->setItem(r, c, new QStandardItem(cells[c]));
    }
    return model;
}

// Lists of other shapes: "steep" jumps by a sixth of the plot and more at each record (CO2 above
// its scale, the temperature below), "flat" holds each value for hundreds of records and then
// steps by a tenth, "gappy" loses its readings every few records; anything else is the varied
// list.
std::unique_ptr<QStandardItemModel> MakeShapedList(const QString& shape, int count)
{
    if (shape != "steep" && shape != "flat" && shape != "gappy")
        return MakeVariedList(count);
    auto model = std::make_unique<QStandardItemModel>(count, 10);
    const auto tenth = [](double v) { return QString::number(v, 'f', 1); };
    for (int r = 0; r < count; ++r) {
        QStringList values;
        if (shape == "steep") {
            // Each trace in a band of its own, so that none hides another.
            const bool up = r % 2 == 0;
            values = QStringList { up ? "7000" : "5000", tenth(up ? 0 : -25), tenth(up ? 15 : 3),
                tenth(up ? 30 : 18), tenth(up ? 80 : 65) };
        } else if (shape == "flat") {
            const int level = r / 300;
            values = QStringList { QString::number(1000 + level), tenth(20 + level / 10.0),
                tenth(12 - level / 10.0), tenth(15 + level % 2), tenth(70 + level / 10.0) };
        } else {
            const bool gap = r % 5 == 2 || r % 11 == 0;
            const double t = r / 3000.0;
            values = QStringList { QString::number(qRound(3000 + 2000 * std::sin(t))),
                gap ? "----.0" : tenth(20 + 30 * std::cos(t)),
                gap ? "----" : tenth(10 + 5 * std::sin(t * 2)),
                gap ? "----.0" : tenth(15 + 20 * std::sin(t / 2)),
                gap ? "----.0" : tenth(80 + 15 * std::sin(t * 3)) };
        }
        const QStringList cells = QStringList { QString::number(r + 1),
            QTime(8, 0).addSecs(r % 86400).toString(QStringLiteral("HH:mm:ss")) }
            + values + QStringList { QString(), QString(), QString() };
        for (int c = 0; c < cells.size(); ++c)
            model->setItem(r, c, new QStandardItem(cells[c]));
    }
    return model;
}

// The same texts in the list windows' own grid, which keeps its rows as UTF-8 bytes.
std::unique_ptr<GridModel> GridOf(const QAbstractItemModel& list)
{
    auto grid = std::make_unique<GridModel>();
    for (int r = 0; r < list.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < list.columnCount(); ++c)
            cells << list.index(r, c).data().toString();
        grid->appendRow(cells);
    }
    return grid;
}

// Pixels that differ in the rows above y (device pixels).
int DifferingPixels(const QImage& a, const QImage& b, int rows)
{
    int differing = 0;
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < a.width(); ++x)
            differing += a.pixel(x, y) != b.pixel(x, y);
    }
    return differing;
}

} // namespace

class TestListPlot1 : public QObject
{
    Q_OBJECT

    struct Rig {
        GraphsState state;
        FakeClock clock;
        QTemporaryDir dir;
        FakePrinterProvider printers { dir.filePath(QStringLiteral("plot.pdf")) };
        std::unique_ptr<QStandardItemModel> list;
        std::unique_ptr<ListPlot1> window;

        explicit Rig(int records)
            : list(MakeList(records))
        {
            ResetPlotRange(state.PlotRange, records);
        }
        void open(int canvasWidth = 392)
        {
            window = std::make_unique<ListPlot1>(list.get(), state, clock, printers);
            window->setAttribute(Qt::WA_DeleteOnClose, false);
            window->resize(window->width() + canvasWidth - 392, window->height());
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window.get()));
            QTRY_COMPARE(window->canvas()->width(), canvasWidth);
        }
        const QImage& image() const { return window->canvas()->image(); }
        const PlotGeometry& g() const { return window->geometry(); }
        // Columns with a time line (above the plot area) and with a mid-line mark.
        bool hasTimeLine(double x) const
        {
            return HasColourIn(image(), x, g().PlotBottom - g().PlotHeight - 10, x,
                g().PlotBottom - g().PlotHeight - 2, kGrey);
        }
        bool hasMidMark(double x) const
        {
            return HasColourIn(
                image(), x, MidMarkTop(g()), x, g().PlotBottom - g().PlotHeight / 2 - 2, kGrey);
        }
    };

private Q_SLOTS:
    void drawsTwoSecondsAfterLayout()
    {
        Rig rig(10);
        rig.open();
        QCOMPARE(rig.window->windowTitle(), QStringLiteral("Plot Data/File "));
        QVERIFY(rig.window->toolbarButton("Limit") && rig.window->toolbarButton("Print"));
        QVERIFY(rig.window->timer1()->isActive());
        QCOMPARE(rig.window->timer1()->interval(), 2000);
        QCOMPARE(rig.state.PlotRange.PointStep, 21.f);
        rig.clock.advance(1999);
        QVERIFY(!rig.hasTimeLine(rig.g().PlotLeft));
        rig.clock.advance(1);
        QVERIFY(rig.hasTimeLine(rig.g().PlotLeft));
        QVERIFY(!rig.window->timer1()->isActive());
        QCOMPARE(rig.window->windowTitle(), QStringLiteral("Plot Data/File "));
        rig.clock.advance(10000);
        QVERIFY(!rig.window->timer1()->isActive());
    }

    void labelsAndMarksOfTheTimeAxis_data()
    {
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("canvasWidth");
        QTest::addColumn<QList<int>>("labels"); // k of labelled records
        QTest::addColumn<QList<int>>("marks");
        QTest::addColumn<QList<int>>("plain");
        // Canvas 470 gives PlotWidth 300: PointStep 3 for 100 records.
        QTest::newRow("100 records")
            << 100 << 1 << 100 << 470 << QList<int> { 1, 25, 50, 75, 100 }
            << QList<int> { 12, 37, 62, 87 } << QList<int> { 2, 13, 40, 99 };
        QTest::newRow("3 records")
            << 3 << 1 << 3 << 392 << QList<int> { 1, 2, 3 } << QList<int> {} << QList<int> {};
        QTest::newRow("records 5 to 10") << 12 << 5 << 10 << 392 << QList<int> { 1, 3, 4, 6 }
                                         << QList<int> { 2, 5 } << QList<int> {};
    }
    void labelsAndMarksOfTheTimeAxis()
    {
        QFETCH(int, records);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(int, canvasWidth);
        QFETCH(QList<int>, labels);
        QFETCH(QList<int>, marks);
        QFETCH(QList<int>, plain);
        Rig rig(records);
        rig.state.PlotRange.FromRecord = from;
        rig.state.PlotRange.ToRecord = to;
        rig.state.PlotRange.PointCount = to - from + 1;
        rig.open(canvasWidth);
        rig.clock.advance(2000);
        const float step = rig.state.PlotRange.PointStep;
        QCOMPARE(step, rig.g().PlotWidth / (to - from + 1));
        const auto xOf = [&](int k) { return rig.g().PlotLeft + (k - 1) * step; };
        for (int k : labels) {
            QVERIFY2(rig.hasTimeLine(xOf(k)), qPrintable(QString::number(k)));
            QVERIFY2(HasInkIn(rig.image(), xOf(k) - 30, rig.g().PlotBottom + 10, xOf(k) + 10,
                         rig.g().PlotBottom + 22),
                qPrintable(QString::number(k)));
        }
        for (int k : marks) {
            QVERIFY2(!rig.hasTimeLine(xOf(k)), qPrintable(QString::number(k)));
            QVERIFY2(rig.hasMidMark(xOf(k)), qPrintable(QString::number(k)));
        }
        for (int k : plain) {
            QVERIFY2(!rig.hasTimeLine(xOf(k)), qPrintable(QString::number(k)));
            QVERIFY2(!rig.hasMidMark(xOf(k)), qPrintable(QString::number(k)));
        }
    }

    void firstLabelMovesTwentyPixelsLeft()
    {
        Rig rig(12);
        rig.state.PlotRange.FromRecord = 5;
        rig.state.PlotRange.ToRecord = 10;
        rig.state.PlotRange.PointCount = 6;
        rig.open();
        rig.clock.advance(2000);
        const PlotGeometry g = rig.g();
        const QImage& image = rig.image();
        const double w = QFontMetricsF(rig.window->font(), &rig.window->canvas()->image())
                             .horizontalAdvance(QStringLiteral("08:04:00"))
            / 2;
        // The label of row 5 starts at PlotLeft - w - 20; nothing is inked left of it.
        const double left = g.PlotLeft - w - 20;
        QVERIFY(HasInkIn(image, left, g.PlotBottom + 10, left + 4, g.PlotBottom + 22));
        QVERIFY(!HasInkIn(image, left - 6, g.PlotBottom + 10, left - 2, g.PlotBottom + 22));
    }

    void captionCountsRowsAndEndsOnTheCaption()
    {
        Rig rig(12);
        rig.state.PlotRange.FromRecord = 5;
        rig.state.PlotRange.ToRecord = 10;
        rig.state.PlotRange.PointCount = 6;
        rig.open();
        QSignalSpy titles(rig.window.get(), &QWidget::windowTitleChanged);
        rig.clock.advance(2000);
        QCOMPARE(titles.count(), 2); // the throttle lets the first through, then the end
        QCOMPARE(titles.at(0).at(0).toString(), QStringLiteral("5 Records Completed"));
        QCOMPARE(rig.window->windowTitle(), QStringLiteral("Plot Data/File "));

        // The drawing routine itself reports every grid row it reaches.
        QList<qint64> rows;
        QImage scratch(392, 383, QImage::Format_RGB32);
        QPainter painter(&scratch);
        TraceSweep sweep;
        sweep.restart(rig.state.PlotRange.PointStep);
        QVERIFY(DrawFileGraph(painter, rig.g(), sweep, rig.state.PlotRange, 7, rig.list.get(),
            [&](qint64 row) { rows << row; }));
        QCOMPARE(rows, (QList<qint64> { 5, 6, 7, 8, 9, 10 }));
    }

    void missingRecordStopsAndHidesTheWindow()
    {
        Rig rig(10);
        rig.state.PlotRange.ToRecord = 12;
        rig.state.PlotRange.PointCount = 12;
        rig.open();
        rig.clock.advance(2000);
        QVERIFY(!rig.window->isVisible());
        QCOMPARE(rig.window->windowTitle(), QStringLiteral("11 Records Completed"));
        // Records 1 to 10 were drawn before it stopped.
        const float step = rig.state.PlotRange.PointStep;
        QVERIFY(rig.hasTimeLine(rig.g().PlotLeft));
        QVERIFY(rig.hasTimeLine(rig.g().PlotLeft + 2 * step)); // k = 3 = 12 \ 4
        QVERIFY(!rig.hasTimeLine(rig.g().PlotLeft + 11 * step));
    }

    void vanishedListStopsAndHidesTheWindow()
    {
        Rig rig(10);
        rig.open();
        rig.list.reset();
        rig.clock.advance(2000);
        QVERIFY(!rig.window->isVisible());
        QCOMPARE(rig.window->windowTitle(), QStringLiteral("1 Records Completed"));
    }

    void emptyListPlotsAnEmptyFrame()
    {
        Rig rig(0);
        QCOMPARE(rig.state.PlotRange.PointCount, 0.f);
        rig.open();
        QCOMPARE(rig.state.PlotRange.PointStep, 0.f);
        rig.clock.advance(2000);
        QVERIFY(rig.window->isVisible());
        QCOMPARE(rig.window->windowTitle(), QStringLiteral("Plot Data/File "));
        // The grid is there; no time line.
        QVERIFY(HasColourIn(rig.image(), 250, rig.g().PlotBottom - rig.g().PlotHeight / 2, 250,
            rig.g().PlotBottom - rig.g().PlotHeight / 2 + 1, kGrey));
        QVERIFY(!rig.hasTimeLine(rig.g().PlotLeft));
    }

    void cellsAreDrawnAtTheirHeights()
    {
        Rig rig(10);
        for (int r = 0; r < 10; ++r) {
            rig.list->item(r, 2)->setText(QStringLiteral("3000"));
            rig.list->item(r, 3)->setText(r < 5 ? QStringLiteral("OL") : QStringLiteral("-OL"));
        }
        rig.open();
        rig.clock.advance(2000);
        const PlotGeometry g = rig.g();
        const float step = rig.state.PlotRange.PointStep;
        QVERIFY(HasColourNear(
            rig.image(), g.PlotLeft + 1.5 * step, g.PlotBottom - g.PlotHeight / 2, kMagenta));
        QVERIFY(HasColourNear(
            rig.image(), g.PlotLeft + 1.5 * step, g.PlotBottom - g.PlotHeight - 5, kBlack));
        QVERIFY(HasColourNear(rig.image(), g.PlotLeft + 7.5 * step, g.PlotBottom + 3, kBlack));
    }

    void resizeRedrawsTwoSecondsLater()
    {
        Rig rig(10);
        rig.open();
        rig.clock.advance(2000);
        QVERIFY(rig.hasTimeLine(rig.g().PlotLeft + 9 * 21));
        rig.window->resize(rig.window->width() + 108, rig.window->height());
        QTRY_COMPARE(rig.window->canvas()->width(), 500);
        QCOMPARE(rig.state.PlotRange.PointStep, 33.f);
        QVERIFY(!rig.hasTimeLine(rig.g().PlotLeft));
        QVERIFY(rig.window->timer1()->isActive());
        rig.clock.advance(2000);
        QVERIFY(rig.hasTimeLine(rig.g().PlotLeft + 9 * 33));
    }

    void tracesKeepThePixelsOfOneSegmentPerRecord_data()
    {
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("ratio");
        QTest::addColumn<QString>("shape");
        QTest::addColumn<QSize>("client");
        const QSize designed(392, 383);
        QTest::newRow("150 records") << 150 << 1 << 150 << 1 << "varied" << designed;
        QTest::newRow("150 records, pixel ratio 2") << 150 << 1 << 150 << 2 << "varied" << designed;
        QTest::newRow("4000 records") << 4000 << 1 << 4000 << 1 << "varied" << designed;
        QTest::newRow("4000 records, pixel ratio 2")
            << 4000 << 1 << 4000 << 2 << "varied" << designed;
        QTest::newRow("records 40 to 1900") << 2000 << 40 << 1900 << 1 << "varied" << designed;
        for (int ratio : { 1, 2 }) {
            const QString at = QStringLiteral(", pixel ratio %1").arg(ratio);
            const auto row = [&](const char* name) -> QTestData& {
                return QTest::newRow(qPrintable(name + at));
            };
            row("34800 records") << 34800 << 1 << 34800 << ratio << "varied" << designed;
            row("34800 records, a wide window")
                << 34800 << 1 << 34800 << ratio << "varied" << QSize(1000, 700);
            row("records 900 to 30000") << 34800 << 900 << 30000 << ratio << "varied" << designed;
            row("steep, 300 records") << 300 << 1 << 300 << ratio << "steep" << designed;
            row("steep, 20000 records") << 20000 << 1 << 20000 << ratio << "steep" << designed;
            row("flat, 34800 records") << 34800 << 1 << 34800 << ratio << "flat" << designed;
            row("gaps, 2000 records") << 2000 << 1 << 2000 << ratio << "gappy" << designed;
            row("gaps, 30000 records, a narrow window")
                << 30000 << 1 << 30000 << ratio << "gappy" << QSize(260, 250);
            row("7 records, a tall window") << 7 << 1 << 7 << ratio << "varied" << QSize(500, 900);
        }
    }
    void tracesKeepThePixelsOfOneSegmentPerRecord()
    {
        QFETCH(int, records);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(int, ratio);
        QFETCH(QString, shape);
        QFETCH(QSize, client);
        const auto list = MakeShapedList(shape, records);
        PlotRangeSettings settings;
        ResetPlotRange(settings, records);
        settings.FromRecord = from;
        settings.ToRecord = to;
        settings.PointCount = to - from + 1;
        const PlotGeometry g = PlotGeometryFor(client.width(), client.height());
        settings.PointStep = g.PlotWidth / settings.PointCount;
        const auto blank = [ratio, client] {
            QImage image(client * ratio, QImage::Format_RGB32);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::white);
            return image;
        };
        QImage before = blank();
        QImage after = blank();
        {
            QPainter painter(&before);
            DrawOneSegmentPerRecord(painter, g, settings, *list);
        }
        {
            QPainter painter(&after);
            TraceSweep sweep;
            sweep.restart(settings.PointStep);
            QVERIFY(DrawFileGraph(painter, g, sweep, settings, 7, list.get(), {}));
        }
        for (int t = 0; t < kTraceCount; ++t) {
            const QColor colour = TraceColour(static_cast<Trace>(t));
            QVERIFY2(HasColourIn(
                         after, g.PlotLeft, 0, g.PlotLeft + g.PlotWidth, client.height(), colour),
                qPrintable(colour.name()));
        }
        // Everything above the time labels, which the old drawing above leaves out.
        QCOMPARE(DifferingPixels(before, after, static_cast<int>((g.PlotBottom + 9) * ratio)), 0);
    }

    // The graph reads the list windows' grid from its bytes; it draws what it draws from the
    // cells' texts, time labels included. The grid's rows may hold fewer cells, and cells that
    // are no plain decimals.
    void gridDrawsAsItsTexts_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("ratio");
        for (int ratio : { 1, 2 }) {
            const QString at = QStringLiteral(", pixel ratio %1").arg(ratio);
            QTest::newRow(qPrintable("varied" + at)) << "varied" << 6000 << ratio;
            QTest::newRow(qPrintable("gaps" + at)) << "gappy" << 3000 << ratio;
            QTest::newRow(qPrintable("odd cells" + at)) << "odd" << 500 << ratio;
        }
    }
    void gridDrawsAsItsTexts()
    {
        QFETCH(QString, shape);
        QFETCH(int, records);
        QFETCH(int, ratio);
        const auto list = MakeShapedList(shape, records);
        if (shape == "odd") {
            const QStringList odd
                = { "", " 23.4", "\u00B0C", "1e2", "23,4", "-OL.0", "OL", "\t5", "\u0661" };
            for (int r = 0; r < records; ++r) {
                list->setItem(r, 2 + r % 5, new QStandardItem(odd[r % odd.size()]));
                if (r % 7 == 0) // a row that ends early
                    list->setItem(r, 6, nullptr);
            }
        }
        const auto grid = GridOf(*list);
        PlotRangeSettings settings;
        ResetPlotRange(settings, records);
        const PlotGeometry g = PlotGeometryFor(392, 383);
        settings.PointStep = g.PlotWidth / settings.PointCount;
        const auto draw = [&](const QAbstractItemModel& from) {
            QImage image(QSize(392, 383) * ratio, QImage::Format_RGB32);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::white);
            QPainter painter(&image);
            TraceSweep sweep;
            sweep.restart(settings.PointStep);
            const bool drawn = DrawFileGraph(painter, g, sweep, settings, 7, &from, {});
            return std::make_pair(drawn, image);
        };
        const auto [fromTexts, texts] = draw(*list);
        const auto [fromGrid, bytes] = draw(*grid);
        QVERIFY(fromTexts && fromGrid);
        QVERIFY(HasColourIn(bytes, 0, g.PlotBottom + 2, 392, 383, kBlack)); // the time labels
        QCOMPARE(DifferingPixels(texts, bytes, texts.height()), 0);
    }

    void printsAndAsksForTheRangeDialog()
    {
        Rig rig(3);
        rig.open();
        rig.clock.advance(2000);
        QSignalSpy limit(rig.window.get(), &ListPlot1::limitRequested);
        rig.window->toolbarButton("Limit")->trigger();
        QCOMPARE(limit.count(), 1);
        rig.window->toolbarButton("Print")->trigger();
        QCOMPARE(rig.printers.jobs, 1);
        QCOMPARE(rig.printers.lastTitle, ListPlot1::caption());
        QVERIFY(QFileInfo(rig.dir.filePath(QStringLiteral("plot.pdf"))).size() > 0);
    }
};

QTEST_MAIN(TestListPlot1)
#include "test_listplot1.moc"
