#include "meter/dewwet.h"

#include <QtTest>

#include <cmath>
#include <vector>

namespace
{

// The wet-bulb search written out from its definition, sharing the passes of one temperature
// between all humidities: pass k looks at d_k (d_0 = 0, each next one 0.01 less) and stops when
// e1 == e or e lies between e1 and e2; the answer is t + d_{k+1} + 0.01.
struct PassTable {
    std::vector<double> d, e1, e2;
    bool failedAtEnd = false;
};

PassTable PassesFor(double t, double smallestE)
{
    PassTable table;
    const double T = t + 273.15;
    double d = 0;
    for (;;) {
        const Pressure upper = SaturationPressure(T + d);
        const Pressure lower = SaturationPressure(T + d - 0.1);
        table.d.push_back(d);
        if (!upper.ok || !lower.ok) {
            table.failedAtEnd = true;
            return table;
        }
        const double e1 = upper.pa + 0.000662 * 101325.0 * d;
        const double e2 = lower.pa + 0.000662 * 101325.0 * (d - 0.1);
        table.e1.push_back(e1);
        table.e2.push_back(e2);
        d = d - 0.01;
        if ((smallestE - e1) * (smallestE - e2) <= 0 || e1 == smallestE) {
            table.d.push_back(d);
            return table;
        }
    }
}

} // namespace

class TestDewWet : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void workedExample()
    {
        const Pressure es = SaturationPressure(25.0 + 273.15);
        QVERIFY(es.ok);
        QVERIFY(std::abs(es.pa - 3168.74) < 0.01);
        const DewWetResult dew = DewPoint(25.0, 50.0);
        QVERIFY(dew.ok);
        QVERIFY(std::abs(dew.celsius - 13.894) < 0.001);
        QVERIFY(std::abs(dew.fahrenheit - 57.009) < 0.001);
        const DewWetResult wet = WetBulb(25.0, 50.0);
        QVERIFY(wet.ok);
        QVERIFY(std::abs(wet.celsius - 18.04) < 1e-9);
        QVERIFY(std::abs(wet.fahrenheit - 64.472) < 1e-9);
    }

    void failingSteps_data()
    {
        QTest::addColumn<double>("t");
        QTest::addColumn<double>("h");
        QTest::addColumn<bool>("dewOk");
        QTest::addColumn<bool>("wetOk");
        QTest::newRow("humidity 0: log of zero") << 20.0 << 0.0 << false << true;
        QTest::newRow("below absolute zero") << -300.0 << 50.0 << false << false;
        QTest::newRow("hottest decodable reading") << 1638.3 << 0.1 << true << true;
        QTest::newRow("coldest decodable reading") << -1638.3 << 50.0 << false << false;
    }
    void failingSteps()
    {
        QFETCH(double, t);
        QFETCH(double, h);
        QFETCH(bool, dewOk);
        QFETCH(bool, wetOk);
        QCOMPARE(DewPoint(t, h).ok, dewOk);
        const DewWetResult fast = WetBulb(t, h);
        const DewWetResult stepped = WetBulbByStepping(t, h);
        QCOMPARE(fast.ok, wetOk);
        QCOMPARE(stepped.ok, wetOk);
        if (wetOk)
            QVERIFY(fast.celsius == stepped.celsius);
    }

    // The fast search gives the very same double as stepping, over the whole range a person
    // meets: -40 to 80 C every 0.1, 0.5 to 99.5 % every 0.5.
    void fastSearchEqualsSteppingOnTheDenseGrid()
    {
        int compared = 0;
        for (int tenth = -400; tenth <= 800; ++tenth) {
            const double t = tenth * 0.1;
            const Pressure es = SaturationPressure(t + 273.15);
            QVERIFY(es.ok);
            const PassTable passes = PassesFor(t, 0.5 * es.pa * 0.01);
            size_t k = 0;
            for (int half = 199; half >= 1; --half) { // falling humidity: the stop moves down
                const double h = half * 0.5;
                const double e = h * es.pa * 0.01;
                while (k < passes.e1.size()
                    && !(passes.e1[k] == e || (e - passes.e1[k]) * (e - passes.e2[k]) <= 0))
                    ++k;
                QVERIFY(k < passes.e1.size());
                const double expected = t + passes.d[k + 1] + 0.01;
                const DewWetResult fast = WetBulb(t, h);
                if (!fast.ok || fast.celsius != expected)
                    QFAIL(qPrintable(QStringLiteral("t=%1 h=%2: %3 instead of %4")
                                         .arg(t)
                                         .arg(h)
                                         .arg(fast.celsius, 0, 'g', 17)
                                         .arg(expected, 0, 'g', 17)));
                ++compared;
            }
        }
        QCOMPARE(compared, 1201 * 199);
    }

    // The written-out oracle above agrees with the program's own stepping search.
    void steppingSearchAgreesOnACoarseGrid()
    {
        for (int t = -40; t <= 80; t += 10) {
            for (double h : { 0.5, 5.0, 33.3, 50.0, 99.9 }) {
                const DewWetResult stepped = WetBulbByStepping(t, h);
                const DewWetResult fast = WetBulb(t, h);
                QVERIFY(stepped.ok && fast.ok);
                QVERIFY2(stepped.celsius == fast.celsius,
                    qPrintable(QStringLiteral("t=%1 h=%2").arg(t).arg(h)));
                QVERIFY(stepped.fahrenheit == fast.fahrenheit);
            }
        }
    }

    // Out of the everyday range the meter can still report: a sparse sweep.
    void fastSearchEqualsSteppingAcrossTheDecodableRange()
    {
        for (int tenth = -2700; tenth <= 16383; tenth += 997) {
            for (double h : { 0.1, 20.0, 99.9 }) {
                const double t = tenth * 0.1;
                const DewWetResult stepped = WetBulbByStepping(t, h);
                const DewWetResult fast = WetBulb(t, h);
                QCOMPARE(fast.ok, stepped.ok);
                if (stepped.ok)
                    QVERIFY2(stepped.celsius == fast.celsius,
                        qPrintable(QStringLiteral("t=%1 h=%2").arg(t).arg(h)));
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestDewWet)
#include "test_dewwet.moc"
