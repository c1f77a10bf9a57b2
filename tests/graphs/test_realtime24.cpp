#include "canvasprobe.h"
#include "graphs/graphcanvas.h"
#include "graphs/graphsstate.h"
#include "graphs/realtime24.h"
#include "meter/currentreading.h"
#include "support/fakeclock.h"
#include "support/fakes.h"

#include <QAction>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include <memory>

namespace
{

const QColor kGrey(192, 192, 192);
const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);
const QColor kMagenta(255, 0, 255);

// Every trace on the baseline: the plot stays clear of the grid and the time axis.
CurrentReading QuietReading()
{
    CurrentReading reading;
    reading.TempC = TaggedValue::number(-20);
    reading.HumidityPct = TaggedValue::number(0);
    reading.Co2Ppm = TaggedValue::number(0);
    reading.WetC = TaggedValue::marker(Marker::NoReading);
    reading.DewC = TaggedValue::marker(Marker::NoReading);
    return reading;
}

} // namespace

class TestRealTime24 : public QObject
{
    Q_OBJECT

    struct Rig {
        CurrentReading reading = QuietReading();
        GraphsState state;
        FakeClock clock;
        QTemporaryDir dir;
        FakePrinterProvider printers { dir.filePath(QStringLiteral("graph.pdf")) };
        std::unique_ptr<RealTime24> window;

        void open()
        {
            window = std::make_unique<RealTime24>(reading, state, clock, printers);
            window->setAttribute(Qt::WA_DeleteOnClose, false);
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        }
        void run(int ticks)
        {
            if (!window->timer1()->isActive())
                window->timer1()->start(150);
            clock.advance(150LL * ticks);
        }
        const QImage& image() const { return window->canvas()->image(); }
        const PlotGeometry& g() const { return window->geometry(); }
    };

private Q_SLOTS:
    void windowAsDesigned()
    {
        Rig rig;
        rig.state.GridColour = 3;
        rig.open();
        RealTime24& w = *rig.window;
        QCOMPARE(w.windowTitle(), QStringLiteral("Real Time Graph - Voltage "));
        QCOMPARE(w.toolbar()->objectName(), QStringLiteral("Toolbar1"));
        QVERIFY(w.toolbarButton("Limit") && w.toolbarButton("Print"));
        QCOMPARE(w.toolbarButton("Print")->toolTip(), QStringLiteral("Print"));
        QCOMPARE(w.canvas()->size(), QSize(392, 383));
        QCOMPARE(w.geometry().PlotWidth, 210.f);
        QCOMPARE(rig.state.RealTimePlotWidth, 210.f);
        QCOMPARE(rig.state.GridColour, 7);
        QCOMPARE(w.sweep().SweepX, -1.f);
        // The frame: the vertical axis, white background, legend in colour.
        QVERIFY(HasColourNear(rig.image(), 168, 200, kBlack));
        QCOMPARE(QColor(rig.image().pixel(300, 200)), kWhite);
        QVERIFY(HasColourIn(rig.image(), 200, 48, 230, 62, kRed)); // "Dew"
        QVERIFY(HasColourIn(rig.image(), 260, 48, 290, 62, kGreen)); // "Wet"
    }

    void timerWaitsForItsInterval()
    {
        Rig rig;
        rig.open();
        QVERIFY(!rig.window->timer1()->isActive());
        QCOMPARE(rig.window->timer1()->interval(), 0);
        rig.clock.advance(5000);
        QCOMPARE(rig.window->sweep().SweepX, -1.f);
        rig.run(1);
        QCOMPARE(rig.window->sweep().SweepX, 0.f);
    }

    void firstTickStartsASweepWithGridAndTimeLabel()
    {
        Rig rig;
        rig.open();
        const PlotGeometry g = rig.g();
        QVERIFY(!HasColourIn(rig.image(), 200, g.PlotBottom - g.PlotHeight / 2, 300,
            g.PlotBottom - g.PlotHeight / 2, kGrey));
        QVERIFY(!HasInkIn(
            rig.image(), g.PlotLeft - 25, g.PlotBottom + 10, g.PlotLeft + 25, g.PlotBottom + 22));
        rig.run(1);
        QCOMPARE(rig.window->timeLabel(), QStringLiteral("14:30:00"));
        QVERIFY(HasColourIn(rig.image(), 200, g.PlotBottom - g.PlotHeight / 2, 300,
            g.PlotBottom - g.PlotHeight / 2 + 1, kGrey));
        // Label text centred on the left edge, below the axis.
        QVERIFY(HasInkIn(
            rig.image(), g.PlotLeft - 25, g.PlotBottom + 10, g.PlotLeft + 25, g.PlotBottom + 22));
        // No segment yet: the traces start with the second tick.
        QVERIFY(!HasColourIn(rig.image(), g.PlotLeft, g.PlotBottom - g.PlotHeight, g.PlotLeft + 5,
            g.PlotBottom - 1, kBlack));
    }

    void tracesAreDrawnInTheirColours_data()
    {
        QTest::addColumn<int>("trace");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<double>("height");
        // TempC 20, RH 25, wet bulb 40, dew point -10, CO2 5000 on the default scales.
        QTest::newRow("temperature") << 0 << kBlack << 283 * 40 / 80.0;
        QTest::newRow("humidity") << 1 << kBlue << 283 * 25 / 100.0;
        QTest::newRow("wet bulb") << 2 << kGreen << 283 * 60 / 80.0;
        QTest::newRow("dew point") << 3 << kRed << 283 * 10 / 80.0;
        QTest::newRow("CO2") << 4 << kMagenta << 283 * 5000 / 6000.0;
    }
    void tracesAreDrawnInTheirColours()
    {
        QFETCH(QColor, colour);
        QFETCH(double, height);
        Rig rig;
        rig.reading.TempC = TaggedValue::number(20);
        rig.reading.HumidityPct = TaggedValue::number(25);
        rig.reading.WetC = TaggedValue::number(40);
        rig.reading.DewC = TaggedValue::number(-10);
        rig.reading.Co2Ppm = TaggedValue::number(5000);
        rig.open();
        rig.run(20);
        const PlotGeometry g = rig.g();
        for (int x : { 5, 10, 18 })
            QVERIFY2(HasColourNear(rig.image(), g.PlotLeft + x, g.PlotBottom - height, colour),
                qPrintable(QString::number(x)));
        // Nothing beyond the newest point.
        QVERIFY(!HasColourIn(rig.image(), g.PlotLeft + 21, g.PlotBottom - height - 1,
            g.PlotLeft + 40, g.PlotBottom - height + 1, colour));
    }

    void noReadingLeavesAGap()
    {
        Rig rig;
        rig.reading.DewC = TaggedValue::marker(Marker::NoReading);
        rig.open();
        const PlotGeometry g = rig.g();
        rig.run(20); // points at SweepX 0..19 have no dew point
        rig.reading.DewC = TaggedValue::number(20);
        rig.run(10); // 20..29
        const double top = g.PlotBottom - g.PlotHeight - 5;
        const double bottom = g.PlotBottom + 3;
        QVERIFY(!HasColourIn(rig.image(), g.PlotLeft, top, g.PlotLeft + 19, bottom, kRed));
        // The first point after the gap is joined to nothing behind it; the trace goes on.
        QVERIFY(HasColourNear(rig.image(), g.PlotLeft + 25, g.PlotBottom - g.PlotHeight / 2, kRed));
    }

    void newSweepBlanksTheOutOfRangeBands()
    {
        Rig rig;
        rig.reading.TempC = TaggedValue::marker(Marker::Under);
        rig.reading.Co2Ppm = TaggedValue::marker(Marker::Over);
        rig.open();
        const PlotGeometry g = rig.g();
        rig.run(210); // SweepX 0 .. 209
        QCOMPARE(rig.window->sweep().SweepX, 209.f);
        QVERIFY(HasColourNear(rig.image(), g.PlotLeft + 100, g.PlotBottom + 3, kBlack));
        QVERIFY(HasColourNear(
            rig.image(), g.PlotLeft + 100, g.PlotBottom - g.PlotHeight - 5, kMagenta));
        rig.run(1); // wraps to 0
        QCOMPARE(rig.window->sweep().SweepX, 0.f);
        QVERIFY(!HasColourIn(rig.image(), g.PlotLeft + 2, g.PlotBottom - g.PlotHeight - 5,
            g.PlotLeft + g.PlotWidth, g.PlotBottom + 3, kBlack));
        QVERIFY(!HasColourIn(rig.image(), g.PlotLeft + 2, g.PlotBottom - g.PlotHeight - 5,
            g.PlotLeft + g.PlotWidth, g.PlotBottom + 3, kMagenta));
        // The axis below the band is kept.
        QVERIFY(HasColourNear(rig.image(), g.PlotLeft + 100, g.PlotBottom + 6, kBlack));
    }

    void timeLabelsAndMarksAlongTheSweep()
    {
        Rig rig;
        rig.open();
        const PlotGeometry g = rig.g();
        rig.run(181); // SweepX 0 .. 180
        QCOMPARE(rig.window->timeLabel(), QStringLiteral("14:30:27"));
        const double aboveTop = g.PlotBottom - g.PlotHeight - 10;
        const double justAboveTop = g.PlotBottom - g.PlotHeight - 2;
        for (int x : { 0, 60, 120, 180 })
            QVERIFY2(HasColourIn(rig.image(), g.PlotLeft + x, aboveTop, g.PlotLeft + x,
                         justAboveTop, kGrey),
                qPrintable(QString::number(x)));
        for (int x : { 30, 45, 90, 150 })
            QVERIFY2(!HasColourIn(rig.image(), g.PlotLeft + x - 1, aboveTop, g.PlotLeft + x + 1,
                         justAboveTop, kGrey),
                qPrintable(QString::number(x)));
        const double markY = g.PlotBottom - g.PlotHeight / 2 - 5;
        for (int x : { 30, 90, 150 })
            QVERIFY2(HasColourNear(rig.image(), g.PlotLeft + x, markY, kGrey),
                qPrintable(QString::number(x)));
        for (int x : { 15, 45, 100 })
            QVERIFY2(!HasColourNear(rig.image(), g.PlotLeft + x, markY, kGrey),
                qPrintable(QString::number(x)));
        // Each label has its text under the axis.
        for (int x : { 60, 120, 180 })
            QVERIFY(HasInkIn(rig.image(), g.PlotLeft + x - 20, g.PlotBottom + 10,
                g.PlotLeft + x + 20, g.PlotBottom + 22));
    }

    void limitsAreReadAtEveryTick()
    {
        Rig rig;
        rig.reading.HumidityPct = TaggedValue::number(50);
        rig.open();
        const PlotGeometry g = rig.g();
        rig.run(10);
        rig.state.RealTimeRange.RHMax = 50;
        rig.run(10);
        QVERIFY(HasColourNear(rig.image(), g.PlotLeft + 5, g.PlotBottom - g.PlotHeight / 2, kBlue));
        QVERIFY(HasColourNear(rig.image(), g.PlotLeft + 15, g.PlotBottom - g.PlotHeight, kBlue));
    }

    void narrowWindowNeverDrawsTraces()
    {
        Rig rig;
        rig.reading.TempC = TaggedValue::number(20);
        rig.open();
        rig.window->resize(120, rig.window->height());
        QTRY_COMPARE(rig.window->canvas()->width(), 120);
        QCOMPARE(rig.g().PlotWidth, -30.f);
        rig.run(50);
        QCOMPARE(rig.window->sweep().SweepX, 0.f);
        QCOMPARE(rig.window->timeLabel(), QStringLiteral("14:30:07"));
    }

    void resizeClearsAndRestartsTheSweep()
    {
        Rig rig;
        rig.reading.TempC = TaggedValue::number(20);
        rig.open();
        rig.run(30);
        const PlotGeometry before = rig.g();
        QVERIFY(HasColourNear(
            rig.image(), before.PlotLeft + 20, before.PlotBottom - before.PlotHeight / 2, kBlack));
        rig.window->resize(500, rig.window->height() + 100);
        QTRY_COMPARE(rig.window->canvas()->width(), 500);
        QCOMPARE(rig.g().PlotWidth, 330.f);
        QCOMPARE(rig.g().PlotBottom, 456.f);
        QCOMPARE(rig.window->sweep().SweepX, -1.f);
        QVERIFY(!HasColourIn(rig.image(), rig.g().PlotLeft, 60, rig.g().PlotLeft + 300,
            rig.g().PlotBottom - 1, kBlack));
    }

    void printPutsTheGraphOnOnePage()
    {
        Rig rig;
        rig.open();
        rig.run(5);
        rig.window->toolbarButton("Print")->trigger();
        QCOMPARE(rig.printers.jobs, 1);
        QCOMPARE(rig.printers.lastTitle, RealTime24::caption());
        QFile pdf(rig.dir.filePath(QStringLiteral("graph.pdf")));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray bytes = pdf.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        QCOMPARE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r")
                + bytes.count("/Type /Page>>") + bytes.count("/Type /Page "),
            1);
        // The traces go on after printing.
        rig.run(1);
        QCOMPARE(rig.window->sweep().SweepX, 5.f);
    }

    void printWithNowhereToPrintDoesNothing()
    {
        Rig rig;
        rig.printers.available = false;
        rig.open();
        rig.window->print();
        QVERIFY(!QFile::exists(rig.dir.filePath(QStringLiteral("graph.pdf"))));
    }

    void closingStopsTimer1()
    {
        Rig rig;
        rig.open();
        rig.run(3);
        rig.window->close();
        QVERIFY(!rig.window->timer1()->isActive());
        rig.clock.advance(1500);
        QCOMPARE(rig.window->sweep().SweepX, 2.f);
    }
};

QTEST_MAIN(TestRealTime24)
#include "test_realtime24.moc"
