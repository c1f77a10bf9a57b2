#include "graphs/plotvalue.h"
#include "meter/currentreading.h"
#include "meter/numbertext.h"

#include <QtTest>

#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

Q_DECLARE_METATYPE(Trace)
Q_DECLARE_METATYPE(std::optional<double>)

namespace
{

constexpr float kPlotHeight = 283;
constexpr double kTop = kPlotHeight + 5;
constexpr double kBottom = -3;
const std::optional<double> kGap;

TaggedValue Num(double v)
{
    return TaggedValue::number(v);
}

TaggedValue Mark(const QString& text)
{
    return TaggedValue::marker(text);
}

// A dew-point or wet-bulb value as the decoding leaves it: the number a text shows, a marker,
// or nothing worked out for an empty text.
TaggedValue DewWet(const QString& text)
{
    bool number = false;
    const double v = text.toDouble(&number);
    if (number)
        return Num(v);
    return text.isEmpty() ? TaggedValue::notWorkedOut() : Mark(text);
}

} // namespace

class TestPlotValue : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void liveHeights_data()
    {
        QTest::addColumn<Trace>("trace");
        QTest::addColumn<TaggedValue>("tagged");
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<double>>("height");
        const auto T = Trace::Temperature;
        const auto H = Trace::Humidity;
        const auto W = Trace::WetBulb;
        const auto D = Trace::DewPoint;
        const auto C = Trace::Co2;
        const std::optional<double> mid = kPlotHeight / 2.0;
        QTest::newRow("20 C sits on the middle line") << T << Num(20) << "" << mid;
        QTest::newRow("temperature at the top limit")
            << T << Num(60) << "" << std::optional<double>(kPlotHeight);
        QTest::newRow("temperature at the bottom limit")
            << T << Num(-20) << "" << std::optional<double>(0);
        QTest::newRow("temperature above") << T << Num(60.5) << "" << std::optional<double>(kTop);
        QTest::newRow("temperature below")
            << T << Num(-20.1) << "" << std::optional<double>(kBottom);
        QTest::newRow("temperature OL at the top")
            << T << Mark("OL") << "" << std::optional<double>(kTop);
        QTest::newRow("temperature -OL at the bottom")
            << T << Mark("-OL") << "" << std::optional<double>(kBottom);
        QTest::newRow("temperature ---- leaves a gap") << T << Mark("----") << "" << kGap;
        QTest::newRow("RH at its top is scaled, not clamped")
            << H << Num(100) << "" << std::optional<double>(kPlotHeight);
        QTest::newRow("RH above") << H << Num(100.1) << "" << std::optional<double>(kTop);
        QTest::newRow("RH below") << H << Num(-0.5) << "" << std::optional<double>(kBottom);
        QTest::newRow("RH 25") << H << Num(25) << "" << std::optional<double>(kPlotHeight / 4.0);
        QTest::newRow("RH ---- leaves a gap") << H << Mark("----") << "" << kGap;
        QTest::newRow("wet bulb text") << W << TaggedValue() << "20" << mid;
        QTest::newRow("wet bulb OL") << W << TaggedValue() << "OL" << std::optional<double>(kTop);
        QTest::newRow("wet bulb -OL")
            << W << TaggedValue() << "-OL" << std::optional<double>(kBottom);
        QTest::newRow("wet bulb ----") << W << TaggedValue() << "----" << kGap;
        QTest::newRow("wet bulb before any reading") << W << TaggedValue() << "" << kGap;
        QTest::newRow("dew point above")
            << D << TaggedValue() << "60.1" << std::optional<double>(kTop);
        QTest::newRow("dew point rounded to single at the limit")
            << D << TaggedValue() << "60.0000000001"
            << std::optional<double>(kPlotHeight * (60.0000000001 + 20) / 80);
        QTest::newRow("dew point -OL")
            << D << TaggedValue() << "-OL" << std::optional<double>(kBottom);
        QTest::newRow("dew point tiny negative")
            << D << TaggedValue() << "-0.000000000000000111022302462516"
            << std::optional<double>(kPlotHeight * (20 - 1.11022302462516e-16) / 80);
        QTest::newRow("CO2 OL at the top") << C << Mark("OL") << "" << std::optional<double>(kTop);
        QTest::newRow("CO2 above") << C << Num(6001) << "" << std::optional<double>(kTop);
        QTest::newRow("CO2 3000") << C << Num(3000) << "" << mid;
        QTest::newRow("CO2 0") << C << Num(0) << "" << std::optional<double>(0);
    }
    void liveHeights()
    {
        QFETCH(Trace, trace);
        QFETCH(TaggedValue, tagged);
        QFETCH(QString, text);
        QFETCH(std::optional<double>, height);
        CurrentReading reading;
        reading.TempC = reading.HumidityPct = reading.Co2Ppm = tagged;
        reading.WetC = reading.DewC = DewWet(text);
        const ScaleLimits limits;
        const std::optional<double> got = PlotValue(trace, reading, limits, kPlotHeight);
        QCOMPARE(got.has_value(), height.has_value());
        if (height)
            QCOMPARE(*got, *height);
    }

    void fileHeights_data()
    {
        QTest::addColumn<Trace>("trace");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<float>("tempMinC");
        QTest::addColumn<double>("height");
        const auto T = Trace::Temperature;
        const auto H = Trace::Humidity;
        const auto D = Trace::DewPoint;
        const auto C = Trace::Co2;
        QTest::newRow("temperature OL") << T << "OL" << -20.f << kTop;
        QTest::newRow("temperature -OL") << T << "-OL" << -20.f << kBottom;
        // Lists hold the display texts of the markers; a cell without a reading is a gap (NaN).
        const double gap = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("temperature OL.0") << T << "OL.0" << -20.f << kTop;
        QTest::newRow("dew point -OL.0") << D << "-OL.0" << -20.f << kBottom;
        QTest::newRow("wet bulb OL.0") << Trace::WetBulb << "OL.0" << -20.f << kTop;
        QTest::newRow("---- is a gap") << T << "----" << -20.f << gap;
        QTest::newRow("----.0 is a gap") << Trace::WetBulb << "----.0" << 5.f << gap;
        QTest::newRow("RH ----.0 is a gap") << H << "----.0" << -20.f << gap;
        QTest::newRow("empty cell counts as 0") << D << "" << -20.f << kPlotHeight * 20 / 80.0;
        QTest::newRow("leading number read") << D << "23.4x" << -20.f << kPlotHeight * 43.4 / 80.0;
        QTest::newRow("temperature text with OL inside is read")
            << T << "1OL" << -20.f << kPlotHeight * 21 / 80.0;
        QTest::newRow("CO2 containing OL") << C << "xOLx" << -20.f << kTop;
        QTest::newRow("CO2 1500") << C << "1500" << -20.f << kPlotHeight / 4.0;
        QTest::newRow("CO2 above") << C << "6000.5" << -20.f << kTop;
        QTest::newRow("RH OL at the top") << H << "OL" << -20.f << kTop;
        QTest::newRow("RH 100") << H << "100.0" << -20.f << static_cast<double>(kPlotHeight);
        QTest::newRow("RH below") << H << "-1" << -20.f << kBottom;
    }
    void fileHeights()
    {
        QFETCH(Trace, trace);
        QFETCH(QString, cell);
        QFETCH(float, tempMinC);
        QFETCH(double, height);
        ScaleLimits limits;
        limits.TempMinC = tempMinC;
        const std::optional<double> got = PlotCellValue(trace, cell, limits, kPlotHeight);
        QCOMPARE(got.has_value(), !std::isnan(height));
        if (got)
            QCOMPARE(*got, height);
    }

    // Cells are read quicker where they are plain decimals; the number must be LeadingNumber's to
    // the last bit, or the traces move.
    void cellNumbersAreLeadingNumbers_data()
    {
        QTest::addColumn<QStringList>("cells");
        QTest::newRow("list texts") << QStringList { "23.4", "-20.0", "0", "-0", "-0.0", "415",
            "6000", "100.0", " 23.4", "\t-5.1", "+7", "5.", ".5", "-.5", "007.10" };
        QTest::newRow("not plain") << QStringList { "", " ", "-", "+", ".", "-.", "----", "----.0",
            "OL", "OL.0", "-OL.0", "1OL", "23.4x", "1e3", "2.5E-1", "1d2", "23.4 ", "1.2.3", "--5",
            "+-5", "5-", "12x5", "1,5", "\u0661" };
        QTest::newRow("15 and 16 digits") << QStringList { "123456789012345", "999999999999999",
            "1234567890123456", "0.123456789012345", "0.1234567890123456", "12345678.9012345",
            "-99999999999999.9", "0.000000000000001" };
        QStringList tenths;
        quint32 seed = 99;
        for (int i = 0; i < 20000; ++i) {
            seed = seed * 1664525u + 1013904223u;
            const int decimals = static_cast<int>(seed >> 28) % 8;
            const double v = (static_cast<double>(seed >> 4) - (1 << 27)) / 997.0;
            tenths << QString::number(v, 'f', decimals);
        }
        QTest::newRow("20000 decimals") << tenths;
    }
    void cellNumbersAreLeadingNumbers()
    {
        QFETCH(QStringList, cells);
        for (const QString& cell : cells) {
            const double expected = LeadingNumber(cell);
            const double got = CellNumber(cell);
            QVERIFY2(std::memcmp(&got, &expected, sizeof got) == 0,
                qPrintable(QStringLiteral("%1: %2, not %3")
                               .arg(cell)
                               .arg(got, 0, 'g', 17)
                               .arg(expected, 0, 'g', 17)));
        }
    }

    // The file graph reads the list windows' cells from their UTF-8 bytes: the same heights, to
    // the last bit, for every trace.
    void cellBytesReadAsTheirText_data()
    {
        cellNumbersAreLeadingNumbers_data();
        QTest::newRow("markers and other characters") << QStringList { "OL", "-OL", "xOLx", "----",
            " ----.0", "\u00B0C", "23,4", "2\u00B3", "\u0661\u0662", "1e400", "nan", "inf" };
    }
    void cellBytesReadAsTheirText()
    {
        QFETCH(QStringList, cells);
        ScaleLimits limits;
        limits.TempMinC = -20;
        for (const QString& cell : cells) {
            for (int t = 0; t < kTraceCount; ++t) {
                const auto trace = static_cast<Trace>(t);
                const std::optional<double> text = PlotCellValue(trace, cell, limits, kPlotHeight);
                const QByteArray utf8 = cell.toUtf8();
                const std::optional<double> bytes
                    = PlotCellValue(trace, QByteArrayView(utf8), limits, kPlotHeight);
                QVERIFY2(text.has_value() == bytes.has_value()
                        && (!text || std::memcmp(&*text, &*bytes, sizeof(double)) == 0),
                    qPrintable(QStringLiteral("%1, trace %2").arg(cell).arg(t)));
            }
        }
    }

    void scaleWithoutSpanNeverDividesByZero()
    {
        ScaleLimits limits;
        limits.RHMax = limits.RHMin = 50;
        CurrentReading reading;
        reading.HumidityPct = TaggedValue::number(50);
        QCOMPARE(
            PlotValue(Trace::Humidity, reading, limits, kPlotHeight), std::optional<double>(0));
        reading.HumidityPct = TaggedValue::number(51);
        QCOMPARE(
            PlotValue(Trace::Humidity, reading, limits, kPlotHeight), std::optional<double>(kTop));
        QCOMPARE(PlotCellValue(Trace::Humidity, QStringLiteral("50"), limits, kPlotHeight), 0.0);
        QCOMPARE(ScaledHeight(3, 7, 7, kPlotHeight), 0.0);
    }

    void numbersThatAreNoNumbersLeaveGaps()
    {
        CurrentReading reading;
        reading.TempC = TaggedValue::number(std::numeric_limits<double>::quiet_NaN());
        reading.DewC = TaggedValue::number(std::numeric_limits<double>::quiet_NaN());
        const ScaleLimits limits;
        QVERIFY(!PlotValue(Trace::Temperature, reading, limits, kPlotHeight));
        QVERIFY(!PlotValue(Trace::DewPoint, reading, limits, kPlotHeight));
    }
};

QTEST_APPLESS_MAIN(TestPlotValue)
#include "test_plotvalue.moc"
