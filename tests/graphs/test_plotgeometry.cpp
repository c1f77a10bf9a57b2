#include "graphs/plotgeometry.h"

#include <QtTest>

#include <vector>

class TestPlotGeometry : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void plotAreaFollowsTheClientArea_data()
    {
        QTest::addColumn<double>("scaleWidth");
        QTest::addColumn<double>("scaleHeight");
        QTest::addColumn<float>("plotWidth");
        QTest::addColumn<float>("plotBottom");
        QTest::addColumn<float>("plotHeight");
        QTest::newRow("designed 392 x 383") << 392.0 << 383.0 << 210.f << 356.f << 283.f;
        QTest::newRow("500 wide") << 500.0 << 383.0 << 330.f << 356.f << 283.f;
        QTest::newRow("narrower than the margin") << 120.0 << 383.0 << -30.f << 356.f << 283.f;
        QTest::newRow("100 wide: remainder keeps the sign")
            << 100.0 << 200.0 << -60.f << 173.f << 100.f;
        QTest::newRow("margin only") << 170.0 << 383.0 << 0.f << 356.f << 283.f;
        QTest::newRow("29 short of a step") << 199.0 << 383.0 << 0.f << 356.f << 283.f;
        QTest::newRow("one step") << 200.0 << 383.0 << 30.f << 356.f << 283.f;
        // d 44.5 rounds to 44 (remainder 14), d 45.5 to 46 (remainder 16).
        QTest::newRow("half rounds to even, down") << 214.5 << 383.0 << 30.5f << 356.f << 283.f;
        QTest::newRow("half rounds to even, up") << 215.5 << 383.0 << 29.5f << 356.f << 283.f;
        QTest::newRow("800 x 600") << 800.0 << 600.0 << 630.f << 573.f << 500.f;
    }
    void plotAreaFollowsTheClientArea()
    {
        QFETCH(double, scaleWidth);
        QFETCH(double, scaleHeight);
        QFETCH(float, plotWidth);
        QFETCH(float, plotBottom);
        QFETCH(float, plotHeight);
        const PlotGeometry g = PlotGeometryFor(scaleWidth, scaleHeight);
        QCOMPARE(g.PlotLeft, 170.f);
        QCOMPARE(g.PlotWidth, plotWidth);
        QCOMPARE(g.PlotBottom, plotBottom);
        QCOMPARE(g.PlotHeight, plotHeight);
    }

    void scaleLabelTexts_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("60") << 60.0 << " 60";
        QTest::newRow("-20") << -20.0 << "-20";
        QTest::newRow("7.5") << 7.5 << " 7.5";
        QTest::newRow("zero") << 0.0 << " 0";
        QTest::newRow("tiny negative rounds to zero") << -0.004 << " 0";
        QTest::newRow("half a hundredth up") << 0.125 << " 0.13";
        QTest::newRow("decimal half although binary below") << 1.005 << " 1.01";
        QTest::newRow("negative fraction") << -2.5 << "-2.5";
        QTest::newRow("two decimals kept") << 12.34 << " 12.34";
        QTest::newRow("trailing zero dropped") << 37.50 << " 37.5";
        QTest::newRow("6000") << 6000.0 << " 6000";
    }
    void scaleLabelTexts()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(ScaleLabelText(value), text);
    }

    void humidityColumnReadsByEighths()
    {
        QStringList texts;
        for (int j = 0; j <= 8; ++j)
            texts << ScaleLabelText(ScaleLabelValue(0, 100, j));
        QCOMPARE(texts,
            (QStringList {
                " 0", " 12.5", " 25", " 37.5", " 50", " 62.5", " 75", " 87.5", " 100" }));
        QCOMPARE(ScaleLabelText(ScaleLabelValue(-20, 60, 8)), QStringLiteral(" 60"));
        QCOMPARE(ScaleLabelText(ScaleLabelValue(-20, 60, 0)), QStringLiteral("-20"));
        QCOMPARE(ScaleLabelText(ScaleLabelValue(-4, 140, 3)), QStringLiteral(" 50"));
    }

    void scaleLabelsCentreOnTheLongTicks_data()
    {
        QTest::addColumn<int>("j");
        QTest::addColumn<double>("left");
        QTest::addColumn<double>("top");
        // Celsius column at 138, text 20 wide and 14 high, PlotHeight 283.
        QTest::newRow("bottom") << 0 << 133.0 << 349.0;
        QTest::newRow("middle") << 4 << 133.0 << 349.0 - 141.5;
        QTest::newRow("top") << 8 << 133.0 << 349.0 - 283.0;
    }
    void scaleLabelsCentreOnTheLongTicks()
    {
        QFETCH(int, j);
        QFETCH(double, left);
        QFETCH(double, top);
        const PlotGeometry g = PlotGeometryFor(392, 383);
        const float x = ScaleColumnX(g, ScaleColumn::Celsius);
        QCOMPARE(x, 138.f);
        const QPointF at = ScaleLabelTopLeft(g, x, j, 20, 14);
        QCOMPARE(at.x(), left);
        QCOMPARE(at.y(), top);
        // The centre of the label sits on long tick 2j.
        QCOMPARE(at.y() + 7, static_cast<double>(TickY(g, 2 * j)));
    }

    // Runs one sweep of the real-time graph and lists where labels and marks fall.
    void timeAxisOfOneSweep_data()
    {
        QTest::addColumn<float>("step");
        QTest::addColumn<QList<float>>("labels");
        QTest::addColumn<QList<float>>("marks");
        QTest::newRow("step 1") << 1.f << QList<float> { 0, 60, 120, 180 }
                                << QList<float> { 30, 90, 150 };
        // 59.5 and 60.375 both round to 60; 150.5 rounds to 150 (half to even).
        QTest::newRow("step 7/8: neighbouring ticks")
            << 0.875f << QList<float> { 0, 59.5f, 60.375f, 119.875f, 180.25f }
            << QList<float> { 29.75f, 90.125f, 149.625f, 150.5f };
        // 58.5 rounds to 58 and 61.75 to 62: no label near 60, none near 180, no mark near 30
        // or 90.
        QTest::newRow("step 13/4: none near 60")
            << 3.25f << QList<float> { 0, 120.25f } << QList<float> { 149.5f };
    }
    void timeAxisOfOneSweep()
    {
        QFETCH(float, step);
        QFETCH(QList<float>, labels);
        QFETCH(QList<float>, marks);
        const float plotWidth = 210;
        QList<float> gotLabels;
        QList<float> gotMarks;
        float sweepX = -step;
        int wraps = 0;
        while (wraps < 2) {
            sweepX = AdvanceSweep(sweepX, step, plotWidth);
            if (sweepX == 0 && ++wraps == 2)
                break;
            QVERIFY(sweepX < plotWidth);
            const TimeMark mark = RealTimeMarkAt(sweepX);
            if (mark == TimeMark::Label)
                gotLabels << sweepX;
            else if (mark == TimeMark::MidMark)
                gotMarks << sweepX;
        }
        QCOMPARE(gotLabels, labels);
        QCOMPARE(gotMarks, marks);
    }

    void sweepWrapsBeforeTheRightEdge_data()
    {
        QTest::addColumn<float>("sweepX");
        QTest::addColumn<float>("step");
        QTest::addColumn<float>("plotWidth");
        QTest::addColumn<float>("next");
        QTest::newRow("first tick") << -1.f << 1.f << 210.f << 0.f;
        QTest::newRow("last before the edge") << 208.f << 1.f << 210.f << 209.f;
        QTest::newRow("would reach the edge") << 209.f << 1.f << 210.f << 0.f;
        QTest::newRow("negative width restarts every tick") << 0.f << 1.f << -30.f << 0.f;
        QTest::newRow("zero width") << 0.f << 0.f << 0.f << 0.f;
        QTest::newRow("step from a zero width is no number")
            << 0.f << std::numeric_limits<float>::quiet_NaN() << 210.f << 0.f;
    }
    void sweepWrapsBeforeTheRightEdge()
    {
        QFETCH(float, sweepX);
        QFETCH(float, step);
        QFETCH(float, plotWidth);
        QFETCH(float, next);
        QCOMPARE(AdvanceSweep(sweepX, step, plotWidth), next);
    }

    void fileTimeAxis_data()
    {
        QTest::addColumn<float>("pointCount");
        QTest::addColumn<QList<int>>("labels");
        QTest::addColumn<QList<int>>("marks");
        QTest::newRow("100 records")
            << 100.f << QList<int> { 1, 25, 50, 75, 100 } << QList<int> { 12, 37, 62, 87 };
        QTest::newRow("3 records") << 3.f << QList<int> { 1, 2, 3 } << QList<int> {};
        QTest::newRow("records 5 to 10") << 6.f << QList<int> { 1, 3, 4, 6 } << QList<int> { 2, 5 };
        QTest::newRow("1 record") << 1.f << QList<int> { 1 } << QList<int> {};
        QTest::newRow("34800 records") << 34800.f << QList<int> { 1, 8700, 17400, 26100, 34800 }
                                       << QList<int> { 4350, 13050, 21750, 30450 };
    }
    void fileTimeAxis()
    {
        QFETCH(float, pointCount);
        QFETCH(QList<int>, labels);
        QFETCH(QList<int>, marks);
        QList<int> gotLabels;
        QList<int> gotMarks;
        for (int k = 1; k <= static_cast<int>(pointCount); ++k) {
            const TimeMark mark = FileMarkAt(k, pointCount);
            if (mark == TimeMark::Label)
                gotLabels << k;
            else if (mark == TimeMark::MidMark)
                gotMarks << k;
        }
        QCOMPARE(gotLabels, labels);
        QCOMPARE(gotMarks, marks);
    }

    void timeLabelAndMarkPlaces()
    {
        const PlotGeometry g = PlotGeometryFor(392, 383);
        QCOMPARE(TimeLabelTop(g), 366.f);
        QCOMPARE(TimeLabelLeft(200, 40, false), 180.f);
        QCOMPARE(TimeLabelLeft(170, 40, true), 130.f);
        QCOMPARE(MidMarkTop(g), static_cast<float>(356 - 4.2 * 283 / 8));
        QCOMPARE(MidMarkBottom(g), static_cast<float>(356 - 3.8 * 283 / 8));
        QVERIFY(MidMarkTop(g) < 356 - 283 / 2.f && MidMarkBottom(g) > 356 - 283 / 2.f);
    }

    // Labels in, the lefts they are drawn at out; a hidden label as -1. Widths are 50 (time)
    // and as given per row (scale); the gap between labels is 3.
    void labelsKeepInsideAndApart_data()
    {
        QTest::addColumn<bool>("timeAxis");
        QTest::addColumn<QList<double>>("lefts");
        QTest::addColumn<QList<double>>("widths");
        QTest::addColumn<QList<double>>("drawn");
        // Five labels over 210 pixels ran together ("08:08:1008:16:30") and the last was clipped
        // at 392: it moves in, and those between slide left to keep clear of it (a file of
        // 34,800 records lost its three-quarter label here although there was room).
        QTest::newRow("five time labels")
            << true << QList<double> { 125, 196.5, 249, 301.5, 353 }
            << QList<double> { 50, 50, 50, 50, 50 } << QList<double> { 125, 183, 236, 289, 342 };
        QTest::newRow("one between with room stays put")
            << true << QList<double> { 100, 200, 300 } << QList<double> { 50, 50, 50 }
            << QList<double> { 100, 200, 300 };
        QTest::newRow("too close to slide clear: left out")
            << true << QList<double> { 100, 130, 200 } << QList<double> { 50, 50, 50 }
            << QList<double> { 100, -1, 200 };
        QTest::newRow("crowded: the first that fits is kept")
            << true << QList<double> { 100, 150, 165, 230 } << QList<double> { 50, 50, 50, 50 }
            << QList<double> { 100, 153, -1, 230 };
        QTest::newRow("two that overlap keep the first")
            << true << QList<double> { 100, 130 } << QList<double> { 50, 50 }
            << QList<double> { 100, -1 };
        QTest::newRow("one out on the left")
            << true << QList<double> { -20 } << QList<double> { 50 } << QList<double> { 0 };
        // Scale rows left to right (CO2, F, RH, C) against the ticks at 157.
        QTest::newRow("row with room stays")
            << false << QList<double> { 2, 50, 90, 133 } << QList<double> { 20, 20, 20, 20 }
            << QList<double> { 2, 50, 90, 133 };
        QTest::newRow("two decimals clear the ticks")
            << false << QList<double> { 2, 50, 90, 129 } << QList<double> { 20, 20, 35, 35 }
            << QList<double> { 2, 50, 84, 122 };
        QTest::newRow("CO2 moved in from the left")
            << false << QList<double> { -2.5, 50, 90, 133 } << QList<double> { 42, 20, 20, 20 }
            << QList<double> { 0, 50, 90, 133 };
        QTest::newRow("too crowded: CO2 gives way")
            << false << QList<double> { -4, 47, 89, 129 } << QList<double> { 49, 42, 35, 35 }
            << QList<double> { -1, 39, 84, 122 };
    }
    void labelsKeepInsideAndApart()
    {
        QFETCH(bool, timeAxis);
        QFETCH(QList<double>, lefts);
        QFETCH(QList<double>, widths);
        QFETCH(QList<double>, drawn);
        std::vector<LabelSpan> labels;
        for (int i = 0; i < lefts.size(); ++i)
            labels.push_back({ lefts[i], widths[i], true });
        if (timeAxis)
            FitTimeLabels(labels, 392);
        else
            FitScaleLabelRow(labels, 157);
        QList<double> got;
        for (const LabelSpan& label : labels)
            got << (label.shown ? label.left : -1);
        QCOMPARE(got, drawn);
    }
};

QTEST_APPLESS_MAIN(TestPlotGeometry)
#include "test_plotgeometry.moc"
