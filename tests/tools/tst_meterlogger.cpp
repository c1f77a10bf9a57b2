// The virtual meter's logger memory: set plans, set headers, the signature frame, the
// write address and the full-memory layout.
#include "loggerimage.h"
#include "rawreading.h"

#include <QTest>

namespace
{

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text));
}

LoggerSetPlan plan(const QString& text)
{
    LoggerSetPlan s;
    QString error;
    if (!LoggerSetPlan::parse(text, &s, &error))
        qWarning("%s", qPrintable(error));
    return s;
}

} // namespace

class TestMeterLogger : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void setSpecParses_data();
    void setSpecParses();
    void headerBytes_data();
    void headerBytes();
    void imageLaysSetsBackToBack_data();
    void imageLaysSetsBackToBack();
    void imageRefusesWhatDoesNotFit_data();
    void imageRefusesWhatDoesNotFit();
    void fullMemoryFillsTheWholeLogger();
    void kindsShapeTheRecords_data();
    void kindsShapeTheRecords();
    void sameSeedSameImage();
};

void TestMeterLogger::setSpecParses_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("fields"); // records start interval kind repeat
    QTest::newRow("records only") << "70" << true << "70 12:00:00 60 0 1";
    QTest::newRow("everything") << "5,START=23:59:30,INTERVAL=60,KIND=mixed,REPEAT=3" << true
                                << "5 23:59:30 60 4 3";
    QTest::newRow("lower case keys, spaces")
        << "0, start=0:0:0 , kind=NoData" << true << "0 00:00:00 60 1 1";
    QTest::newRow("largest interval")
        << "1,INTERVAL=65535,KIND=co2over" << true << "1 12:00:00 65535 3 1";
    QTest::newRow("overload kind") << "2,KIND=overload" << true << "2 12:00:00 60 2 1";
    QTest::newRow("negative records") << "-1" << false << "";
    QTest::newRow("too many records") << "65536" << false << "";
    QTest::newRow("not a number") << "many" << false << "";
    QTest::newRow("hour 24") << "1,START=24:00:00" << false << "";
    QTest::newRow("two fields") << "1,START=12:00" << false << "";
    QTest::newRow("bad interval") << "1,INTERVAL=65536" << false << "";
    QTest::newRow("bad kind") << "1,KIND=warm" << false << "";
    QTest::newRow("repeat 0") << "1,REPEAT=0" << false << "";
    QTest::newRow("unknown key") << "1,COLOUR=red" << false << "";
    QTest::newRow("no equals") << "1,mixed" << false << "";
}

void TestMeterLogger::setSpecParses()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(QString, fields);
    LoggerSetPlan s;
    QString error;
    QCOMPARE(LoggerSetPlan::parse(text, &s, &error), ok);
    if (!ok) {
        QVERIFY(error.contains(text));
        return;
    }
    const QString got = QStringLiteral("%1 %2:%3:%4 %5 %6 %7")
                            .arg(s.records)
                            .arg(s.startHour, 2, 10, QLatin1Char('0'))
                            .arg(s.startMinute, 2, 10, QLatin1Char('0'))
                            .arg(s.startSecond, 2, 10, QLatin1Char('0'))
                            .arg(s.intervalSeconds)
                            .arg(int(s.kind))
                            .arg(s.repeat);
    QCOMPARE(got, fields);
}

void TestMeterLogger::headerBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("header");
    QTest::newRow("across midnight")
        << "5,START=23:59:30,INTERVAL=60" << hex("0005 00 235930 003C");
    QTest::newRow("bcd digits") << "1250,START=14:05:09,INTERVAL=60" << hex("04E2 00 140509 003C");
    QTest::newRow("nines") << "16191,START=09:59:59,INTERVAL=32768" << hex("3F3F 00 095959 8000");
    QTest::newRow("empty set") << "0,START=00:00:00,INTERVAL=1" << hex("0000 00 000000 0001");
}

void TestMeterLogger::headerBytes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, header);
    QCOMPARE(plan(text).header().toHex(' '), header.toHex(' '));
}

void TestMeterLogger::imageLaysSetsBackToBack_data()
{
    QTest::addColumn<QStringList>("sets");
    QTest::addColumn<int>("setCount");
    QTest::addColumn<int>("usedBytes");
    QTest::addColumn<QByteArray>("signature");
    QTest::newRow("none") << QStringList {} << 0 << 0 << hex("AA55AA55AA55AA55AA55AA 00 000500");
    QTest::newRow("one empty set")
        << QStringList { "0" } << 1 << 8 << hex("AA55AA55AA55AA55AA55AA 01 000508");
    QTest::newRow("32 and 33 records") << QStringList { "32", "33" } << 2 << 8 + 256 + 8 + 264
                                       << hex("AA55AA55AA55AA55AA55AA 02 000718");
    QTest::newRow("99 sets") << QStringList { "1,REPEAT=99" } << 99 << 99 * 16
                             << hex("AA55AA55AA55AA55AA55AA 63 000B30");
    QTest::newRow("255 empty sets") << QStringList { "0,REPEAT=200", "0,REPEAT=55" } << 255
                                    << 255 * 8 << hex("AA55AA55AA55AA55AA55AA FF 000CF8");
    QTest::newRow("largest single set")
        << QStringList { "16191" } << 1 << 129536 << hex("AA55AA55AA55AA55AA55AA 01 01FF00");
}

void TestMeterLogger::imageLaysSetsBackToBack()
{
    QFETCH(QStringList, sets);
    QFETCH(int, setCount);
    QFETCH(int, usedBytes);
    QFETCH(QByteArray, signature);
    std::vector<LoggerSetPlan> plans;
    for (const QString& s : sets)
        plans.push_back(plan(s));
    LoggerImage image;
    QString error;
    QVERIFY2(image.build(plans, 7, &error), qPrintable(error));
    QCOMPARE(image.setCount(), setCount);
    QCOMPARE(image.usedBytes(), usedBytes);
    QCOMPARE(image.writeAddress(), LoggerImage::kBaseAddress + usedBytes);
    QCOMPARE(image.signature().toHex(' '), signature.toHex(' '));

    // Each set starts where the previous one ended, with its own header.
    int offset = 0;
    for (int s = 0; s < image.setCount(); ++s) {
        QCOMPARE(image.setOffset(s), offset);
        const QByteArray header = image.bytes().mid(offset, 8);
        const int count = quint8(header[0]) * 256 + quint8(header[1]);
        QCOMPARE(count, image.setRecords(s));
        offset += 8 + 8 * count;
    }
    QCOMPARE(offset, image.usedBytes());
}

void TestMeterLogger::imageRefusesWhatDoesNotFit_data()
{
    QTest::addColumn<QStringList>("sets");
    QTest::newRow("one record too many") << QStringList { "16192" };
    QTest::newRow("two sets one record over") << QStringList { "16190", "1" };
    QTest::newRow("256 sets") << QStringList { "0,REPEAT=255", "0" };
}

void TestMeterLogger::imageRefusesWhatDoesNotFit()
{
    QFETCH(QStringList, sets);
    std::vector<LoggerSetPlan> plans;
    for (const QString& s : sets)
        plans.push_back(plan(s));
    LoggerImage image;
    QString error;
    QVERIFY(!image.build(plans, 1, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(image.setCount(), 0);
    QCOMPARE(image.usedBytes(), 0);
}

void TestMeterLogger::fullMemoryFillsTheWholeLogger()
{
    LoggerImage image;
    QString error;
    QVERIFY2(image.build(LoggerImage::fullMemoryLayout(), 3, &error), qPrintable(error));
    QCOMPARE(image.setCount(), 8);
    QCOMPARE(image.usedBytes(), 129536);
    QCOMPARE(image.writeAddress(), 1280 + 129536);
    QCOMPARE(image.signature().right(4).toHex(' '), QByteArray("08 01 ff 00"));

    int records = 0;
    bool empty = false, exact = false, remainderOf8 = false, acrossMidnight = false;
    for (int s = 0; s < image.setCount(); ++s) {
        const int count = image.setRecords(s);
        records += count;
        empty = empty || count == 0;
        exact = exact || count == 32;
        remainderOf8 = remainderOf8 || count == 33;
        const QByteArray header = image.bytes().mid(image.setOffset(s), 8);
        acrossMidnight = acrossMidnight || header.mid(3, 3) == hex("235930");
    }
    QCOMPARE(records, 16184);
    QVERIFY(empty && exact && remainderOf8 && acrossMidnight);
}

void TestMeterLogger::kindsShapeTheRecords_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("statusMask"); // bits every record's status has
    QTest::addColumn<int>("co2Above"); // every CO2 is above this
    QTest::addColumn<bool>("overload"); // every temperature word has bit 14
    QTest::newRow("normal") << "40" << 0 << 399 << false;
    QTest::newRow("nodata") << "40,KIND=nodata" << 0x80 << 399 << false;
    QTest::newRow("co2over") << "40,KIND=co2over" << 0 << 6000 << false;
    QTest::newRow("overload") << "40,KIND=overload" << 0 << 399 << true;
}

void TestMeterLogger::kindsShapeTheRecords()
{
    QFETCH(QString, text);
    QFETCH(int, statusMask);
    QFETCH(int, co2Above);
    QFETCH(bool, overload);
    LoggerImage image;
    QString error;
    QVERIFY(image.build({ plan(text) }, 11, &error));
    bool sawUnder = false;
    for (int i = 0; i < 40; ++i) {
        const QByteArray r = image.bytes().mid(8 + 8 * i, 8);
        QCOMPARE(quint8(r[0]) & statusMask, statusMask);
        QCOMPARE(int(quint8(r[1])), 0);
        const int co2 = quint8(r[2]) * 256 + quint8(r[3]);
        QVERIFY2(co2 > co2Above, qPrintable(r.toHex(' ')));
        const int word = quint8(r[6]) * 256 + quint8(r[7]);
        QCOMPARE((word & 0x4000) != 0, overload);
        sawUnder = sawUnder || word == 0xC000;
        if (!overload) {
            const int humidity = quint8(r[4]) * 256 + quint8(r[5]);
            QVERIFY(humidity >= 300 && humidity <= 650);
            QVERIFY(word >= 180 && word <= 280);
        }
    }
    QCOMPARE(sawUnder, overload);
}

void TestMeterLogger::sameSeedSameImage()
{
    LoggerImage a, b, c;
    QString error;
    QVERIFY(a.build(LoggerImage::defaultLayout(), 99, &error));
    QVERIFY(b.build(LoggerImage::defaultLayout(), 99, &error));
    QVERIFY(c.build(LoggerImage::defaultLayout(), 100, &error));
    QCOMPARE(a.bytes(), b.bytes());
    QVERIFY(a.bytes() != c.bytes());
    QCOMPARE(a.usedBytes(), c.usedBytes());
}

QTEST_APPLESS_MAIN(TestMeterLogger)
#include "tst_meterlogger.moc"
