#include "meter/fahrenheit.h"
#include "meter/numbertext.h"

#include <QLocale>
#include <QtTest>
#include <clocale>
#include <limits>

class TestNumberText : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void plainText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("fifteen digits") << 11.97384114123651234 << "11.9738411412365";
        QTest::newRow("half") << 23.5 << "23.5";
        QTest::newRow("whole") << 45.0 << "45";
        QTest::newRow("tenth") << 0.3 << "0.3";
        QTest::newRow("tiny negative, no exponent")
            << -1.11022302462516e-16 << "-0.000000000000000111022302462516";
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("fahrenheit of -9.5") << (-9.5 * 9 / 5 + 32) << "14.9";
        QTest::newRow("large") << 1e20 << "100000000000000000000";
        QTest::newRow("rounds at 15 digits") << 0.1 + 0.2 << "0.3";
        QTest::newRow("negative") << -23.5 << "-23.5";
        // The longest texts there are.
        QTest::newRow("smallest subnormal, negative")
            << -std::numeric_limits<double>::denorm_min()
            << QStringLiteral("-0.") + QString(323, QLatin1Char('0')) + "494065645841247";
        QTest::newRow("largest") << std::numeric_limits<double>::max()
                                 << QStringLiteral("179769313486232")
                + QString(294, QLatin1Char('0'));
    }
    void plainText()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(PlainText(value), text);
    }

    void plainTextIgnoresTheLocale()
    {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(PlainText(23.46), QStringLiteral("23.46"));
        QLocale::setDefault(saved);
    }

    // Qt takes the C library's number settings from the user's locale; a comma locale must not
    // reach the texts or the reading of boxes.
    void numbersIgnoreACommaCLocale()
    {
        const char* found = nullptr;
        for (const char* name : { "de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8" }) {
            if (std::setlocale(LC_NUMERIC, name)) {
                found = name;
                break;
            }
        }
        if (!found)
            QSKIP("no locale with a decimal comma is installed");
        const QString text = PlainText(23.46);
        const double read = LeadingNumber(QStringLiteral("7.25"));
        std::setlocale(LC_NUMERIC, "C");
        QCOMPARE(text, QStringLiteral("23.46"));
        QCOMPARE(read, 7.25);
    }

    void oneDecimalText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("cut, not rounded") << "23.46"
                                          << "23.4";
        QTest::newRow("whole") << "45"
                               << "45.0";
        QTest::newRow("locale comma") << "23,46"
                                      << "23.4";
        QTest::newRow("long tail") << "18.0400000000001"
                                   << "18.0";
        QTest::newRow("negative") << "-3.29"
                                  << "-3.2";
        QTest::newRow("over") << "OL"
                              << "OL.0";
        QTest::newRow("under") << "-OL"
                               << "-OL.0";
        QTest::newRow("no reading") << "----"
                                    << "----.0";
        QTest::newRow("tiny") << "-0.000000000000000111022302462516"
                              << "-0.0";
    }
    void oneDecimalText()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(OneDecimalText(text), shown);
    }

    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("letters") << "abc" << 0.0;
        QTest::newRow("stops at letter") << "12x5" << 12.0;
        QTest::newRow("leading blanks") << "  7.25" << 7.25;
        QTest::newRow("negative") << "-17.8" << -17.8;
        QTest::newRow("lone minus") << "-" << 0.0;
        QTest::newRow("second point stops") << "1.2.3" << 1.2;
        QTest::newRow("exponent") << "1e3" << 1000.0;
        QTest::newRow("dangling exponent") << "5e" << 5.0;
        QTest::newRow("marker") << "----" << 0.0;
        QTest::newRow("over range") << "1e999" << 0.0;
    }
    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(LeadingNumber(text), value);
    }

    void floorToTenth_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("floored");
        QTest::newRow("positive") << 3.46 << 3.4;
        QTest::newRow("negative") << -3.46 << -3.5;
        QTest::newRow("99.5") << 37.5 * 1.8 + 32 << 99.5;
        QTest::newRow("-0.1") << -17.8 * 1.8 + 32 << -0.1;
    }
    void floorToTenth()
    {
        QFETCH(double, value);
        QFETCH(double, floored);
        QCOMPARE(FloorToTenth(value), floored);
    }

    // One conversion for every dialog: the typed decimal converted exactly, then rounded down.
    void temperatureConversions_data()
    {
        QTest::addColumn<bool>("fromCelsius");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("expected");
        QTest::newRow("33.8 F is 1.0 C") << false << 33.8 << 1.0;
        QTest::newRow("32.9 F is 0.5 C") << false << 32.9 << 0.5;
        QTest::newRow("33 F") << false << 33.0 << 0.5;
        QTest::newRow("100 F floors") << false << 100.0 << 37.7;
        QTest::newRow("-4 F") << false << -4.0 << -20.0;
        QTest::newRow("-12 C is 10.4 F") << true << -12.0 << 10.4;
        QTest::newRow("-9.5 C") << true << -9.5 << 14.9;
        QTest::newRow("-17.8 C floors below zero") << true << -17.8 << -0.1;
        QTest::newRow("37.5 C") << true << 37.5 << 99.5;
        QTest::newRow("tiny C") << true << 1e-20 << 32.0;
        QTest::newRow("huge C") << true << 1e300 << 1.8e300;
        QTest::newRow("infinite F") << false << -qInf() << -qInf();
    }
    void temperatureConversions()
    {
        QFETCH(bool, fromCelsius);
        QFETCH(double, value);
        QFETCH(double, expected);
        QCOMPARE(fromCelsius ? CelsiusToFahrenheitTenth(value) : FahrenheitToCelsiusTenth(value),
            expected);
    }
};

QTEST_APPLESS_MAIN(TestNumberText)
#include "test_numbertext.moc"
