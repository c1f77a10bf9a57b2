// Live frames of the virtual meter: field encodings, markers, out-of-step forms, drifting
// readings and the frame file parser.
#include "hexframefile.h"
#include "liveframesource.h"
#include "rawreading.h"
#include "readingdrift.h"

#include <QSet>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(RawReading)

namespace
{

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text));
}

RawReading reading(int status, int co2, int humidity, int word)
{
    RawReading r;
    r.status = std::uint8_t(status);
    r.co2 = std::uint16_t(co2);
    r.humidityTenths = std::uint16_t(humidity);
    r.temperatureWord = std::uint16_t(word);
    return r;
}

} // namespace

class TestMeterFrames : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void liveFrameBytes_data();
    void liveFrameBytes();
    void temperatureWordEncodesSignAndOverload_data();
    void temperatureWordEncodesSignAndOverload();
    void markersChangeOnlyTheirField_data();
    void markersChangeOnlyTheirField();
    void markerListParses_data();
    void markerListParses();
    void outOfStepFramesFailTheFrameCheck();
    void sourceSpreadsMarkersAndEndsOutOfStep();
    void everyMarkerReachesEveryOtherFrame_data();
    void everyMarkerReachesEveryOtherFrame();
    void sourcePlaysFileFramesInACycleUnchanged();
    void driftStaysPlausibleAndRepeats();
    void hexFileParses_data();
    void hexFileParses();
    void hexFileLoadReportsMissingFile();
};

void TestMeterFrames::liveFrameBytes_data()
{
    QTest::addColumn<RawReading>("reading");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("record");
    QTest::newRow("plain") << reading(0, 415, 452, 234) << hex("02 00 019F 01C4 00EA 03")
                           << hex("00 00 019F 01C4 00EA");
    QTest::newRow("co2 6000") << reading(0, 6000, 1000, 0) << hex("02 00 1770 03E8 0000 03")
                              << hex("00 00 1770 03E8 0000");
    QTest::newRow("negative 23.5") << reading(0, 400, 300, 0x80EB) << hex("02 00 0190 012C 80EB 03")
                                   << hex("00 00 0190 012C 80EB");
    QTest::newRow("no data") << reading(0x80, 1200, 0, 0) << hex("02 80 04B0 0000 0000 03")
                             << hex("80 00 04B0 0000 0000");
    QTest::newRow("all ones") << reading(0xFF, 0xFFFF, 0xFFFF, 0xFFFF)
                              << hex("02 FF FFFF FFFF FFFF 03") << hex("FF 00 FFFF FFFF FFFF");
}

void TestMeterFrames::liveFrameBytes()
{
    QFETCH(RawReading, reading);
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, record);
    QCOMPARE(reading.liveFrame().toHex(' '), frame.toHex(' '));
    QCOMPARE(reading.loggedRecord().toHex(' '), record.toHex(' '));
}

void TestMeterFrames::temperatureWordEncodesSignAndOverload_data()
{
    QTest::addColumn<int>("tenths");
    QTest::addColumn<int>("word");
    QTest::newRow("zero") << 0 << 0x0000;
    QTest::newRow("23.4") << 234 << 0x00EA;
    QTest::newRow("-23.5") << -235 << 0x80EB;
    QTest::newRow("-0.1") << -1 << 0x8001;
    QTest::newRow("largest") << 0x3FFF << 0x3FFF;
    QTest::newRow("over") << 0x4000 << 0x4000;
    QTest::newRow("most negative") << -0x3FFF << 0xBFFF;
    QTest::newRow("under") << -0x4000 << 0xC000;
}

void TestMeterFrames::temperatureWordEncodesSignAndOverload()
{
    QFETCH(int, tenths);
    QFETCH(int, word);
    QCOMPARE(int(RawReading::encodeTemperature(tenths)), word);
}

void TestMeterFrames::markersChangeOnlyTheirField_data()
{
    QTest::addColumn<int>("marker");
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("tover") << int(FrameMarker::TempOver) << hex("02 00 0320 01C2 4000 03");
    QTest::newRow("tunder") << int(FrameMarker::TempUnder) << hex("02 00 0320 01C2 C000 03");
    QTest::newRow("co2over") << int(FrameMarker::Co2Over) << hex("02 00 1771 01C2 00D7 03");
    QTest::newRow("nodata") << int(FrameMarker::NoData) << hex("02 80 0320 01C2 00D7 03");
}

void TestMeterFrames::markersChangeOnlyTheirField()
{
    QFETCH(int, marker);
    QFETCH(QByteArray, frame);
    const RawReading base = reading(0, 800, 450, 215);
    QCOMPARE(base.withMarker(FrameMarker(marker)).liveFrame().toHex(' '), frame.toHex(' '));
}

void TestMeterFrames::markerListParses_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("names");
    QTest::newRow("all four") << "tover,tunder,co2over,nodata" << true
                              << "tover,tunder,co2over,nodata";
    QTest::newRow("spaces and case") << " CO2over , NoData " << true << "co2over,nodata";
    QTest::newRow("empty") << "" << true << "";
    QTest::newRow("none") << "none" << true << "";
    QTest::newRow("unknown") << "tover,hot" << false << "";
    QTest::newRow("empty item") << "tover,," << false << "";
}

void TestMeterFrames::markerListParses()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(QString, names);
    std::vector<FrameMarker> markers { FrameMarker::NoData };
    QString error;
    QCOMPARE(parseMarkerList(text, &markers, &error), ok);
    if (!ok) {
        QVERIFY(!error.isEmpty());
        return;
    }
    QStringList got;
    for (FrameMarker m : markers)
        got << markerName(m);
    QCOMPARE(got.join(QLatin1Char(',')), names);
}

void TestMeterFrames::outOfStepFramesFailTheFrameCheck()
{
    const QByteArray good = reading(0, 600, 400, 220).liveFrame();
    for (int index = 0; index < 4; ++index) {
        const QByteArray bad = LiveFrameSource::outOfStepFrame(good, index);
        QCOMPARE(bad.size(), good.size());
        QVERIFY2(bad[0] != char(0x02) || bad[8] != char(0x03), qPrintable(bad.toHex(' ')));
    }
    // The shifted form keeps the bytes, so the stream is back in step with the next frame.
    QCOMPARE(LiveFrameSource::outOfStepFrame(good, 1).toHex(' '),
        QByteArray(good.mid(4) + good.left(4)).toHex(' '));
}

void TestMeterFrames::sourceSpreadsMarkersAndEndsOutOfStep()
{
    LiveFrameSource source(42);
    source.setMarkers({ FrameMarker::TempOver, FrameMarker::NoData });
    source.setOutOfStep(3);
    QList<QByteArray> frames;
    for (int i = 0; i < 20; ++i)
        frames << source.nextFrame();

    for (int i = 0; i < 20; ++i) {
        const QByteArray& f = frames[i];
        const bool inStep = f[0] == char(0x02) && f[8] == char(0x03);
        QCOMPARE(inStep, i >= 3);
    }
    // Frames 5, 10, 15, 20 carry tover, nodata, tover, nodata; the others neither.
    for (int i = 3; i < 20; ++i) {
        const QByteArray& f = frames[i];
        const bool over = f.mid(6, 2) == hex("4000");
        const bool noData = (quint8(f[1]) & 0x80) != 0;
        const int number = i + 1;
        QCOMPARE(over, number % 10 == 5);
        QCOMPARE(noData, number % 10 == 0);
    }
    QCOMPARE(source.outOfStepLeft(), 0);
}

// The program decodes every other frame (odd or even numbers, as its ticks fall): whichever it
// is, each marker of the list reaches it within a few rounds.
void TestMeterFrames::everyMarkerReachesEveryOtherFrame_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("parity");
    for (const char* list :
        { "tover", "tover,nodata", "tover,tunder,co2over", "tover,tunder,co2over,nodata" }) {
        QTest::addRow("%s, odd frames", list) << QString::fromLatin1(list) << 1;
        QTest::addRow("%s, even frames", list) << QString::fromLatin1(list) << 0;
    }
}

void TestMeterFrames::everyMarkerReachesEveryOtherFrame()
{
    QFETCH(QString, list);
    QFETCH(int, parity);
    std::vector<FrameMarker> markers;
    QVERIFY(parseMarkerList(list, &markers, nullptr));
    LiveFrameSource source(7);
    source.setMarkers(markers);
    QSet<QString> seen;
    // Eight rounds of the list.
    const int frames = 8 * LiveFrameSource::kMarkerEvery * int(markers.size());
    for (int number = 1; number <= frames; ++number) {
        const QByteArray f = source.nextFrame();
        if (number % 2 != parity)
            continue;
        if (quint8(f[1]) & 0x80)
            seen << QStringLiteral("nodata");
        if (f.mid(6, 2) == hex("4000"))
            seen << QStringLiteral("tover");
        if (f.mid(6, 2) == hex("C000"))
            seen << QStringLiteral("tunder");
        if (f.mid(2, 2) == hex("1771"))
            seen << QStringLiteral("co2over");
    }
    const QStringList names = list.split(QLatin1Char(','));
    QCOMPARE(seen, QSet<QString>(names.begin(), names.end()));
}

void TestMeterFrames::sourcePlaysFileFramesInACycleUnchanged()
{
    LiveFrameSource source(1);
    source.setMarkers({ FrameMarker::Co2Over });
    source.setOutOfStep(5);
    source.setFileFrames({ hex("02 00 0190 012C 00EA 03"), hex("02 00 0190 012C 00EA 07 55") });
    QList<QByteArray> got;
    for (int i = 0; i < 5; ++i)
        got << source.nextFrame().toHex(' ');
    const QList<QByteArray> expected { "02 00 01 90 01 2c 00 ea 03",
        "02 00 01 90 01 2c 00 ea 07 55", "02 00 01 90 01 2c 00 ea 03",
        "02 00 01 90 01 2c 00 ea 07 55", "02 00 01 90 01 2c 00 ea 03" };
    QCOMPARE(got, expected);
}

void TestMeterFrames::driftStaysPlausibleAndRepeats()
{
    ReadingDrift a(12345);
    ReadingDrift b(12345);
    ReadingDrift c(54321);
    bool differs = false;
    double co2Low = 1e9, co2High = -1e9;
    RawReading previous = a.current();
    for (int i = 0; i < 20000; ++i) {
        const RawReading ra = a.next();
        const RawReading rb = b.next();
        const RawReading rc = c.next();
        QCOMPARE(ra.liveFrame(), rb.liveFrame());
        differs = differs || ra.liveFrame() != rc.liveFrame();
        QVERIFY(ra.co2 >= 400 && ra.co2 <= 1200);
        QVERIFY(ra.humidityTenths >= 300 && ra.humidityTenths <= 650);
        QCOMPARE(ra.temperatureWord & 0xC000, 0);
        QVERIFY(ra.temperatureWord >= 180 && ra.temperatureWord <= 280);
        // Slow drift: no jumps between frames.
        QVERIFY(std::abs(int(ra.co2) - int(previous.co2)) <= 10);
        QVERIFY(std::abs(int(ra.temperatureWord) - int(previous.temperatureWord)) <= 1);
        QVERIFY(std::abs(int(ra.humidityTenths) - int(previous.humidityTenths)) <= 3);
        co2Low = std::min(co2Low, a.co2Ppm());
        co2High = std::max(co2High, a.co2Ppm());
        previous = ra;
    }
    QVERIFY(differs);
    QVERIFY2(co2High - co2Low > 50, "the readings should wander, not stand still");
}

void TestMeterFrames::hexFileParses_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("frames");
    QTest::addColumn<QString>("error");
    QTest::newRow("spaced and packed")
        << QByteArray("02 00 0190 012C 00EA 03\n0200019F01C400EA03\n")
        << QStringList { "0200019001 2c00ea03", "0200019f01c400ea03" } << QString();
    QTest::newRow("comments blanks crlf tabs")
        << QByteArray(
               "# a live frame\r\n\r\n   \n\t02 80 04B0 0000 0000 03  # no data\r\nAA55 # short\n")
        << QStringList { "028004b000000000 03", "aa55" } << QString();
    QTest::newRow("no trailing newline")
        << QByteArray("0203") << QStringList { "0203" } << QString();
    QTest::newRow("odd digits") << QByteArray("02 00\n02 0 03\n") << QStringList {} << "line 2";
    QTest::newRow("not hex") << QByteArray("# ok\n02 zz 03\n") << QStringList {} << "line 2";
    QTest::newRow("0x prefix") << QByteArray("0x02 0x03\n") << QStringList {} << "line 1";
    QTest::newRow("only comments") << QByteArray("# nothing\n\n") << QStringList {} << "no frames";
    QTest::newRow("empty") << QByteArray() << QStringList {} << "no frames";
}

void TestMeterFrames::hexFileParses()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, frames);
    QFETCH(QString, error);
    HexFrameFile file;
    const bool ok = file.parse(text);
    QCOMPARE(ok, error.isEmpty());
    if (!ok) {
        QVERIFY2(file.error().contains(error), qPrintable(file.error()));
        QVERIFY(file.frames().empty());
        return;
    }
    QStringList got;
    for (const QByteArray& f : file.frames())
        got << QString::fromLatin1(f.toHex());
    for (QString& f : frames)
        f.remove(QLatin1Char(' '));
    QCOMPARE(got, frames);
}

void TestMeterFrames::hexFileLoadReportsMissingFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    HexFrameFile file;
    QVERIFY(!file.load(dir.filePath(QStringLiteral("missing.hex"))));
    QVERIFY(file.error().contains(QLatin1String("missing.hex")));

    QFile good(dir.filePath(QStringLiteral("good.hex")));
    QVERIFY(good.open(QIODevice::WriteOnly));
    good.write("02 00 0190 012C 00EA 03\n");
    good.close();
    QVERIFY2(file.load(good.fileName()), qPrintable(file.error()));
    QCOMPARE(int(file.frames().size()), 1);
}

QTEST_APPLESS_MAIN(TestMeterFrames)
#include "tst_meterframes.moc"
