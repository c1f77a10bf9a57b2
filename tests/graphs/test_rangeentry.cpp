#include "graphs/rangeentry.h"

#include <QtTest>

namespace
{

RangeEntries Entries(bool celsius, const QString& max, const QString& min)
{
    RangeEntries e;
    e.celsius = celsius;
    e.max = max;
    e.min = min;
    e.maxR = QStringLiteral("100");
    e.minR = QStringLiteral("0");
    e.maxCo2 = QStringLiteral("6000");
    e.minCo2 = QStringLiteral("0");
    e.counts = QStringLiteral("210");
    e.from = QStringLiteral("1");
    e.to = QStringLiteral("500");
    return e;
}

const QString kCelsiusMessage = QStringLiteral("-20 <= Celsius <= 60, try again!");
const QString kFahrenheitMessage = QStringLiteral("-4 <= Fahrenheit <= 140, try again!");
const QString kHumidityMessage = QStringLiteral("0 <= RH% <= 100, try again!");
const QString kCo2Message = QStringLiteral("0 <= CO2 ppm <= 6000, try again!");
const QString kCountsMessage = QStringLiteral("10 <= Counts <= 864000, try again!");

} // namespace

class TestRangeEntry : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void temperatureGroup_data()
    {
        QTest::addColumn<bool>("celsius");
        QTest::addColumn<QString>("max");
        QTest::addColumn<QString>("min");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QList<float>>("stored"); // TempMaxC, TempMinC, TempMaxF, TempMinF
        QTest::newRow("Celsius bounds accepted") << true << "60"
                                                 << "-20"
                                                 << "" << QList<float> { 60, -20, 140, -4 };
        QTest::newRow("Celsius top 60.1")
            << true << "60.1"
            << "-20" << kCelsiusMessage << QList<float> { 60, -20, 140, -4 };
        QTest::newRow("Celsius bottom -20.1")
            << true << "60"
            << "-20.1" << kCelsiusMessage << QList<float> { 60, -20, 140, -4 };
        QTest::newRow("Celsius top equal to bottom")
            << true << "10"
            << "10" << kCelsiusMessage << QList<float> { 60, -20, 140, -4 };
        QTest::newRow("Celsius 25 and 10") << true << "25"
                                           << "10"
                                           << "" << QList<float> { 25, 10, 77, 50 };
        QTest::newRow("Celsius rounds F down") << true << "25.3"
                                               << "-17.3"
                                               << "" << QList<float> { 25.3f, -17.3f, 77.5f, 0.8f };
        QTest::newRow("Fahrenheit 33 and 0") << false << "33"
                                             << "0"
                                             << "" << QList<float> { 0.5f, -17.8f, 33, 0 };
        // The alarm dialog's rule: the typed decimal converted exactly, then rounded down.
        QTest::newRow("Fahrenheit 33.8 and 32.9") << false << "33.8"
                                                  << "32.9"
                                                  << "" << QList<float> { 1, 0.5f, 33.8f, 32.9f };
        QTest::newRow("Celsius -12 gives 10.4 F") << true << "20"
                                                  << "-12"
                                                  << "" << QList<float> { 20, -12, 68, 10.4f };
        QTest::newRow("no unit: 50 and 0 as Fahrenheit")
            << false << "50"
            << "0"
            << "" << QList<float> { 10, -17.8f, 50, 0 };
        QTest::newRow("Fahrenheit above 140")
            << false << "141"
            << "0" << kFahrenheitMessage << QList<float> { 60, -20, 140, -4 };
        QTest::newRow("empty boxes read 0")
            << true << ""
            << "" << kCelsiusMessage << QList<float> { 60, -20, 140, -4 };
        QTest::newRow("leading number of a box") << true << "30abc"
                                                 << "-5.5.5"
                                                 << "" << QList<float> { 30, -5.5f, 86, 22.1f };
    }
    void temperatureGroup()
    {
        QFETCH(bool, celsius);
        QFETCH(QString, max);
        QFETCH(QString, min);
        QFETCH(QString, message);
        QFETCH(QList<float>, stored);
        RealTimeRangeSettings settings;
        QCOMPARE(ApplyRealTimeEntries(Entries(celsius, max, min), settings, 210), message);
        QCOMPARE((QList<float> {
                     settings.TempMaxC, settings.TempMinC, settings.TempMaxF, settings.TempMinF }),
            stored);
    }

    // Groups are stored as they pass; the first refused one ends OK.
    void groupsInOrder_data()
    {
        QTest::addColumn<QString>("maxR");
        QTest::addColumn<QString>("maxCo2");
        QTest::addColumn<QString>("counts");
        QTest::addColumn<QString>("message");
        QTest::addColumn<float>("rhMax");
        QTest::addColumn<float>("co2Max");
        QTest::addColumn<float>("sampleStep");
        QTest::newRow("all pass") << "80"
                                  << "3000"
                                  << "200"
                                  << "" << 80.f << 3000.f << 210.f / 200;
        QTest::newRow("humidity 100.5 refused")
            << "100.5"
            << "3000"
            << "200" << kHumidityMessage << 100.f << 6000.f << 1.f;
        QTest::newRow("CO2 refused after humidity stored")
            << "80"
            << "6001"
            << "200" << kCo2Message << 80.f << 6000.f << 1.f;
        QTest::newRow("counts 9 refused") << "80"
                                          << "3000"
                                          << "9" << kCountsMessage << 80.f << 3000.f << 1.f;
        QTest::newRow("counts 10 accepted") << "80"
                                            << "3000"
                                            << "10"
                                            << "" << 80.f << 3000.f << 21.f;
        QTest::newRow("counts 864000 accepted") << "80"
                                                << "3000"
                                                << "864000"
                                                << "" << 80.f << 3000.f << 210.f / 864000;
        QTest::newRow("counts 864001 refused")
            << "80"
            << "3000"
            << "864001" << kCountsMessage << 80.f << 3000.f << 1.f;
    }
    void groupsInOrder()
    {
        QFETCH(QString, maxR);
        QFETCH(QString, maxCo2);
        QFETCH(QString, counts);
        QFETCH(QString, message);
        QFETCH(float, rhMax);
        QFETCH(float, co2Max);
        QFETCH(float, sampleStep);
        RealTimeRangeSettings settings;
        RangeEntries e = Entries(true, QStringLiteral("25"), QStringLiteral("10"));
        e.maxR = maxR;
        e.maxCo2 = maxCo2;
        e.counts = counts;
        QCOMPARE(ApplyRealTimeEntries(e, settings, 210), message);
        QCOMPARE(settings.TempMaxC, 25.f); // the temperature group passed first every time
        QCOMPARE(settings.RHMax, rhMax);
        QCOMPARE(settings.CO2Max, co2Max);
        QCOMPARE(settings.SampleStep, sampleStep);
    }

    void records_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("message");
        QTest::addColumn<float>("pointCount");
        const QString refused = QStringLiteral("1 <= From <= 500, try again!");
        QTest::newRow("whole list") << "1"
                                    << "500"
                                    << "" << 500.f;
        QTest::newRow("5 to 10") << "5"
                                 << "10"
                                 << "" << 6.f;
        QTest::newRow("From 0") << "0"
                                << "500" << refused << 500.f;
        QTest::newRow("To 501") << "1"
                                << "501" << refused << 500.f;
        QTest::newRow("From equal to To") << "250"
                                          << "250" << refused << 500.f;
        QTest::newRow("pasted fraction counts whole") << "2.9"
                                                      << "3.9"
                                                      << "" << 2.f;
    }
    void records()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, message);
        QFETCH(float, pointCount);
        PlotRangeSettings settings;
        ResetPlotRange(settings, 500);
        RangeEntries e = Entries(true, QStringLiteral("60"), QStringLiteral("-20"));
        e.from = from;
        e.to = to;
        QCOMPARE(ApplyPlotEntries(e, settings, 210), message);
        QCOMPARE(settings.PointCount, pointCount);
        if (message.isEmpty())
            QCOMPARE(settings.PointStep, 210.f / pointCount);
    }

    void recordsMessageNamesTheEmptyList()
    {
        PlotRangeSettings settings;
        ResetPlotRange(settings, 0);
        QCOMPARE(settings.PointCount, 0.f);
        QCOMPARE(settings.ToRecord, 0.f);
        QCOMPARE(ApplyPlotEntries(Entries(true, "60", "-20"), settings, 210),
            QStringLiteral("1 <= From <= 0, try again!"));
    }

    void keyFilters_data()
    {
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("accepted");
        QTest::addColumn<QString>("dropped");
        const QString backspace(QChar(8));
        QTest::newRow("signed decimal")
            << int(KeyFilter::SignedDecimal) << "0123456789-." + backspace << "a+e, x\r\x16";
        QTest::newRow("unsigned decimal")
            << int(KeyFilter::UnsignedDecimal) << "0123456789." + backspace << "-a+e,";
        QTest::newRow("digits") << int(KeyFilter::Digits) << "0123456789" + backspace << "-.a+";
        QTest::newRow("any key") << int(KeyFilter::AnyKey) << "09x-+ ."
                                 << "";
    }
    void keyFilters()
    {
        QFETCH(int, filter);
        QFETCH(QString, accepted);
        QFETCH(QString, dropped);
        for (QChar c : accepted)
            QVERIFY2(KeyAccepted(KeyFilter(filter), c), qPrintable(QString(c)));
        for (QChar c : dropped)
            QVERIFY2(!KeyAccepted(KeyFilter(filter), c), qPrintable(QString(c)));
    }

    void boxTexts_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("60") << 60.0 << "60";
        QTest::newRow("-20") << -20.0 << "-20";
        QTest::newRow("15.5") << 15.5 << "15.5";
        QTest::newRow("single -17.8") << double(-17.8f) << "-17.8";
        QTest::newRow("single 0.1") << double(0.1f) << "0.1";
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("large") << 864000.0 << "864000";
    }
    void boxTexts()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(BoxText(value), text);
    }

    void countsShowTheSamplesAcross_data()
    {
        QTest::addColumn<float>("plotWidth");
        QTest::addColumn<float>("sampleStep");
        QTest::addColumn<QString>("text");
        QTest::newRow("default") << 210.f << 1.f << "210";
        QTest::newRow("after Counts 200") << 210.f << 210.f / 200 << "200";
        QTest::newRow("half to even") << 5.f << 2.f << "2";
        QTest::newRow("zero over zero") << 0.f << 0.f << "0";
        QTest::newRow("negative width") << -30.f << 1.f << "-30";
    }
    void countsShowTheSamplesAcross()
    {
        QFETCH(float, plotWidth);
        QFETCH(float, sampleStep);
        QFETCH(QString, text);
        QCOMPARE(CountsText(plotWidth, sampleStep), text);
    }
};

QTEST_APPLESS_MAIN(TestRangeEntry)
#include "test_rangeentry.moc"
