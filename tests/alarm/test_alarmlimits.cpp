#include "alarm/alarmlimits.h"
#include "meter/numbertext.h"

#include <QtTest>

#include <cmath>

namespace
{

// The boxes as a fill of the default settings leaves them: 60/-20, 100/0, 60/-20, 60/-20, 6000/0.
LimitTexts DefaultTexts()
{
    return ShownLimitTexts(AlarmSettings {});
}

LimitBoxTexts& Box(LimitTexts& texts, AlarmQuantity q)
{
    return texts[static_cast<int>(q)];
}

// floor(a / b) for whole numbers, b > 0.
long long FloorDiv(long long a, long long b)
{
    const long long q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

} // namespace

Q_DECLARE_METATYPE(AlarmQuantity)

class TestAlarmLimits : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void conversionsRoundDown_data()
    {
        QTest::addColumn<bool>("fromCelsius");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("expected");
        QTest::newRow("60 C") << true << 60.0 << 140.0;
        QTest::newRow("-20 C") << true << -20.0 << -4.0;
        QTest::newRow("37.5 C") << true << 37.5 << 99.5;
        QTest::newRow("-17.8 C floors below zero") << true << -17.8 << -0.1;
        QTest::newRow("21.1 C floors") << true << 21.1 << 69.9;
        QTest::newRow("0 C") << true << 0.0 << 32.0;
        QTest::newRow("140 F") << false << 140.0 << 60.0;
        QTest::newRow("-4 F") << false << -4.0 << -20.0;
        QTest::newRow("100 F floors") << false << 100.0 << 37.7;
        QTest::newRow("32.9 F is exactly 0.5 C") << false << 32.9 << 0.5;
        QTest::newRow("0 F") << false << 0.0 << -17.8;
        QTest::newRow("32 F") << false << 32.0 << 0.0;
    }
    void conversionsRoundDown()
    {
        QFETCH(bool, fromCelsius);
        QFETCH(double, value);
        QFETCH(double, expected);
        const double got
            = fromCelsius ? CelsiusToFahrenheitLimit(value) : FahrenheitToCelsiusLimit(value);
        QCOMPARE(got, expected);
    }

    // Every one-decimal limit from -100.0 to 300.0 converts to the exact decimal floor, with
    // no tenth lost to binary rounding.
    void conversionsMatchExactDecimalArithmetic()
    {
        for (long long tenths = -1000; tenths <= 3000; ++tenths) {
            const double value = tenths / 10.0;
            // C x 1.8 + 32, in tenths: (18 t + 3200) / 10.
            const long long fahrenheit = FloorDiv(18 * tenths + 3200, 10);
            // (F - 32) / 1.8, in tenths: (t - 320) x 5 / 9.
            const long long celsius = FloorDiv((tenths - 320) * 5, 9);
            QCOMPARE(CelsiusToFahrenheitLimit(value), fahrenheit / 10.0);
            QCOMPARE(FahrenheitToCelsiusLimit(value), celsius / 10.0);
        }
    }

    void validation_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("high");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        const struct {
            AlarmQuantity q;
            const char* name;
        } rows[] = { { AlarmQuantity::Temperature, "temperature" },
            { AlarmQuantity::Humidity, "RH" }, { AlarmQuantity::Dew, "dew" },
            { AlarmQuantity::Wet, "wet" }, { AlarmQuantity::Co2, "CO2" } };
        for (const auto& r : rows) {
            const int row = static_cast<int>(r.q);
            const QString low = DefaultTexts()[row].low;
            const QString high = DefaultTexts()[row].high;
            QTest::addRow("%s low equal to high", r.name) << row << false << high << false;
            QTest::addRow("%s high equal to low", r.name) << row << true << low << false;
            QTest::addRow("%s empty high", r.name) << row << true << QString() << false;
            QTest::addRow("%s empty low", r.name) << row << false << QString() << false;
            QTest::addRow("%s low above high", r.name) << row << false << "7000" << false;
            QTest::addRow("%s low equal to high, trailing text ignored", r.name)
                << row << false << QString(high + "-") << false;
            QTest::addRow("%s low just below high", r.name)
                << row << false << LimitText(LeadingNumber(high) - 0.5) << true;
        }
        QTest::newRow("unchanged defaults") << 0 << true << "60" << true;
        QTest::newRow("non-numeric high reads 0, equal to low") << 1 << true << "-" << false;
        QTest::newRow("non-numeric low reads 0") << 0 << false << "." << true;
        QTest::newRow("leading number read") << 4 << true << "12-5" << true;
        QTest::newRow("fraction above low") << 1 << true << ".5" << true;
        QTest::newRow("low 59.99 under 60") << 0 << false << "59.99" << true;
        QTest::newRow("negative low") << 2 << false << "-40.5" << true;
        QTest::newRow("temperature too big to convert")
            << 0 << true << QString(QLatin1Char('9')).repeated(308) << false;
        QTest::newRow("CO2 need not convert")
            << 4 << true << QString(QLatin1Char('9')).repeated(308) << true;
    }
    void validation()
    {
        QFETCH(int, row);
        QFETCH(bool, high);
        QFETCH(QString, text);
        QFETCH(bool, valid);
        LimitTexts texts = DefaultTexts();
        (high ? texts[row].high : texts[row].low) = text;
        QCOMPARE(LimitTextsValid(texts), valid);
    }

    void storeInCelsiusConvertsToFahrenheit()
    {
        AlarmSettings s;
        s.TemperatureEnabled = true;
        LimitTexts t = DefaultTexts();
        Box(t, AlarmQuantity::Temperature) = { "37.5", "-17.8" };
        Box(t, AlarmQuantity::Humidity) = { "80", "20.5" };
        Box(t, AlarmQuantity::Dew) = { "60", "-20" };
        Box(t, AlarmQuantity::Wet) = { "30.25", "10" };
        Box(t, AlarmQuantity::Co2) = { "2000", "400" };
        QVERIFY(LimitTextsValid(t));
        StoreLimits(s, t);
        QCOMPARE(s.TempHighC, 37.5);
        QCOMPARE(s.TempLowC, -17.8);
        QCOMPARE(s.TempHighF, 99.5);
        QCOMPARE(s.TempLowF, -0.1);
        QCOMPARE(s.HumidityHigh, 80.0);
        QCOMPARE(s.HumidityLow, 20.5);
        QCOMPARE(s.DewHighF, 140.0);
        QCOMPARE(s.DewLowF, -4.0);
        QCOMPARE(s.WetHighC, 30.25);
        QCOMPARE(s.WetHighF, 86.4);
        QCOMPARE(s.WetLowF, 50.0);
        QCOMPARE(s.Co2High, 2000.0);
        QCOMPARE(s.Co2Low, 400.0);
        QVERIFY(s.TemperatureEnabled);
        QVERIFY(!s.Co2Enabled);
        QCOMPARE(s.Unit, QStringLiteral("C"));
    }

    void storeInFahrenheitConvertsToCelsius()
    {
        AlarmSettings s;
        s.Unit = QStringLiteral("F");
        s.HumidityEnabled = true;
        LimitTexts t = ShownLimitTexts(s);
        QCOMPARE(Box(t, AlarmQuantity::Temperature).high, QStringLiteral("140"));
        Box(t, AlarmQuantity::Temperature) = { "100", "32.9" };
        Box(t, AlarmQuantity::Dew) = { "140", "-4" };
        Box(t, AlarmQuantity::Wet) = { "90", "0" };
        StoreLimits(s, t);
        QCOMPARE(s.TempHighF, 100.0);
        QCOMPARE(s.TempLowF, 32.9);
        QCOMPARE(s.TempHighC, 37.7);
        QCOMPARE(s.TempLowC, 0.5);
        QCOMPARE(s.DewHighC, 60.0);
        QCOMPARE(s.DewLowC, -20.0);
        QCOMPARE(s.WetHighC, 32.2);
        QCOMPARE(s.WetLowC, -17.8);
        QCOMPARE(s.HumidityHigh, 100.0);
        QCOMPARE(s.Co2High, 6000.0);
        QVERIFY(s.HumidityEnabled);
    }

    void shownLimitsFollowTheUnit_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<AlarmQuantity>("quantity");
        QTest::addColumn<double>("high");
        QTest::addColumn<double>("low");
        QTest::newRow("C temperature") << "C" << AlarmQuantity::Temperature << 1.0 << 2.0;
        QTest::newRow("F temperature") << "F" << AlarmQuantity::Temperature << 3.0 << 4.0;
        QTest::newRow("C dew") << "C" << AlarmQuantity::Dew << 5.0 << 6.0;
        QTest::newRow("F dew") << "F" << AlarmQuantity::Dew << 7.0 << 8.0;
        QTest::newRow("C wet") << "C" << AlarmQuantity::Wet << 9.0 << 10.0;
        QTest::newRow("F wet") << "F" << AlarmQuantity::Wet << 11.0 << 12.0;
        QTest::newRow("C RH") << "C" << AlarmQuantity::Humidity << 13.0 << 14.0;
        QTest::newRow("F RH") << "F" << AlarmQuantity::Humidity << 13.0 << 14.0;
        QTest::newRow("C CO2") << "C" << AlarmQuantity::Co2 << 15.0 << 16.0;
        QTest::newRow("F CO2") << "F" << AlarmQuantity::Co2 << 15.0 << 16.0;
    }
    void shownLimitsFollowTheUnit()
    {
        QFETCH(QString, unit);
        QFETCH(AlarmQuantity, quantity);
        QFETCH(double, high);
        QFETCH(double, low);
        AlarmSettings s;
        s.Unit = unit;
        s.TempHighC = 1, s.TempLowC = 2, s.TempHighF = 3, s.TempLowF = 4;
        s.DewHighC = 5, s.DewLowC = 6, s.DewHighF = 7, s.DewLowF = 8;
        s.WetHighC = 9, s.WetLowC = 10, s.WetHighF = 11, s.WetLowF = 12;
        s.HumidityHigh = 13, s.HumidityLow = 14, s.Co2High = 15, s.Co2Low = 16;
        const LimitPair pair = ShownLimits(s, quantity);
        QCOMPARE(pair.high, high);
        QCOMPARE(pair.low, low);
        const LimitBoxTexts texts = ShownLimitTexts(s)[static_cast<int>(quantity)];
        QCOMPARE(texts.high, LimitText(high));
        QCOMPARE(texts.low, LimitText(low));
    }
};

QTEST_APPLESS_MAIN(TestAlarmLimits)
#include "test_alarmlimits.moc"
