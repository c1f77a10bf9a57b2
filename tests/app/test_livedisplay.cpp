#include "acquisition/livedisplay.h"
#include "alarm/alarmcheck.h"
#include "alarm/alarmsettings.h"
#include "meter/decoding.h"

#include <QtTest>

namespace
{

CurrentReading Reading(int temperatureWord, int humidityTenths, int co2, int status = 0)
{
    CurrentReading r;
    DecodeReading(r,
        { uint8_t(status), uint8_t(co2 >> 8), uint8_t(co2 & 0xFF), uint8_t(humidityTenths >> 8),
            uint8_t(humidityTenths & 0xFF), uint8_t(temperatureWord >> 8),
            uint8_t(temperatureWord & 0xFF) });
    return r;
}

AlarmSettings AllOn()
{
    AlarmSettings s;
    s.TemperatureEnabled = s.HumidityEnabled = s.DewEnabled = s.WetEnabled = s.Co2Enabled = true;
    return s;
}

} // namespace

Q_DECLARE_METATYPE(AlarmQuantity)
Q_DECLARE_METATYPE(AlarmOutcome)

class TestLiveDisplay : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void displayTextsOfAReading()
    {
        const DisplayTexts t = DisplayTextsFor(Reading(250, 500, 415));
        QCOMPARE(t.LblAir, QStringLiteral("415"));
        QCOMPARE(t.LblRH, QStringLiteral("50.0"));
        QCOMPARE(t.UsedC, QStringLiteral("25.0"));
        QCOMPARE(t.UsedDC, QStringLiteral("13.8"));
        QCOMPARE(t.UsedWC, QStringLiteral("18.0"));
        QCOMPARE(t.UsedF, QStringLiteral("77.0"));
        QCOMPARE(t.UsedDF, QStringLiteral("57.0"));
        QCOMPARE(t.UsedWF, QStringLiteral("64.4"));
    }

    void displayTextsOfMarkers()
    {
        const DisplayTexts over = DisplayTextsFor(Reading(0x4000, 500, 6001));
        QCOMPARE(over.LblAir, QStringLiteral("OL"));
        QCOMPARE(over.UsedC, QStringLiteral("OL.0"));
        QCOMPARE(over.UsedWF, QStringLiteral("OL.0"));
        const DisplayTexts none = DisplayTextsFor(Reading(250, 500, 415, 0x80));
        QCOMPARE(none.LblRH, QStringLiteral("----.0"));
        QCOMPARE(none.UsedDC, QStringLiteral("----.0"));
        QCOMPARE(none.LblAir, QStringLiteral("415"));
    }

    void alarmCheck_data()
    {
        QTest::addColumn<AlarmQuantity>("quantity");
        QTest::addColumn<int>("temperatureWord");
        QTest::addColumn<int>("humidity");
        QTest::addColumn<int>("co2");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("celsius");
        QTest::addColumn<AlarmOutcome>("outcome");
        const auto T = AlarmQuantity::Temperature;
        QTest::newRow("temperature at the high limit is inside")
            << T << 600 << 500 << 400 << 0 << true << AlarmOutcome::Inside;
        QTest::newRow("temperature above")
            << T << 601 << 500 << 400 << 0 << true << AlarmOutcome::Over;
        QTest::newRow("temperature at the low limit")
            << T << (0x8000 | 200) << 500 << 400 << 0 << true << AlarmOutcome::Inside;
        QTest::newRow("temperature below")
            << T << (0x8000 | 201) << 500 << 400 << 0 << true << AlarmOutcome::Under;
        QTest::newRow("overload is over whatever the limits")
            << T << 0x4000 << 500 << 400 << 0 << true << AlarmOutcome::Over;
        QTest::newRow("negative overload is under")
            << T << 0xC000 << 500 << 400 << 0 << true << AlarmOutcome::Under;
        QTest::newRow("fahrenheit compares the fahrenheit limits: 60.1 C = 140.18 F")
            << T << 601 << 500 << 400 << 0 << false << AlarmOutcome::Over;
        QTest::newRow("no reading hides and stays quiet")
            << T << 250 << 500 << 400 << 0x80 << true << AlarmOutcome::NoReading;
        QTest::newRow("co2 over marker")
            << AlarmQuantity::Co2 << 250 << 500 << 6001 << 0 << true << AlarmOutcome::Over;
        QTest::newRow("co2 at 6000 is inside")
            << AlarmQuantity::Co2 << 250 << 500 << 6000 << 0 << true << AlarmOutcome::Inside;
        QTest::newRow("humidity above 100")
            << AlarmQuantity::Humidity << 250 << 1001 << 400 << 0 << true << AlarmOutcome::Over;
        QTest::newRow("humidity at 100 is inside")
            << AlarmQuantity::Humidity << 250 << 1000 << 400 << 0 << true << AlarmOutcome::Inside;
        QTest::newRow("dew at saturation equals the temperature")
            << AlarmQuantity::Dew << 601 << 1000 << 400 << 0 << true << AlarmOutcome::Over;
        QTest::newRow("wet over marker")
            << AlarmQuantity::Wet << 0x4000 << 500 << 400 << 0 << true << AlarmOutcome::Over;
        QTest::newRow("wet under marker")
            << AlarmQuantity::Wet << 0xC000 << 500 << 400 << 0 << false << AlarmOutcome::Under;
    }
    void alarmCheck()
    {
        QFETCH(AlarmQuantity, quantity);
        QFETCH(int, temperatureWord);
        QFETCH(int, humidity);
        QFETCH(int, co2);
        QFETCH(int, status);
        QFETCH(bool, celsius);
        QFETCH(AlarmOutcome, outcome);
        const CurrentReading r = Reading(temperatureWord, humidity, co2, status);
        QCOMPARE(CheckAlarm(quantity, r, AllOn(), celsius), outcome);
        QCOMPARE(CheckAlarm(quantity, r, AlarmSettings(), celsius), AlarmOutcome::Off);
    }

    void comparesTheReadingNotTheCutText()
    {
        AlarmSettings s = AllOn();
        s.DewHighC = 13.85; // the dew point of 25 C / 50 % is 13.894, shown as 13.8
        QCOMPARE(
            CheckAlarm(AlarmQuantity::Dew, Reading(250, 500, 400), s, true), AlarmOutcome::Over);
    }

    void indicatorsToggleOncePerFrame()
    {
        IndicatorPair p;
        p = NextIndicators(AlarmOutcome::Over, p);
        QVERIFY(p.over && !p.under);
        p = NextIndicators(AlarmOutcome::Over, p);
        QVERIFY(!p.over && !p.under);
        p = NextIndicators(AlarmOutcome::Over, p);
        p = NextIndicators(AlarmOutcome::Under, p);
        QVERIFY(!p.over && p.under);
        p = NextIndicators(AlarmOutcome::Off, p);
        QVERIFY(!p.over && !p.under);
        QVERIFY(Beeps(AlarmOutcome::Over) && Beeps(AlarmOutcome::Under));
        QVERIFY(!Beeps(AlarmOutcome::NoReading) && !Beeps(AlarmOutcome::Inside));
    }

    void unitSwitchText_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("rounds") << "23.46"
                                << " 23.5";
        QTest::newRow("negative") << "-3.2"
                                  << "-3.2";
        QTest::newRow("half away from zero") << "-3.25"
                                             << "-3.3";
        QTest::newRow("whole") << "25"
                               << " 25.0";
        QTest::newRow("tiny negative") << "-0.000000000000000111022302462516"
                                       << " 0.0";
        QTest::newRow("marker unchanged") << "OL"
                                          << "OL";
        QTest::newRow("no reading unchanged") << "----"
                                              << "----";
    }
    void unitSwitchText()
    {
        QFETCH(QString, value);
        QFETCH(QString, shown);
        QCOMPARE(UnitSwitchText(value), shown);
    }
};

QTEST_APPLESS_MAIN(TestLiveDisplay)
#include "test_livedisplay.moc"
