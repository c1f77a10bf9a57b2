#include "meter/decoding.h"
#include "meter/frames.h"

#include <QtTest>

namespace
{
QString Text(const TaggedValue& v)
{
    return v.text();
}
} // namespace

class TestDecoding : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void co2_data()
    {
        QTest::addColumn<int>("high");
        QTest::addColumn<int>("low");
        QTest::addColumn<QString>("text");
        QTest::newRow("6000 is a reading") << 23 << 112 << "6000";
        QTest::newRow("6001 is over") << 23 << 113 << "OL";
        QTest::newRow("zero") << 0 << 0 << "0";
        QTest::newRow("65535") << 255 << 255 << "OL";
        QTest::newRow("415") << 1 << 159 << "415";
    }
    void co2()
    {
        QFETCH(int, high);
        QFETCH(int, low);
        QFETCH(QString, text);
        CurrentReading r;
        DecodeCo2(r, uint8_t(high), uint8_t(low));
        QCOMPARE(Text(r.Co2Ppm), text);
    }

    void temperature_data()
    {
        QTest::addColumn<int>("word");
        QTest::addColumn<QString>("celsius");
        QTest::addColumn<QString>("fahrenheit");
        QTest::addColumn<bool>("negative");
        QTest::addColumn<bool>("overload");
        QTest::newRow("80 EB") << 0x80EB << "-23.5"
                               << "-10.3" << true << false;
        QTest::newRow("40 00 over") << 0x4000 << "OL"
                                    << "OL" << false << true;
        QTest::newRow("C0 00 under") << 0xC000 << "-OL"
                                     << "-OL" << true << true;
        QTest::newRow("25.0") << 250 << "25"
                              << "77" << false << false;
        QTest::newRow("negative zero") << 0x8000 << "0"
                                       << "32" << true << false;
        QTest::newRow("largest magnitude") << 0x3FFF << "1638.3"
                                           << "2980.94" << false << false;
        QTest::newRow("-9.5") << (0x8000 | 95) << "-9.5"
                              << "14.9" << true << false;
    }
    void temperature()
    {
        QFETCH(int, word);
        QFETCH(QString, celsius);
        QFETCH(QString, fahrenheit);
        QFETCH(bool, negative);
        QFETCH(bool, overload);
        CurrentReading r;
        DecodeTemperature(r, uint8_t(word >> 8), uint8_t(word & 0xFF));
        QCOMPARE(Text(r.TempC), celsius);
        QCOMPARE(Text(r.TempF), fahrenheit);
        QCOMPARE(r.TempNegative, negative);
        QCOMPARE(r.TempOverload, overload);
    }

    void humidityAndStatus()
    {
        CurrentReading r;
        DecodeHumidity(r, 0x01, 0xF4);
        QCOMPARE(Text(r.HumidityPct), QStringLiteral("50"));
        DecodeHumidity(r, 0x03, 0xE8);
        QCOMPARE(Text(r.HumidityPct), QStringLiteral("100"));
        DecodeStatus(r, 0x80);
        QVERIFY(r.NoTrhReading);
        DecodeStatus(r, 0x7F);
        QVERIFY(!r.NoTrhReading);
    }

    void dewAndWetOfAReading_data()
    {
        QTest::addColumn<int>("temperatureWord");
        QTest::addColumn<int>("humidity");
        QTest::addColumn<QStringList>("expected"); // DewC, DewF, WetC, WetF prefixes
        QTest::newRow("over marks all four")
            << 0x4000 << 500 << QStringList { "OL", "OL", "OL", "OL" };
        QTest::newRow("under marks all four")
            << 0xC000 << 500 << QStringList { "-OL", "-OL", "-OL", "-OL" };
        QTest::newRow("saturated equals the air")
            << 250 << 1000 << QStringList { "25", "77", "25", "77" };
        QTest::newRow("above saturation")
            << 0x80EB << 1200 << QStringList { "-23.5", "-10.3", "-23.5", "-10.3" };
        QTest::newRow("saturated overload keeps the marker")
            << 0x4000 << 1000 << QStringList { "OL", "OL", "OL", "OL" };
        QTest::newRow("worked example 25 C 50 %")
            << 250 << 500 << QStringList { "13.89", "57.00", "18.04", "64.47" };
    }
    void dewAndWetOfAReading()
    {
        QFETCH(int, temperatureWord);
        QFETCH(int, humidity);
        QFETCH(QStringList, expected);
        CurrentReading r;
        ReadingFields f;
        f.temperatureHigh = uint8_t(temperatureWord >> 8);
        f.temperatureLow = uint8_t(temperatureWord & 0xFF);
        f.humidityHigh = uint8_t(humidity >> 8);
        f.humidityLow = uint8_t(humidity & 0xFF);
        DecodeReading(r, f);
        const QStringList got { r.DewC.text(), r.DewF.text(), r.WetC.text(), r.WetF.text() };
        for (int i = 0; i < 4; ++i)
            QVERIFY2(got[i].startsWith(expected[i]), qPrintable(got.join(' ')));
    }

    void humidityZeroKeepsThePreviousDewAndWet()
    {
        CurrentReading r;
        DecodeReading(r, { 0, 1, 0, 0x01, 0xF4, 0, 250 });
        const QList<TaggedValue> before { r.DewC, r.DewF, r.WetC, r.WetF };
        DecodeReading(r, { 0, 1, 0, 0, 0, 0, 200 });
        QCOMPARE(r.TempC.text(), QStringLiteral("20"));
        QCOMPARE((QList<TaggedValue> { r.DewC, r.DewF, r.WetC, r.WetF }), before);
    }

    void noReadingSetsTheSevenFields()
    {
        CurrentReading r;
        DecodeReading(r, { 0x80, 0x01, 0x9F, 0x01, 0xF4, 0, 250 });
        QCOMPARE(r.Co2Ppm.text(), QStringLiteral("415"));
        for (const QString& text : { r.TempC.text(), r.TempF.text(), r.HumidityPct.text(),
                 r.DewC.text(), r.DewF.text(), r.WetC.text(), r.WetF.text() })
            QCOMPARE(text, QStringLiteral("----"));
    }

    void classify_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("kind");
        const QByteArray live = QByteArray::fromHex("02 00 01 9f 01 f4 00 fa 03");
        QTest::newRow("live") << live + live.left(6) << int(FrameKind::LiveReading);
        QTest::newRow("ninth byte wrong")
            << QByteArray::fromHex("02 00 01 9f 01 f4 00 fa 04 00 00 00 00 00 00")
            << int(FrameKind::OutOfStep);
        QTest::newRow("shifted") << QByteArray(1, '\0') + live + live.left(5)
                                 << int(FrameKind::OutOfStep);
        QTest::newRow("signature")
            << QByteArray::fromHex("aa 55 aa 55 aa 55 aa 55 aa 55 aa 03 00 05 40")
            << int(FrameKind::Signature);
        QTest::newRow("signature with a bad byte")
            << QByteArray::fromHex("aa 55 aa 55 aa 55 aa 55 aa 54 aa 03 00 05 40")
            << int(FrameKind::OutOfStep);
        QTest::newRow("empty") << QByteArray() << int(FrameKind::OutOfStep);
    }
    void classify()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, kind);
        QCOMPARE(int(ClassifyFrame(bytes)), kind);
    }

    void signatureFields()
    {
        const SignatureInfo info = ParseSignature(
            QByteArray::fromHex("aa 55 aa 55 aa 55 aa 55 aa 55 aa 03 01 05 40 99"));
        QCOMPARE(info.setCount, 3);
        QCOMPARE(info.writeAddress, quint32(0x010540));
    }
};

QTEST_APPLESS_MAIN(TestDecoding)
#include "test_decoding.moc"
