// The report's figures from records with known answers.
#include "report/reportbuilder.h"
#include "report/reportchart.h"
#include "report/reportjson.h"
#include "report/reportrecord.h"
#include "report/reportsources.h"
#include "report/reporttexts.h"
#include "report/valuecounts.h"
#include "reportlines.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace
{
// Records "time co2" pairs, e.g. { "08:00:00 700", "08:01:00 1000" }; temperature and RH fixed.
ReportFigures Figures(const QStringList& records, ReportSettings settings = {})
{
    if (!settings.firstDate.isValid())
        settings.firstDate = QDate(2026, 12, 7);
    ReportBuilder builder(settings);
    builder.beginSource(QStringLiteral("run.nblg"));
    int number = 0;
    for (const QString& r : records) {
        const QStringList parts = r.split(QLatin1Char(' '));
        ReportRecord record;
        QString reason;
        const QByteArray line
            = RecordLine(++number, parts[0].toLatin1().constData(), parts[1].toLatin1().constData(),
                parts.size() > 2 ? parts[2].toLatin1().constData() : "21.0",
                parts.size() > 3 ? parts[3].toLatin1().constData() : "45.0");
        if (!ReadRecordFields(line, settings.fahrenheit, &record, &reason))
            qFatal("bad test record %s: %s", line.constData(), qPrintable(reason));
        builder.add(record);
    }
    return builder.finish();
}

// count records "hh:mm:ss co2" every `every` seconds from the time of day `from` (in seconds).
QStringList Run(int from, int count, int every = 60, const QString& co2 = QStringLiteral("600"))
{
    QStringList records;
    for (int i = 0; i < count; ++i)
        records << QTime(0, 0).addSecs(from + i * every).toString(QStringLiteral("HH:mm:ss")) + ' '
                + co2;
    return records;
}
} // namespace

class TestReportFigures : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void valueCells_data()
    {
        QTest::addColumn<QByteArray>("cell");
        QTest::addColumn<bool>("tenths");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("value");
        QTest::newRow("ppm") << QByteArray("415") << false << true << 415;
        QTest::newRow("listed ppm") << QByteArray(" 415") << false << true << 415;
        QTest::newRow("tenths") << QByteArray("23.4") << true << true << 234;
        QTest::newRow("negative") << QByteArray("-3.0") << true << true << -30;
        QTest::newRow("minus half") << QByteArray("-0.5") << true << true << -5;
        QTest::newRow("cut, not rounded") << QByteArray("23.46") << true << true << 234;
        QTest::newRow("whole as tenths") << QByteArray("23") << true << true << 230;
        QTest::newRow("OL") << QByteArray("OL") << false << true << int(kOverRange);
        QTest::newRow("OL.0") << QByteArray("OL.0") << true << true << int(kOverRange);
        QTest::newRow("-OL.0") << QByteArray("-OL.0") << true << true << int(kUnderRange);
        QTest::newRow("----.0") << QByteArray("----.0") << true << true << int(kNoReading);
        QTest::newRow("empty") << QByteArray("") << true << false << 0;
        QTest::newRow("word") << QByteArray("abc") << true << false << 0;
        QTest::newRow("comma") << QByteArray("23,4") << true << false << 0;
        QTest::newRow("huge") << QByteArray("12345678") << false << false << 0;
    }
    void valueCells()
    {
        QFETCH(QByteArray, cell);
        QFETCH(bool, tenths);
        QFETCH(bool, ok);
        QFETCH(int, value);
        qint32 read = 0;
        QCOMPARE(ReadValueCell(cell, tenths, &read), ok);
        if (ok)
            QCOMPARE(read, value);
    }

    void recordLines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("reason");
        QTest::newRow("record") << RecordLine(7, "23:59:59", "415") << QString();
        QTest::newRow("grid row with a tab at the end")
            << RecordLine(7, "00:00:00", "OL") + '\t' << QString();
        QTest::newRow("seven fields") << QByteArray("1\t08:00:00\t415\t21.0\t9.0\t14.0\t45.0")
                                      << QStringLiteral("7 fields where a record has 10");
        QTest::newRow("hour 24") << RecordLine(1, "24:00:00", "415")
                                 << QStringLiteral("\"24:00:00\" is not a time of day");
        QTest::newRow("no time") << RecordLine(1, "8:00", "415")
                                 << QStringLiteral("\"8:00\" is not a time of day");
        QTest::newRow("number") << QByteArray("x") + RecordLine(1, "08:00:00", "415")
                                << QStringLiteral("the record number is not a number");
        QTest::newRow("sampled before the first reading")
            << QByteArray("1\t08:00:00\t\t\t\t\t\t\t\t\t") << QString();
        QTest::newRow("one value empty")
            << QByteArray("1\t08:00:00\t415\t\t\t\t\t\t\t")
            << QStringLiteral("\"\" in column 4 is neither a reading nor a marker");
        QTest::newRow("value") << RecordLine(1, "08:00:00",
            "high") << QStringLiteral("\"high\" in column 3 is neither a reading nor a marker");
    }
    void recordLines()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, reason);
        ReportRecord record;
        QString why;
        QCOMPARE(ReadRecordFields(line, false, &record, &why), reason.isEmpty());
        QCOMPARE(why, reason);
        if (reason.isEmpty() && line.contains("\t\t\t\t\t\t\t\t"))
            QCOMPARE(record.value,
                (std::array<qint32, kQuantities> {
                    kNoReading, kNoReading, kNoReading, kNoReading, kNoReading }));
    }

    void percentiles_data()
    {
        QTest::addColumn<QList<int>>("values");
        QTest::addColumn<int>("median");
        QTest::addColumn<int>("p95");
        QTest::newRow("one") << QList<int> { 7 } << 7 << 7;
        QTest::newRow("two") << QList<int> { 9, 3 } << 3 << 9;
        QTest::newRow("twenty, falling") << [] {
            QList<int> v;
            for (int i = 20; i >= 1; --i)
                v << i * 10;
            return v;
        }() << 100 << 190;
        QTest::newRow("negative and wide") << QList<int> { -400, 5000, -399, 0, 0 } << 0 << 5000;
    }
    void percentiles()
    {
        QFETCH(QList<int>, values);
        QFETCH(int, median);
        QFETCH(int, p95);
        ValueCounts counts;
        for (const int v : values)
            counts.add(v);
        QCOMPARE(counts.percentile(50), median);
        QCOMPARE(counts.percentile(95), p95);
    }

    // A value at a limit belongs to the band above it; every record weighs one minute.
    void bandsAtTheLimits()
    {
        const ReportFigures f = Figures({ "08:00:00 799", "08:01:00 800", "08:02:00 999",
            "08:03:00 1000", "08:04:00 1399", "08:05:00 1400", "08:06:00 OL" });
        QCOMPARE(f.interval, 60);
        QCOMPARE(f.bands[0].seconds, 60);
        QCOMPARE(f.bands[1].seconds, 120);
        QCOMPARE(f.bands[2].seconds, 120);
        QCOMPARE(f.bands[3].seconds, 120);
        QCOMPARE(f.co2Seconds, 420);
        // From 1000 ppm up without a break: 08:03 to the end.
        QCOMPARE(f.longestAboveSeconds, 240);
        QCOMPARE(f.longestAboveFrom, 8 * 3600 + 180);
        QCOMPARE(f[Quantity::Co2].overRange, 1);
        QCOMPARE(f[Quantity::Co2].readings, 6);
        QCOMPARE(f[Quantity::Co2].max, 1400);
    }

    // The categories need at least 95 % of the time within their limit above outdoor air.
    void categories_data()
    {
        QTest::addColumn<int>("highRecords"); // of 20, at the given CO2
        QTest::addColumn<QString>("high");
        QTest::addColumn<QString>("category");
        QTest::newRow("all within 550") << 0 << QStringLiteral("970") << QStringLiteral("I");
        QTest::newRow("exactly 95 % within 550")
            << 1 << QStringLiteral("971") << QStringLiteral("I");
        QTest::newRow("90 % within 550") << 2 << QStringLiteral("971") << QStringLiteral("II");
        QTest::newRow("at 800 above is within")
            << 2 << QStringLiteral("1220") << QStringLiteral("II");
        QTest::newRow("above 800 above") << 2 << QStringLiteral("1221") << QStringLiteral("III");
        QTest::newRow("above 1350 above") << 2 << QStringLiteral("1771") << QStringLiteral("IV");
        QTest::newRow("over range") << 2 << QStringLiteral("OL") << QStringLiteral("IV");
    }
    void categories()
    {
        QFETCH(int, highRecords);
        QFETCH(QString, high);
        QFETCH(QString, category);
        QStringList records;
        for (int i = 0; i < 20; ++i)
            records << QStringLiteral("08:%1:00 %2")
                           .arg(i, 2, 10, QLatin1Char('0'))
                           .arg(i < 20 - highRecords ? QStringLiteral("600") : high);
        const ReportFigures f = Figures(records);
        QCOMPARE(f.category, category);
    }

    // A gap weighs at most twice the interval, and is counted as a gap.
    void weightsAroundAGap()
    {
        const ReportFigures f = Figures(
            { "08:00:00 600", "08:01:00 600", "08:02:00 1500", "09:02:00 600", "09:03:00 600" });
        QCOMPARE(f.interval, 60);
        QCOMPARE(f.gapCount, 1);
        QCOMPARE(f.gapSeconds, 3600);
        QCOMPARE(f.bands[3].seconds, 120); // the record before the gap: two intervals
        QCOMPARE(f.bands[0].seconds, 240);
        QCOMPARE(f.last - f.first, 3780);
    }

    void acrossMidnight_data()
    {
        QTest::addColumn<QStringList>("records");
        QTest::addColumn<qint64>("duration");
        QTest::addColumn<QString>("last");
        QTest::newRow("over midnight")
            << QStringList { "23:59:00 600", "00:00:00 600", "00:01:00 600" } << qint64(120)
            << QStringLiteral("2026-12-08 00:01:00");
        QTest::newRow("several days") << QStringList {
            "08:00:00 600", "20:00:00 600", "07:00:00 600", "19:00:00 600", "06:00:00 600"
        } << qint64(2 * 86400 - 7200) << QStringLiteral("2026-12-09 06:00:00");
        QTest::newRow("a step back is the same day")
            << QStringList { "08:00:00 600", "08:01:00 600", "08:00:57 600", "08:01:57 600" }
            << qint64(117) << QStringLiteral("2026-12-07 08:01:57");
    }
    void acrossMidnight()
    {
        QFETCH(QStringList, records);
        QFETCH(qint64, duration);
        QFETCH(QString, last);
        ReportSettings settings;
        settings.firstDate = QDate(2026, 12, 7);
        const ReportFigures f = Figures(records, settings);
        QCOMPARE(f.last - f.first, duration);
        QCOMPARE(StampText(f.settings.firstDate, f.last), last);
        qint64 weighed = 0;
        for (const TimeShare& band : f.bands)
            weighed += band.seconds;
        QVERIFY(weighed >= 0);
        QCOMPARE(f.bands[0].share, 1.0);
    }

    // A mean is rounded to the last place of its readings, halves away from zero, the same in
    // the PDF's text and the JSON.
    void roundedMeans_data()
    {
        QTest::addColumn<QStringList>("records");
        QTest::addColumn<int>("quantity");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("json");
        QStringList mostly22 = Run(8 * 3600, 1000);
        for (int i = 0; i < 1000; ++i)
            mostly22[i] += i < 900 ? " 22.0" : " 21.9";
        QTest::newRow("21.99") << mostly22 << 1 << "22.0" << 22.0;
        QTest::newRow("21.95, a half")
            << QStringList { "08:00:00 600 21.9", "08:01:00 600 22.0" } << 1 << "22.0" << 22.0;
        QTest::newRow("-21.95") << QStringList { "08:00:00 600 -21.9", "08:01:00 600 -22.0" } << 1
                                << "-22.0" << -22.0;
        QTest::newRow("700.5 ppm")
            << QStringList { "08:00:00 700", "08:01:00 701" } << 0 << "701" << 701.0;
    }
    void roundedMeans()
    {
        QFETCH(QStringList, records);
        QFETCH(int, quantity);
        QFETCH(QString, text);
        QFETCH(double, json);
        const ReportFigures f = Figures(records);
        QCOMPARE(ValueText(Quantity(quantity), f.quantities[quantity].mean), text);
        const QJsonObject statistics
            = QJsonDocument::fromJson(ReportJson(f)).object()["statistics"].toObject();
        QCOMPARE(
            statistics[quantity == 0 ? "co2" : "temperature"].toObject()["mean"].toDouble(), json);
    }

    // The clock set back by 12 hours or less: the times it repeats count again, once each; the
    // record before the step stands for one interval. The bands add up to the duration and the
    // last record's interval, less the gaps.
    void clockSetBack_data()
    {
        QTest::addColumn<QStringList>("records");
        QTest::addColumn<qint64>("duration");
        QTest::addColumn<qint64>("bands");
        QTest::addColumn<QString>("steps"); // from>to of each
        const int two = 2 * 3600;
        QTest::newRow("02:00 to 03:59 twice") << Run(two, 120) + Run(two, 120) << qint64(14340)
                                              << qint64(14400) << "03:59:00>02:00:00";
        QTest::newRow("twice, with a gap")
            << Run(two, 60) + Run(two, 30) + Run(two + 3600, 30) + Run(two, 10) << qint64(9540)
            << qint64(7860) << "02:59:00>02:00:00 03:29:00>02:00:00";
        QTest::newRow("midnight is no step")
            << Run(86400 - 120, 4) << qint64(180) << qint64(240) << QString();
    }
    void clockSetBack()
    {
        QFETCH(QStringList, records);
        QFETCH(qint64, duration);
        QFETCH(qint64, bands);
        QFETCH(QString, steps);
        const ReportFigures f = Figures(records);
        QCOMPARE(f.duration(), duration);
        qint64 weighed = 0;
        for (const TimeShare& band : f.bands)
            weighed += band.seconds;
        QCOMPARE(weighed, bands);
        const QJsonObject period
            = QJsonDocument::fromJson(ReportJson(f)).object()["period"].toObject();
        QCOMPARE(period["seconds"].toInteger(), duration);
        QStringList named;
        for (const QJsonValue& step : period["stepsBack"].toArray())
            named << step["from"].toString().mid(11) + '>' + step["to"].toString().mid(11);
        QCOMPARE(named.join(' '), steps);
    }

    // The scales hold every reading off the frame's top and bottom lines, humidity within 0 to
    // 100 %RH.
    void scales_data()
    {
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::addColumn<double>("minSpan");
        QTest::addColumn<double>("floor");
        QTest::addColumn<double>("ceiling");
        const double none = std::numeric_limits<double>::infinity();
        QTest::newRow("constant 21.0 degrees") << 21.0 << 21.0 << 5.0 << -none << none;
        QTest::newRow("CO2 up to 1500 ppm") << 0.0 << 1500.0 << 0.0 << 0.0 << none;
        QTest::newRow("humidity 5 to 95") << 5.0 << 95.0 << 10.0 << 0.0 << 100.0;
        QTest::newRow("humidity constant 99.5") << 99.5 << 99.5 << 10.0 << 0.0 << 100.0;
        QTest::newRow("humidity at 100") << 41.0 << 100.0 << 10.0 << 0.0 << 100.0;
    }
    void scales()
    {
        QFETCH(double, low);
        QFETCH(double, high);
        QFETCH(double, minSpan);
        QFETCH(double, floor);
        QFETCH(double, ceiling);
        const ChartScale scale = FittedScale(low, high, minSpan, 6, floor, ceiling);
        const double inside = 0.005 * (scale.high() - scale.low);
        QVERIFY(scale.low >= floor && scale.high() <= ceiling + 1e-9);
        QVERIFY(low == floor || low - scale.low >= inside);
        QVERIFY(high == ceiling || scale.high() - high >= inside);
        QVERIFY(scale.high() - scale.low >= minSpan);
    }

    // Records in a row are joined unless one has no reading or their spacing is a gap; one
    // joined to none is a dot. Per column: "." empty, "o" a dot, "|" a line starts, "-" joined.
    void chartColumns_data()
    {
        QTest::addColumn<QStringList>("records");
        QTest::addColumn<QString>("columns");
        QTest::newRow("5 at 60 s") << Run(8 * 3600, 5) << "|.-.-.-.-";
        QTest::newRow("a gap") << Run(0, 3) + Run(600, 2) << "|--.......|-";
        QTest::newRow("alone between gaps")
            << Run(0, 2) + Run(360, 1) + Run(660, 2) << "|-....o....|-";
        QTest::newRow("no reading") << Run(0, 2) + Run(120, 1, 60, "----") + Run(180, 2) << "|-.|-";
        QTest::newRow("clock set back") << Run(7200, 3) + Run(7200, 2) << "|----";
    }
    void chartColumns()
    {
        QFETCH(QStringList, records);
        QFETCH(QString, columns);
        const ReportFigures f = Figures(records);
        QString drawn;
        for (const ChartColumn& c : ChartColumns(f, ChartTimelineOf(f), 0, columns.size()))
            drawn += c.empty ? '.' : c.alone ? 'o' : c.joinsPrevious ? '-' : '|';
        QCOMPARE(drawn, columns);
    }

    // Every label of the time axis keeps clear of its neighbours and inside its row; the first
    // and the last time stay, and the first day's date gives way to the next date.
    void timeAxis_data()
    {
        QTest::addColumn<QStringList>("records");
        QTest::addColumn<double>("width"); // of the plot; a character is 6 wide
        QTest::addColumn<QString>("times");
        QTest::addColumn<QString>("dates"); // the first day's at the left end first
        QTest::newRow("across midnight")
            << Run(86400 - 60, 21) << 1000.0 << "00:00 00:05 00:10 00:15"
            << "2026-12-10";
        QTest::newRow("across midnight, room")
            << Run(86400 - 780, 81) << 1000.0 << "00:00 00:15 00:30 00:45 01:00"
            << "2026-12-09 2026-12-10";
        QTest::newRow("56 at 1 s") << Run(8 * 3600 + 5, 56, 1) << 1000.0
                                   << "08:00:10 08:00:20 08:00:30 08:00:40 08:00:50 08:01:00"
                                   << "2026-12-09";
        QTest::newRow("crowded") << Run(8 * 3600, 8) << 150.0 << "08:00 08:02 08:04 08:07"
                                 << "2026-12-09";
        QTest::newRow("clock set back") << Run(0, 240) + Run(7200, 240) << 1000.0
                                        << "00:00 01:00 02:00 03:00 02:00 03:00 04:00 05:00"
                                        << "2026-12-09";
    }
    void timeAxis()
    {
        QFETCH(QStringList, records);
        QFETCH(double, width);
        QFETCH(QString, times);
        QFETCH(QString, dates);
        ReportSettings settings;
        settings.firstDate = QDate(2026, 12, 9);
        const ReportFigures f = Figures(records, settings);
        const ChartTimeAxis axis = TimeAxisOf(f, ChartTimelineOf(f), 100, width, 0, width + 200, 5,
            [](const QString& text) { return 6.0 * text.size(); });
        std::vector<ChartLabel> dateRow { axis.firstDate };
        dateRow.insert(dateRow.end(), axis.dates.begin(), axis.dates.end());
        QStringList shown;
        for (const auto& row : { axis.times, dateRow }) {
            QStringList texts;
            double clearFrom = 0;
            for (const ChartLabel& label : row) {
                if (label.shown) {
                    QVERIFY(label.left >= clearFrom && label.left + label.width <= width + 200);
                    clearFrom = label.left + label.width + 5;
                    texts << label.text;
                }
            }
            shown << texts.join(' ');
        }
        QCOMPARE(shown, QStringList({ times, dates }));
    }

    void singleRecordAndNoReadings()
    {
        const ReportFigures one = Figures({ "08:00:00 1200" });
        QCOMPARE(one.records, 1);
        QCOMPARE(one.interval, 0);
        QVERIFY(one.sharesOfRecords);
        QCOMPARE(one.bands[2].share, 1.0);
        QCOMPARE(one.bands[2].seconds, 0);

        const ReportFigures none
            = Figures({ "08:00:00 OL ----.0 ----.0", "08:01:00 OL ----.0 ----.0" });
        QCOMPARE(none[Quantity::Temperature].readings, 0);
        QCOMPARE(none[Quantity::Temperature].missing, 2);
        QCOMPARE(none.comfortTemp.share, -1.0);
        QCOMPARE(none[Quantity::Co2].readings, 0);
        QCOMPARE(none.bands[3].share, 1.0);
    }

    void comfortAndStatistics()
    {
        ReportSettings settings;
        const ReportFigures f = Figures({ "08:00:00 600 19.9 45.0", "08:01:00 600 20.0 29.9",
                                            "08:02:00 600 26.0 60.0", "08:03:00 600 26.1 60.1" },
            settings);
        QCOMPARE(f.comfortTemp.seconds, 120);
        QCOMPARE(f.comfortHumidity.seconds, 120);
        QCOMPARE(f.comfortBoth.seconds, 60);
        QCOMPARE(f.comfortBoth.share, 0.25);
        const QuantityFigures& t = f[Quantity::Temperature];
        QCOMPARE(t.min, 199);
        QCOMPARE(t.max, 261);
        QCOMPARE(t.maxAt, 8 * 3600 + 180);
        QCOMPARE(ValueText(Quantity::Temperature, t.mean), QStringLiteral("23.0"));
        QCOMPARE(t.median, 200);
    }

    void sourcesThatDoNotContinue()
    {
        ReportBuilder builder({});
        ReportRecord record;
        builder.beginSource(QStringLiteral("run-1.nblg"));
        QVERIFY(ReadRecordFields(RecordLine(34801, "08:00:00", "600"), false, &record));
        builder.add(record);
        builder.beginSource(QStringLiteral("run.nblg"));
        QVERIFY(ReadRecordFields(RecordLine(1, "07:00:00", "600"), false, &record));
        builder.add(record);
        const ReportFigures f = builder.finish();
        QCOMPARE(f.warnings,
            QStringList { "run.nblg starts at record 1, which does not follow record 34801 of "
                          "run-1.nblg" });
    }

    void firstDateFromLastWrite_data()
    {
        QTest::addColumn<QDateTime>("written");
        QTest::addColumn<qint64>("last");
        QTest::addColumn<QDate>("first");
        QTest::newRow("same day") << QDateTime(QDate(2026, 12, 8), QTime(17, 0, 1))
                                  << qint64(17 * 3600) << QDate(2026, 12, 8);
        QTest::newRow("two days back") << QDateTime(QDate(2026, 12, 8), QTime(17, 0, 1))
                                       << qint64(2 * 86400 + 17 * 3600) << QDate(2026, 12, 6);
        QTest::newRow("written just after midnight") << QDateTime(QDate(2026, 12, 8),
            QTime(0, 0, 30)) << qint64(86400 - 10) << QDate(2026, 12, 7);
    }
    void firstDateFromLastWrite()
    {
        QFETCH(QDateTime, written);
        QFETCH(qint64, last);
        QFETCH(QDate, first);
        QCOMPARE(FirstDateFromLastWrite(written, last), first);
    }
};

QTEST_GUILESS_MAIN(TestReportFigures)
#include "test_reportfigures.moc"
