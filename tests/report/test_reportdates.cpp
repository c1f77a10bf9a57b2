// The dates of a report's records: from a dates file beside the data file where one fits, else
// walked back from the file's time, and what the report then says of gaps, steps and outages.
#include "recording/gridrows.h"
#include "recording/recordingdates.h"
#include "report/listreport.h"
#include "report/reportdates.h"
#include "report/reportjson.h"
#include "report/reportsources.h"
#include "reportlines.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <utility>

namespace
{
// A data file of records numbered from 1 at the times given ("10:00:00,10:00:01"), 600 ppm.
QByteArray DataFile(const QString& times)
{
    QByteArray text = "No.s\tTime\tppm\t\xb0"
                      "C\tDew\xb0"
                      "C\tWet\xb0"
                      "C\tRH%\t\xb0"
                      "F\tDew\xb0"
                      "F\tWet\xb0"
                      "F\r\n";
    int number = 0;
    for (const QString& time : times.split(QLatin1Char(',')))
        text += RecordLine(++number, qPrintable(time), "600") + "\r\n";
    return text;
}

// Dates with the first record's date-time and events "kind@record=at[/seconds]" joined by ";"
// (an interval change's number is its interval).
RecordingDates Dates(const QString& first, int interval, const QString& events,
    DatesSource source = DatesSource::Recorded)
{
    RecordingDates dates;
    dates.source = source;
    dates.firstAt = ReadOffsetDateTime(first);
    dates.interval = interval;
    for (const QString& text : events.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList kindRest = text.split(QLatin1Char('@'));
        const QStringList recordRest = kindRest[1].split(QLatin1Char('='));
        const QStringList atSeconds = recordRest[1].split(QLatin1Char('/'));
        DatesEvent event;
        if (!DatesEventKind(kindRest[0], &event.kind))
            qFatal("no event %s", qPrintable(kindRest[0]));
        event.record = recordRest[0].toLongLong();
        event.at = ReadOffsetDateTime(atSeconds[0]);
        event.seconds = atSeconds.size() > 1 ? atSeconds[1].toLongLong() : 0;
        if (event.kind == DatesEvent::Kind::IntervalChange)
            event.interval = int(std::exchange(event.seconds, 0));
        dates.events.push_back(event);
    }
    return dates;
}

bool Write(const QString& path, const QByteArray& content, const QDateTime& written = {})
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.flush())
        return false;
    return !written.isValid() || file.setFileTime(written, QFileDevice::FileModificationTime);
}

// "kind seconds" of each step, joined by "; ".
QString Steps(const QJsonArray& steps)
{
    QStringList parts;
    for (const QJsonValue& step : steps)
        parts << QStringLiteral("%1 %2")
                     .arg(step[QStringLiteral("kind")].toString())
                     .arg(step[QStringLiteral("seconds")].toInteger());
    return parts.join(QStringLiteral("; "));
}

QString Silent(const QJsonArray& outages)
{
    QStringList parts;
    for (const QJsonValue& o : outages)
        parts << QStringLiteral("%1 to %2, %3")
                     .arg(o[QStringLiteral("from")].toString(), o[QStringLiteral("to")].toString())
                     .arg(o[QStringLiteral("records")].toInteger());
    return parts.join(QStringLiteral("; "));
}
} // namespace

class TestReportDates : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void dates_data()
    {
        QTest::addColumn<QString>("times");
        QTest::addColumn<QByteArray>("datesFile"); // empty: none
        QTest::addColumn<QDateTime>("written"); // the data file's last-write time
        QTest::addColumn<QString>("from"); // where the dates came from
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("gaps"); // "count / seconds"
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("silent");
        QTest::addColumn<qint64>("duration");
        QTest::addColumn<QString>("warning"); // the start of the one warning, or empty

        const QDateTime dec9(QDate(2026, 12, 9), QTime(18, 0));
        const QDateTime justAfter(QDate(2026, 12, 9), QTime(0, 0, 5)); // the last record
        const QString recorded = QStringLiteral("recorded");
        const QString walkedBack = QStringLiteral("walked back from the file's time");
        const auto json = [](const RecordingDates& dates) { return DatesJson(dates); };

        // The laptop slept a day and a quarter: the stamps alone would make it six hours.
        QTest::newRow("gap over a day") << "10:00:00,10:00:01,16:00:02"
                                        << json(Dates("2026-12-08T10:00:00+01:00", 1,
                                               "clock step@3=2026-12-09T16:00:02+01:00/0"))
                                        << dec9 << recorded << "2026-12-08T10:00:00+01:00"
                                        << "2026-12-09T16:00:02+01:00"
                                        << "1 / 108001"
                                        << ""
                                        << "" << qint64(108002) << "";
        QTest::newRow("gap over a day, no dates file")
            << "10:00:00,10:00:01,16:00:02" << QByteArray() << dec9 << walkedBack
            << "2026-12-09T10:00:00"
            << "2026-12-09T16:00:02"
            << "1 / 21601"
            << ""
            << "" << qint64(21602) << "";
        // The stamps repeat an hour: that is the clock, not a new day, and no time is lost.
        QTest::newRow("fall back") << "02:59:58,02:59:59,02:00:00"
                                   << json(Dates("2026-10-25T02:59:58+02:00", 1,
                                          "offset change@3=2026-10-25T02:00:00+01:00"))
                                   << dec9 << recorded << "2026-10-25T02:59:58+02:00"
                                   << "2026-10-25T02:00:00+01:00"
                                   << "0 / 0"
                                   << "daylight saving 3600"
                                   << "" << qint64(2) << "";
        QTest::newRow("spring forward") << "01:59:58,01:59:59,03:00:00"
                                        << json(Dates("2026-03-29T01:59:58+01:00", 1,
                                               "offset change@3=2026-03-29T03:00:00+02:00"))
                                        << dec9 << recorded << "2026-03-29T01:59:58+01:00"
                                        << "2026-03-29T03:00:00+02:00"
                                        << "0 / 0"
                                        << "daylight saving -3600"
                                        << "" << qint64(2) << "";
        QTest::newRow("clock set back") << "10:00:00,10:00:01,08:30:02"
                                        << json(Dates("2026-12-08T10:00:00+01:00", 1,
                                               "clock step@3=2026-12-08T08:30:02+01:00/-5400"))
                                        << dec9 << recorded << "2026-12-08T10:00:00+01:00"
                                        << "2026-12-08T08:30:02+01:00"
                                        << "0 / 0"
                                        << "clock set 5400"
                                        << "" << qint64(2) << "";
        // Thirteen hours back two seconds after the first record: no day has passed.
        QTest::newRow("a long fall soon after the first record")
            << "20:00:00,20:00:01,07:00:02" << json(Dates("2026-12-08T20:00:00+01:00", 1, ""))
            << dec9 << recorded << "2026-12-08T20:00:00+01:00"
            << "2026-12-08T07:00:02+01:00"
            << "0 / 0"
            << "set back 46800"
            << "" << qint64(2) << "";
        QTest::newRow("midnight") << "23:59:00,00:00:00,00:01:00"
                                  << json(Dates("2026-12-08T23:59:00+01:00", 60, "")) << dec9
                                  << recorded << "2026-12-08T23:59:00+01:00"
                                  << "2026-12-09T00:01:00+01:00"
                                  << "0 / 0"
                                  << ""
                                  << "" << qint64(120) << "";
        // Copied a month later: the file's time says nothing any more.
        QTest::newRow("copied file")
            << "23:59:59,00:00:00" << json(Dates("2026-12-08T23:59:59+01:00", 1, ""))
            << QDateTime(QDate(2027, 1, 15), QTime(9, 0)) << recorded << "2026-12-08T23:59:59+01:00"
            << "2026-12-09T00:00:00+01:00"
            << "0 / 0"
            << ""
            << "" << qint64(1) << "";
        QTest::newRow("copied file, no dates file")
            << "23:59:59,00:00:00" << QByteArray() << QDateTime(QDate(2027, 1, 15), QTime(9, 0))
            << walkedBack << "2027-01-14T23:59:59"
            << "2027-01-15T00:00:00"
            << "0 / 0"
            << ""
            << "" << qint64(1) << "";
        QTest::newRow("dates file of another recording")
            << "23:59:59,00:00:00" << json(Dates("2026-12-08T07:00:00+01:00", 1, "")) << justAfter
            << walkedBack << "2026-12-08T23:59:59"
            << "2026-12-09T00:00:00"
            << "0 / 0"
            << ""
            << "" << qint64(1)
            << "run.nblg.dates.json is ignored, it belongs to another recording: its first "
               "record is at 07:00:00, the data file's at 23:59:59";
        QTest::newRow("an event beyond the last record")
            << "23:59:59,00:00:00"
            << json(Dates(
                   "2026-12-08T23:59:59+01:00", 1, "part started@5=2026-12-09T00:00:03+01:00"))
            << justAfter << walkedBack << "2026-12-08T23:59:59"
            << "2026-12-09T00:00:00"
            << "0 / 0"
            << ""
            << "" << qint64(1)
            << "run.nblg.dates.json is ignored, it belongs to another recording: it names "
               "record 5, the data file ends at record 2";
        QTest::newRow("damaged JSON")
            << "23:59:59,00:00:00" << QByteArray("{ \"dates\": \"recorded\", \"first\": ")
            << justAfter << walkedBack << "2026-12-08T23:59:59"
            << "2026-12-09T00:00:00"
            << "0 / 0"
            << ""
            << "" << qint64(1) << "run.nblg.dates.json is ignored: not JSON";
        QTest::newRow("hand-edited without an offset")
            << "23:59:59,00:00:00"
            << QByteArray("{ \"dates\": \"recorded\", \"first\": { \"record\": 1, \"at\": "
                          "\"2026-12-08T23:59:59\" } }")
            << justAfter << walkedBack << "2026-12-08T23:59:59"
            << "2026-12-09T00:00:00"
            << "0 / 0"
            << ""
            << "" << qint64(1)
            << "run.nblg.dates.json is ignored: no date-time with an offset for the first record";
        // Records 3 to 5 repeat the last reading: left out, and their time is a gap.
        QTest::newRow("meter silent")
            << "00:39:35,00:39:36,00:39:37,00:39:38,00:39:39,00:39:40,00:39:41"
            << json(Dates("2026-12-08T00:39:35+01:00", 1,
                   "meter silent@3=2026-12-08T00:39:36+01:00;"
                   "reconnected@6=2026-12-08T00:39:40+01:00"))
            << dec9 << recorded << "2026-12-08T00:39:35+01:00"
            << "2026-12-08T00:39:41+01:00"
            << "1 / 4"
            << ""
            << "2026-12-08T00:39:37+01:00 to 2026-12-08T00:39:40+01:00, 3" << qint64(6) << "";
        QTest::newRow("meter silent to the end")
            << "00:39:35,00:39:36,00:39:37,00:39:38"
            << json(Dates(
                   "2026-12-08T00:39:35+01:00", 1, "meter silent@3=2026-12-08T00:39:36+01:00"))
            << dec9 << recorded << "2026-12-08T00:39:35+01:00"
            << "2026-12-08T00:39:36+01:00"
            << "0 / 0"
            << ""
            << "2026-12-08T00:39:37+01:00 to 2026-12-08T00:39:38+01:00, 2" << qint64(1) << "";
        QTest::newRow("a logger set")
            << "08:00:00,08:10:00"
            << json(Dates("2026-12-01T08:00:00+01:00", 600, "", DatesSource::WorkedOut)) << dec9
            << "worked out from the download"
            << "2026-12-01T08:00:00+01:00"
            << "2026-12-01T08:10:00+01:00"
            << "0 / 0"
            << ""
            << "" << qint64(600) << "";
    }
    void dates()
    {
        QFETCH(QString, times);
        QFETCH(QByteArray, datesFile);
        QFETCH(QDateTime, written);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("run.nblg"));
        QVERIFY(Write(path, DataFile(times), written));
        if (!datesFile.isEmpty())
            QVERIFY(Write(DatesFilePath(path), datesFile));

        ReportSettings settings;
        ReportFigures figures;
        QString error;
        QVERIFY2(FilesReportFigures({ path }, settings, &figures, &error), qPrintable(error));
        DateFromFiles(&figures, { path });
        const QJsonObject report = QJsonDocument::fromJson(ReportJson(figures)).object();
        const QJsonObject period = report[QStringLiteral("period")].toObject();
        QTEST(report[QStringLiteral("dates")].toString(), "from");
        QTEST(period[QStringLiteral("first")].toString(), "first");
        QTEST(period[QStringLiteral("last")].toString(), "last");
        QTEST(QStringLiteral("%1 / %2")
                  .arg(period[QStringLiteral("gaps")].toInteger())
                  .arg(period[QStringLiteral("gapSeconds")].toInteger()),
            "gaps");
        QTEST(Steps(period[QStringLiteral("stepsBack")].toArray()), "steps");
        QTEST(Silent(period[QStringLiteral("meterSilent")].toArray()), "silent");
        QTEST(figures.duration(), "duration");
        QFETCH(QString, warning);
        const QJsonArray warnings = report[QStringLiteral("warnings")].toArray();
        QCOMPARE(warnings.size(), warning.isEmpty() ? 0 : 1);
        if (!warning.isEmpty())
            QVERIFY2(
                warnings[0].toString().startsWith(warning), qPrintable(warnings[0].toString()));
        // The part names the same range.
        const QJsonObject part = report[QStringLiteral("parts")].toArray()[0].toObject();
        QCOMPARE(part[QStringLiteral("first")], period[QStringLiteral("first")]);
        QCOMPARE(part[QStringLiteral("last")], period[QStringLiteral("last")]);
    }

    // Parts of one recording, each with its own dates file or none: the dates carry on.
    void parts_data()
    {
        QTest::addColumn<bool>("firstDated");
        QTest::addColumn<bool>("secondDated");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("last");
        QTest::newRow("both") << true << true << "recorded"
                              << "2026-12-10T00:00:01+01:00";
        QTest::newRow("the first")
            << true << false << "recorded (run.nblg); carried on by the time of day (run-1.nblg)"
            << "2026-12-09T00:00:01";
        // The second part's dates date the first part too, carried back by its times of day.
        QTest::newRow("the second")
            << false << true << "recorded (run-1.nblg); carried on by the time of day (run.nblg)"
            << "2026-12-10T00:00:01+01:00";
    }
    void parts()
    {
        QFETCH(bool, firstDated);
        QFETCH(bool, secondDated);
        QTemporaryDir dir;
        const QString first = dir.filePath(QStringLiteral("run.nblg"));
        const QString second = dir.filePath(QStringLiteral("run-1.nblg"));
        QVERIFY(Write(first, DataFile("23:59:59,00:00:00")));
        // Its records are 3 and 4, the second a day and a second after the one before.
        QByteArray part = DataFile("00:00:00,00:00:01");
        part.replace("\r\n1\t", "\r\n3\t").replace("\r\n2\t", "\r\n4\t");
        QVERIFY(Write(second, part, QDateTime(QDate(2026, 12, 11), QTime(12, 0))));
        if (firstDated)
            QVERIFY(WriteDatesFile(first, Dates("2026-12-08T23:59:59+01:00", 1, ""), nullptr));
        if (secondDated) {
            RecordingDates dates = Dates("2026-12-10T00:00:00+01:00", 1, "");
            dates.firstRecord = 3;
            QVERIFY(WriteDatesFile(second, dates, nullptr));
        }
        ReportFigures figures;
        QString error;
        QVERIFY2(FilesReportFigures({ first, second }, ReportSettings(), &figures, &error),
            qPrintable(error));
        DateFromFiles(&figures, { first, second });
        const QJsonObject report = QJsonDocument::fromJson(ReportJson(figures)).object();
        QTEST(report[QStringLiteral("dates")].toString(), "from");
        QTEST(report[QStringLiteral("period")][QStringLiteral("last")].toString(), "last");
        QCOMPARE(figures.warnings, QStringList());
    }

    // A list opened from a data file knows the file's dates: the dialog's date starts there.
    void listDefaults()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("run.nblg"));
        QVERIFY(Write(path, DataFile("23:59:59,00:00:00"), QDateTime(QDate(2027, 1, 15), QTime())));
        GridRows rows;
        rows.appendTabbed(QByteArrayView(RecordLine(1, "23:59:59", "600")));
        rows.appendTabbed(QByteArrayView(RecordLine(2, "00:00:00", "600")));
        const QDate today(2027, 2, 1);
        QCOMPARE(
            ListReportDefaults(rows, path, "run.nblg", false, today).firstDate, QDate(2027, 1, 14));
        QVERIFY(WriteDatesFile(path, Dates("2026-12-08T23:59:59+01:00", 1, ""), nullptr));
        QCOMPARE(
            ListReportDefaults(rows, path, "run.nblg", false, today).firstDate, QDate(2026, 12, 8));
    }

    // The days of a list's rows for the file graph's labels: where each begins.
    void rowDays()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("run.nblg"));
        const QString times = QStringLiteral("23:59:59,00:00:00,00:00:01,10:00:00");
        QVERIFY(Write(path, DataFile(times)));
        GridRows rows;
        int number = 0;
        for (const QString& time : times.split(QLatin1Char(',')))
            rows.appendTabbed(QByteArrayView(RecordLine(++number, qPrintable(time), "600")));
        using Days = std::vector<std::pair<qint64, QDate>>;
        QCOMPARE(RowDays(rows, path), Days());
        // Record 4 comes after a sleep of a day and ten hours.
        QVERIFY(WriteDatesFile(path,
            Dates("2026-12-08T23:59:59+01:00", 1, "clock step@4=2026-12-10T10:00:00+01:00/0"),
            nullptr));
        QCOMPARE(RowDays(rows, path),
            (Days { { 0, QDate(2026, 12, 8) }, { 1, QDate(2026, 12, 9) },
                { 3, QDate(2026, 12, 10) } }));
    }

    // What is written is read back the same; what is no dates file is refused with the reason.
    void file_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("error"); // empty: read
        const RecordingDates full = Dates("2026-12-08T07:00:00+01:00", 2,
            "started@1=2026-12-08T07:00:00+01:00;meter silent@1450=2026-12-08T07:48:17+01:00;"
            "reconnected@1472=2026-12-08T07:49:01+01:00;"
            "clock step@3000=2026-12-08T09:30:00+01:00/5400;"
            "offset change@3100=2026-12-08T08:33:20-05:30;"
            "interval "
            "change@3200=2026-12-08T08:36:40-05:30/60;stopped@4000=2026-12-08T10:00:00-05:30");
        RecordingDates named = full;
        named.file = QStringLiteral("run.nblg");
        QTest::newRow("written") << DatesJson(named) << "";
        QTest::newRow("not an object") << QByteArray("[]") << "not a JSON object";
        QTest::newRow("no source")
            << QByteArray(R"({"first":{"record":1,"at":"2026-12-08T07:00:00Z"}})")
            << "\"dates\" is neither \"recorded\" nor \"worked out\"";
        QTest::newRow("record 0") << QByteArray(
            R"({"dates":"recorded","first":{"record":0,"at":"2026-12-08T07:00:00Z"}})")
                                  << "no first record number";
        QTest::newRow("an event that is none")
            << QByteArray(R"({"dates":"recorded","first":{"record":1,"at":"2026-12-08T07:00:00Z"},
                "events":[{"event":"lunch","record":2,"at":"2026-12-08T12:00:00Z"}]})")
            << "event 1: \"lunch\" is no event";
        QTest::newRow("events out of order")
            << QByteArray(R"({"dates":"recorded","first":{"record":1,"at":"2026-12-08T07:00:00Z"},
                "events":[{"event":"stopped","record":9,"at":"2026-12-08T12:00:00Z"},
                          {"event":"started","record":3,"at":"2026-12-08T12:00:00Z"}]})")
            << "event 2: record 3 is out of order";
        QTest::newRow("a clock set by a thousand years")
            << QByteArray(R"({"dates":"recorded","first":{"record":1,"at":"2026-12-08T07:00:00Z"},
                "events":[{"event":"clock step","record":2,"at":"2026-12-08T07:00:01Z","seconds":3.2e10}]})")
            << "event 1: more than 50 years from the first record";
        QTest::newRow("an interval change to no interval")
            << QByteArray(R"({"dates":"recorded","first":{"record":1,"at":"2026-12-08T07:00:00Z"},
                "events":[{"event":"interval change","record":2,"at":"2026-12-08T07:00:01Z","interval":0.5}]})")
            << "event 1: no interval of 1 to 86400 seconds";
        QTest::newRow("an offset of 25 hours")
            << QByteArray(
                   R"({"dates":"recorded","first":{"record":1,"at":"2026-12-08T07:00:00+25:00"}})")
            << "no date-time with an offset for the first record";
    }
    void file()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("run.nblg"));
        QVERIFY(Write(DatesFilePath(path), json));
        RecordingDates dates;
        QString reason;
        const DatesRead read = ReadDatesFile(path, &dates, &reason);
        QCOMPARE(reason, error);
        QCOMPARE(read, error.isEmpty() ? DatesRead::Read : DatesRead::Damaged);
        if (error.isEmpty()) {
            // Written again through the file, the dates come back byte for byte.
            QVERIFY(WriteDatesFile(path, dates, nullptr));
            QFile file(DatesFilePath(path));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), json);
            QCOMPARE(dates.events.size(), size_t(7));
            QCOMPARE(dates.events[4].at.offsetFromUtc(), -(5 * 3600 + 1800));
            QCOMPARE(dates.events[5].interval, 60);
        }
    }
};

QTEST_GUILESS_MAIN(TestReportDates)
#include "test_reportdates.moc"
