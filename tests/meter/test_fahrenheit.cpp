#include "meter/dewwet.h"
#include "meter/fahrenheit.h"
#include "meter/numbertext.h"

#include <QtTest>

#include <algorithm>
#include <cmath>

namespace
{

// Every tenth from low to high.
QList<double> Tenths(int lowTenths, int highTenths)
{
    QList<double> values;
    for (int k = lowTenths; k <= highTenths; ++k)
        values.append(k / 10.0);
    return values;
}

// Dew points or wet bulbs of air from -40.0 to 125.0 C in half degrees, at humidities from
// 0.1 % in steps of 0.7 %.
QList<double> DewWetValues(bool wet)
{
    QList<double> values;
    for (int t = -400; t <= 1250; t += 5) {
        for (int h = 1; h < 1000; h += 7) {
            const DewWetResult r = wet ? WetBulb(t / 10.0, h / 10.0) : DewPoint(t / 10.0, h / 10.0);
            if (r.ok)
                values.append(r.celsius);
        }
    }
    return values;
}

} // namespace

class TestFahrenheit : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The meter's form and the dew/wet form side by side on what each could convert: their
    // 15-digit texts, those texts cut to one decimal (the display and the data files) and
    // rounded down to one (the listed logger records), and the limits' tenths.
    void formsCompared_data()
    {
        QTest::addColumn<QList<double>>("celsius");
        QTest::addColumn<int>("textsDiffering");
        QTest::addColumn<int>("tenthsDiffering"); // cut or rounded down
        QTest::addColumn<double>("firstDiffering"); // of the tenths; NaN when none
        QTest::addColumn<bool>("limits"); // compare the limits' conversion too
        QTest::newRow("every tenth the meter sends")
            << Tenths(-400, 1250) << 14 << 0 << qQNaN() << true;
        QTest::newRow("every tenth of the dew/wet range")
            << Tenths(-902, 1250) << 14 << 0 << qQNaN() << true;
        QTest::newRow("dew points") << DewWetValues(false) << 1192 << 0 << qQNaN() << false;
        QTest::newRow("wet bulbs")
            << DewWetValues(true) << 721 << 3 << -15.500000000000002 << false;
    }
    void formsCompared()
    {
        QFETCH(QList<double>, celsius);
        QFETCH(int, textsDiffering);
        QFETCH(int, tenthsDiffering);
        QFETCH(double, firstDiffering);
        QFETCH(bool, limits);
        int texts = 0;
        int tenths = 0;
        double first = qQNaN();
        for (const double c : celsius) {
            const QString reading = PlainText(ReadingFahrenheit(c));
            const QString dewWet = PlainText(DewWetFahrenheit(c));
            texts += reading != dewWet;
            const bool cutDiffers = OneDecimalText(reading) != OneDecimalText(dewWet);
            const bool floorDiffers
                = FloorToTenth(ReadingFahrenheit(c)) != FloorToTenth(DewWetFahrenheit(c));
            QCOMPARE(floorDiffers, cutDiffers);
            if (cutDiffers && tenths++ == 0)
                first = c;
            // The limits' conversion of a tenth is either form rounded down.
            if (limits)
                QCOMPARE(CelsiusToFahrenheitTenth(c), FloorToTenth(ReadingFahrenheit(c)));
        }
        QCOMPARE(texts, textsDiffering);
        QCOMPARE(tenths, tenthsDiffering);
        if (std::isnan(firstDiffering))
            QVERIFY(std::isnan(first));
        else
            QCOMPARE(first, firstDiffering);
    }
};

QTEST_APPLESS_MAIN(TestFahrenheit)
#include "test_fahrenheit.moc"
