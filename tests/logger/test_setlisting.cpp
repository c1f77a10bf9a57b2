#include "logger/loggertables.h"
#include "logger/setlisting.h"
#include "meter/currentreading.h"
#include "meter/decoding.h"
#include "meter/numbertext.h"
#include "support/bytes.h"
#include "support/fakeclock.h"

#include <QRegularExpression>
#include <QtTest>

#include <cmath>
#include <functional>

namespace
{
// A record: status, unused, CO2, humidity and temperature pairs.
QByteArray Record(int status, int co2, int humidity, int temperatureWord)
{
    return Bytes({ status, 0, co2 >> 8, co2 & 0xFF, humidity >> 8, humidity & 0xFF,
        temperatureWord >> 8, temperatureWord & 0xFF });
}

class RecordingSink final : public ListingSink
{
public:
    void appendRow(const QStringList& cells) override
    {
        rows.append(cells);
        if (onAppend)
            onAppend();
    }
    QString caption() const override { return current; }
    void setCaption(const QString& caption) override
    {
        current = caption;
        captions.append(caption);
    }
    QList<QStringList> rows;
    QStringList captions;
    QString current = QStringLiteral("Data List");
    std::function<void()> onAppend;
};

QStringList Completed(std::initializer_list<int> counts)
{
    QStringList captions;
    for (int c : counts)
        captions << RecordsCompletedCaption(c);
    return captions;
}
} // namespace

class TestSetListing : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void setHeader_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<int>("records");
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("interval");
        QTest::newRow("5 at 23:59:30 every 60 s")
            << Bytes({ 0x00, 0x05, 0x77, 0x23, 0x59, 0x30, 0x00, 0x3C }) << 5 << "23:59:30" << 60;
        QTest::newRow("leading zeros")
            << Bytes({ 0x04, 0xE2, 0, 0x09, 0x05, 0x00, 0x01, 0x00 }) << 1250 << "09:05:00" << 256;
        QTest::newRow("not BCD") << Bytes({ 0, 1, 0, 0x1A, 0xFF, 0x00, 0, 1 }) << 1 << "1A:FF:00"
                                 << 1;
        QTest::newRow("interval above 32767 kept")
            << Bytes({ 0, 1, 0, 0, 0, 0, 0x80, 0x00 }) << 1 << "00:00:00" << 32768;
        QTest::newRow("largest interval and count")
            << Bytes({ 0xFF, 0xFF, 0, 0, 0, 0, 0xFF, 0xFF }) << 65535 << "00:00:00" << 65535;
        QTest::newRow("short header") << Bytes({ 0x00, 0x02, 0x00, 0x12 }) << 2 << "12:00:00" << 0;
    }
    void setHeader()
    {
        QFETCH(QByteArray, header);
        const SetHeader h = DecodeSetHeader(header);
        QTEST(h.recordCount, "records");
        QTEST(h.startTime, "start");
        QTEST(h.intervalSeconds, "interval");
    }

    void memoryGauge_data()
    {
        QTest::addColumn<int>("sets");
        QTest::addColumn<qint64>("address");
        QTest::addColumn<int>("percent");
        QTest::newRow("99 sets are full") << 99 << qint64(1280) << 100;
        QTest::newRow("255 sets are full") << 255 << qint64(2000) << 100;
        QTest::newRow("98 sets, half the memory") << 98 << qint64(1280 + 64768) << 50;
        QTest::newRow("empty") << 1 << qint64(1280) << 0;
        QTest::newRow("all of it") << 1 << qint64(1280 + 129536) << 100;
        QTest::newRow("address below the area") << 1 << qint64(0) << 0;
        QTest::newRow("address beyond the area") << 1 << qint64(0xFFFFFF) << 100;
    }
    void memoryGauge()
    {
        QFETCH(int, sets);
        QFETCH(qint64, address);
        QTEST(MemoryGaugePercent(sets, quint32(address)), "percent");
    }

    void progress_data()
    {
        QTest::addColumn<qint64>("received");
        QTest::addColumn<qint64>("expected");
        QTest::addColumn<int>("percent");
        QTest::newRow("nothing yet") << qint64(0) << qint64(560) << 0;
        QTest::newRow("one byte short of all") << qint64(559) << qint64(560) << 99;
        QTest::newRow("all") << qint64(560) << qint64(560) << 100;
        QTest::newRow("more than all") << qint64(900) << qint64(560) << 100;
        QTest::newRow("nothing expected") << qint64(8) << qint64(0) << 100;
        QTest::newRow("odd signature") << qint64(8) << qint64(-40) << 100;
    }
    void progress()
    {
        QFETCH(qint64, received);
        QFETCH(qint64, expected);
        QTEST(DownloadProgressPercent(received, expected), "percent");
    }

    void tenthCells_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("cell");
        QTest::newRow("3.46 down") << "3.46"
                                   << " 3.4";
        QTest::newRow("-3.46 down") << "-3.46"
                                    << "-3.5";
        QTest::newRow("whole") << "23"
                               << " 23.0";
        QTest::newRow("zero") << "0"
                              << " 0.0";
        QTest::newRow("a hair below zero") << "-0.000000000000000111022302462516"
                                           << "-0.1";
        QTest::newRow("over") << "OL"
                              << "OL.0";
        QTest::newRow("under") << "-OL"
                               << "-OL.0";
        QTest::newRow("no reading") << "----"
                                    << "----.0";
        QTest::newRow("not worked out") << ""
                                        << "----.0";
    }
    void tenthCells()
    {
        QFETCH(QString, value);
        QTEST(ListedTenthText(value), "cell");
    }

    void recordRows_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QStringList>("cells"); // ppm, °C, RH%, °F; dew and wet checked apart
        QTest::addColumn<QString>("dewWet"); // the dew and wet cells when fixed, else empty
        QTest::newRow("exactly 23 C")
            << Record(0, 415, 453, 230) << QStringList { " 415", " 23.0", " 45.3", " 73.4" } << "";
        QTest::newRow("-12 C is 10.4 F") << Record(0, 0, 500, 0x8000 | 120)
                                         << QStringList { " 0", "-12.0", " 50.0", " 10.4" } << "";
        QTest::newRow("-19 C is -2.2 F") << Record(0, 0, 500, 0x8000 | 190)
                                         << QStringList { " 0", "-19.0", " 50.0", "-2.2" } << "";
        QTest::newRow("no T/RH reading")
            << Record(0x80, 1200, 453, 230) << QStringList { " 1200", "----.0", "----.0", "----.0" }
            << "----.0";
        QTest::newRow("CO2 over") << Record(0, 6001, 453, 230)
                                  << QStringList { "OL", " 23.0", " 45.3", " 73.4" } << "";
        QTest::newRow("temperature over")
            << Record(0, 500, 453, 0x4000) << QStringList { " 500", "OL.0", " 45.3", "OL.0" }
            << "OL.0";
        QTest::newRow("temperature under")
            << Record(0, 500, 453, 0xC000) << QStringList { " 500", "-OL.0", " 45.3", "-OL.0" }
            << "-OL.0";
        QTest::newRow("saturated") << Record(0, 500, 1000, 215)
                                   << QStringList { " 500", " 21.5", " 100.0", " 70.7" } << "";
        QTest::newRow("dry air") << Record(0, 500, 0, 215)
                                 << QStringList { " 500", " 21.5", " 0.0", " 70.7" } << "----.0";
    }
    void recordRows()
    {
        QFETCH(QByteArray, record);
        QFETCH(QStringList, cells);
        QFETCH(QString, dewWet);
        CurrentReading reading;
        QVERIFY(DecodeLoggedRecord(QByteArray(8, '\0') + record, 1, reading));
        const QStringList row = ListedRowCells(7, QStringLiteral("10:00:00"), reading);
        QCOMPARE(row.size(), 10);
        QCOMPARE(row[0], QStringLiteral("7"));
        QCOMPARE(row[1], QStringLiteral("10:00:00"));
        QCOMPARE((QStringList { row[2], row[3], row[6], row[7] }), cells);
        const QStringList dewWetCells { row[4], row[5], row[8], row[9] };
        if (!dewWet.isEmpty()) {
            QCOMPARE(dewWetCells, QStringList(4, dewWet));
            return;
        }
        // Numbers rounded down to a tenth: the cell is at most the value, by less than 0.1.
        const QStringList values { reading.DewC.text(), reading.WetC.text(), reading.DewF.text(),
            reading.WetF.text() };
        for (int k = 0; k < 4; ++k) {
            QVERIFY2(QRegularExpression(QStringLiteral("^[ -]\\d+\\.\\d$"))
                         .match(dewWetCells[k])
                         .hasMatch(),
                qPrintable(dewWetCells[k]));
            const double cell = dewWetCells[k].toDouble();
            const double value = values[k].toDouble();
            QVERIFY2(cell <= value + 1e-9 && value - cell < 0.1, qPrintable(dewWetCells[k]));
        }
    }

    // The number cells are made without writing each value's text where that cannot change
    // them; they must equal what the text gives, for every word the meter can send and for
    // values a hair off a tenth.
    void numberCellsEqualTheirTextRoute()
    {
        const auto textRoute = [](const QString& text) {
            const QString decimal = text.contains('.') ? text : text + ".0";
            return decimal.startsWith('-') ? decimal : ' ' + decimal;
        };
        for (int word = 0; word <= 0xFFFF; ++word) {
            CurrentReading r;
            DecodeTemperature(r, uint8_t(word >> 8), uint8_t(word & 0xFF));
            DecodeHumidity(r, uint8_t(word >> 8), uint8_t(word & 0xFF));
            DecodeCo2(r, uint8_t(word >> 8), uint8_t(word & 0xFF));
            if (r.TempC.isNumber()) {
                QCOMPARE(ListedTempCText(r.TempC), textRoute(r.TempC.text()));
                QCOMPARE(ListedTenthText(r.TempF), ListedTenthText(r.TempF.text()));
            }
            QCOMPARE(ListedTenthText(r.HumidityPct), ListedTenthText(r.HumidityPct.text()));
            if (r.Co2Ppm.isNumber())
                QCOMPARE(ListedCo2Text(r.Co2Ppm), ' ' + r.Co2Ppm.text());
        }
        for (int n = -20000; n <= 20000; n += 7) {
            double v = n / 10.0;
            for (int step = 0; step < 4; ++step) {
                QCOMPARE(ListedTenthText(TaggedValue::number(v)), ListedTenthText(PlainText(v)));
                v = std::nextafter(v, -1e9);
            }
        }
    }

    // The listing keeps dew point and wet bulb as numbers; its rows must equal what the
    // reading's own texts give, for temperature words across the whole range, with humidities of 0,
    // below and at 100 % and beyond, and records without a temperature/humidity reading.
    void listedRowsEqualTheDecodedReadingsRows()
    {
        QByteArray data(8, '\0');
        int records = 0;
        for (int word = 0; word <= 0xFFFF; word += 3) {
            const int humidity = word % 5 == 0 ? (word / 5) % 1201 : (word * 7) % 1001;
            data += Record(word % 97 == 0 ? 0x80 : 0, (word * 11) % 6100, humidity, word);
            ++records;
        }
        FakeClock clock;
        RecordingSink sink;
        const QStringList row { "1", "00:00:00", QString::number(records), "1" };
        LoggerTables tables;
        tables.LoggerSetData[1] = data;
        QVERIFY(ListLoggerSet(tables, row, sink, clock).completed);
        QCOMPARE(sink.rows.size(), records);
        for (int i = 1; i <= records; ++i) {
            CurrentReading reading;
            QVERIFY(DecodeLoggedRecord(data, i, reading));
            QStringList expected = ListedRowCells(i, sink.rows[i - 1][1], reading);
            expected[4] = ListedTenthText(reading.DewC.text());
            expected[5] = ListedTenthText(reading.WetC.text());
            expected[8] = ListedTenthText(reading.DewF.text());
            expected[9] = ListedTenthText(reading.WetF.text());
            if (sink.rows[i - 1] != expected)
                QCOMPARE(sink.rows[i - 1], expected);
        }
    }

    void times_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("interval");
        QTest::addColumn<QStringList>("times");
        QTest::newRow("across midnight")
            << "23:59:30" << 60
            << QStringList { "23:59:30", "00:00:30", "00:01:30", "00:02:30", "00:03:30" };
        QTest::newRow("interval above 32767 s")
            << "00:00:00" << 65535 << QStringList { "00:00:00", "18:12:15", "12:24:30" };
        QTest::newRow("whole days")
            << "07:08:09" << 86400 << QStringList { "07:08:09", "07:08:09" };
    }
    void times()
    {
        QFETCH(QString, start);
        QFETCH(int, interval);
        QFETCH(QStringList, times);
        int seconds = -1;
        QVERIFY(ParseStartTime(start, &seconds));
        for (int i = 0; i < times.size(); ++i)
            QCOMPARE(ListedTime(seconds, i, interval), times[i]);
    }

    void startTimesThatAreNoTime_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("hour 24") << "24:00:00";
        QTest::newRow("not BCD") << "1A:00:00";
        QTest::newRow("minute 60") << "12:60:00";
        QTest::newRow("second 60") << "12:00:60";
        QTest::newRow("too short") << "12:00";
        QTest::newRow("empty") << "";
    }
    void startTimesThatAreNoTime()
    {
        QFETCH(QString, text);
        int seconds = 0;
        QVERIFY(!ParseStartTime(text, &seconds));
    }

    // The caption counts at most every 50 ms of the clock and always ends on the exact count.
    void countingCaption_data()
    {
        QTest::addColumn<int>("msPerRecord");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("fast") << 0 << Completed({ 1, 10 });
        QTest::newRow("20 ms a record") << 20 << Completed({ 1, 4, 7, 10 });
        QTest::newRow("slow") << 50 << Completed({ 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 });
    }
    void countingCaption()
    {
        QFETCH(int, msPerRecord);
        QFETCH(QStringList, captions);
        LoggerTables tables;
        tables.LoggerSetData[4] = QByteArray(8 + 80, '\0');
        FakeClock clock;
        RecordingSink sink;
        sink.onAppend = [&] { clock.advance(msPerRecord); };
        const ListingResult result
            = ListLoggerSet(tables, { "4", "08:00:00", "10", "1" }, sink, clock);
        QVERIFY(result.completed);
        QCOMPARE(result.rowsListed, 10);
        QCOMPARE(sink.rows.size(), 10);
        QCOMPARE(sink.rows[9][1], QStringLiteral("08:00:09"));
        QCOMPARE(sink.captions, captions + QStringList { "Data List" });
    }

    void failedListing_data()
    {
        QTest::addColumn<QStringList>("row");
        QTest::addColumn<int>("listed");
        QTest::addColumn<QString>("caption");
        QTest::newRow("start time no time of day")
            << QStringList { "2", "1A:00:00", "3", "1" } << 0 << "Data List";
        QTest::newRow("records missing")
            << QStringList { "2", "10:00:00", "5", "1" } << 3 << "3 Records Completed";
        QTest::newRow("no set 0") << QStringList { "0", "10:00:00", "1", "1" } << 0 << "Data List";
        QTest::newRow("no set 256")
            << QStringList { "256", "10:00:00", "1", "1" } << 0 << "Data List";
        QTest::newRow("short row") << QStringList { "2", "10:00:00" } << 0 << "Data List";
    }
    void failedListing()
    {
        QFETCH(QStringList, row);
        QFETCH(int, listed);
        QFETCH(QString, caption);
        LoggerTables tables;
        tables.LoggerSetData[2] = QByteArray(8 + 3 * 8, '\0');
        FakeClock clock;
        RecordingSink sink;
        const ListingResult result = ListLoggerSet(tables, row, sink, clock);
        QVERIFY(!result.completed);
        QCOMPARE(result.rowsListed, listed);
        QCOMPARE(sink.rows.size(), listed);
        QCOMPARE(sink.current, caption);
    }

    void emptySetListsNothing()
    {
        LoggerTables tables;
        tables.LoggerSetData[1] = QByteArray(8, '\0');
        FakeClock clock;
        RecordingSink sink;
        sink.current = QStringLiteral("Data List");
        const ListingResult result
            = ListLoggerSet(tables, { "1", "10:00:00", "0", "5" }, sink, clock);
        QVERIFY(result.completed);
        QVERIFY(sink.rows.isEmpty());
        QCOMPARE(sink.current, QStringLiteral("Data List"));
    }
};

QTEST_GUILESS_MAIN(TestSetListing)
#include "test_setlisting.moc"
