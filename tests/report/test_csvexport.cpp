// The records as CSV for a spreadsheet: one row per record with its dates and eight values.
#include "csvexport.h"
#include "recording/recordingdates.h"
#include "reportlines.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTest>

namespace
{
const QByteArray kHeader = "No.s\tTime\tppm\t\xb0"
                           "C\tDew\xb0"
                           "C\tWet\xb0"
                           "C\tRH%\t\xb0"
                           "F\tDew\xb0"
                           "F\tWet\xb0"
                           "F\r\n";

bool Write(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// Dates of a part from its first record at the date-time given, with the events given.
RecordingDates Dates(qint64 firstRecord, const QString& at, std::vector<DatesEvent> events = {})
{
    RecordingDates dates;
    dates.firstRecord = firstRecord;
    dates.firstAt = ReadOffsetDateTime(at);
    dates.interval = 1;
    dates.events = std::move(events);
    return dates;
}
} // namespace

class TestCsvExport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void rows_data()
    {
        QTest::addColumn<QByteArrayList>("parts"); // each part's lines after its header
        QTest::addColumn<QStringList>("dated"); // each part's first date-time; none: no dates
        QTest::addColumn<QByteArrayList>("rows"); // the CSV after its header

        QTest::newRow("walked back, no offset")
            << QByteArrayList { RecordLine(1, "23:59:59", "612", "21.4", "45.0") } << QStringList()
            << QByteArrayList { "2026-12-08T23:59:59,2026-12-08 23:59:59,612,21.4,9.0,14.0,45.0,"
                                "70.5,48.2,57.2" };
        QTest::newRow("markers are empty cells")
            << QByteArrayList { RecordLine(1, "07:00:00", "OL", "-OL.0", "----.0") + "\r\n"
                   + RecordLine(2, "07:00:01", "----", "OL.0", "99.9") }
            << QStringList { "2026-12-08T07:00:00+01:00" }
            << QByteArrayList { "2026-12-08T07:00:00+01:00,2026-12-08 07:00:00,,,9.0,14.0,,,48.2,"
                                "57.2",
                   "2026-12-08T07:00:01+01:00,2026-12-08 07:00:01,,,9.0,14.0,99.9,,48.2,57.2" };
        // Both units are copied as the file holds them, not worked out again.
        QTest::newRow("Fahrenheit")
            << QByteArrayList { "1\t07:00:00\t600\t-3.0\t-9.5\t-4.4\t61.0\t26.6\t14.9\t24.0" }
            << QStringList { "2026-12-08T07:00:00+01:00" }
            << QByteArrayList { "2026-12-08T07:00:00+01:00,2026-12-08 07:00:00,600,-3.0,-9.5,"
                                "-4.4,61.0,26.6,14.9,24.0" };
        // The second part was started after midnight; its dates file names the day.
        QTest::newRow("parts")
            << QByteArrayList { RecordLine(1, "07:00:00", "600"), RecordLine(2, "00:00:00", "601") }
            << QStringList { "2026-12-08T07:00:00+01:00", "2026-12-09T00:00:00+01:00" }
            << QByteArrayList { "2026-12-08T07:00:00+01:00,2026-12-08 07:00:00,600,21.0,9.0,"
                                "14.0,45.0,69.8,48.2,57.2",
                   "2026-12-09T00:00:00+01:00,2026-12-09 00:00:00,601,21.0,9.0,14.0,45.0,69.8,"
                   "48.2,57.2" };
    }
    void rows()
    {
        QFETCH(QByteArrayList, parts);
        QFETCH(QStringList, dated);
        QFETCH(QByteArrayList, rows);
        QTemporaryDir dir;
        QStringList files;
        for (qsizetype i = 0; i < parts.size(); ++i) {
            const QString path = dir.filePath(
                i == 0 ? QStringLiteral("run.nblg") : QStringLiteral("run-%1.nblg").arg(i));
            QVERIFY(Write(path, kHeader + parts[i] + "\r\n"));
            if (!dated.isEmpty())
                QVERIFY(WriteDatesFile(path, Dates(i + 1, dated[i]), nullptr));
            files << path;
        }
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QString error;
        QVERIFY2(WriteRecordsCsv(files, QDate(2026, 12, 8), out, &error), qPrintable(error));
        QCOMPARE(out.data(), CsvHeader() + "\r\n" + rows.join("\r\n") + "\r\n");
    }

    // The records a silent meter's display repeated keep their dates and lose their values.
    void silentMeter()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("run.nblg"));
        QByteArray text = kHeader;
        for (int i = 1; i <= 4; ++i)
            text += RecordLine(i, qPrintable(QStringLiteral("00:39:3%1").arg(i + 4)), "700")
                + "\r\n";
        QVERIFY(Write(path, text));
        DatesEvent silent { DatesEvent::Kind::MeterSilent, 2,
            ReadOffsetDateTime("2026-12-08T00:39:35+01:00") };
        DatesEvent back { DatesEvent::Kind::Reconnected, 4,
            ReadOffsetDateTime("2026-12-08T00:39:38+01:00") };
        QVERIFY(
            WriteDatesFile(path, Dates(1, "2026-12-08T00:39:35+01:00", { silent, back }), nullptr));
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QString error;
        QVERIFY(WriteRecordsCsv({ path }, QDate(2026, 12, 8), out, &error));
        const QList<QByteArray> lines = out.data().split('\n');
        QCOMPARE(lines.size(), 6); // the header, four rows, nothing after the last line end
        QVERIFY(lines[1].endsWith(",700,21.0,9.0,14.0,45.0,69.8,48.2,57.2\r"));
        QCOMPARE(lines[2], "2026-12-08T00:39:36+01:00,2026-12-08 00:39:36,,,,,,,,\r");
        QCOMPARE(lines[3], "2026-12-08T00:39:37+01:00,2026-12-08 00:39:37,,,,,,,,\r");
        QVERIFY(lines[4].endsWith(",700,21.0,9.0,14.0,45.0,69.8,48.2,57.2\r"));
    }
};

QTEST_GUILESS_MAIN(TestCsvExport)
#include "test_csvexport.moc"
