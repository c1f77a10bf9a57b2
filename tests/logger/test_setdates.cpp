#include "logger/loggertables.h"
#include "logger/setdates.h"
#include "recording/recordingdates.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestSetDates : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Sets dated from a download that ended at 10:00:00+01:00, from the last set back.
    void workedOutFromTheDownloadsEnd_data()
    {
        QTest::addColumn<QStringList>("sets"); // "start/records/interval", set 1 first
        QTest::addColumn<QStringList>("dates");
        QTest::newRow("ended an hour before")
            << QStringList { "08:00:00/61/60" } << QStringList { "2026-12-08T08:00:00+01:00" };
        QTest::newRow("ended last evening")
            << QStringList { "22:00:00/61/60" } << QStringList { "2026-12-07T22:00:00+01:00" };
        QTest::newRow("the meter's clock a little ahead")
            << QStringList { "09:50:00/31/60" } << QStringList { "2026-12-08T09:50:00+01:00" };
        QTest::newRow("over midnight")
            << QStringList { "23:00:00/181/60" } << QStringList { "2026-12-07T23:00:00+01:00" };
        QTest::newRow("an earlier set ends before the next starts")
            << QStringList { "08:00:00/61/60", "07:00:00/61/60" }
            << QStringList { "2026-12-07T08:00:00+01:00", "2026-12-08T07:00:00+01:00" };
        QTest::newRow("a start that is no time of day") << QStringList { "1A:00:00/10/1",
            "09:00:00/61/1" } << QStringList { "none", "2026-12-08T09:00:00+01:00" };
    }
    void workedOutFromTheDownloadsEnd()
    {
        QFETCH(QStringList, sets);
        QFETCH(QStringList, dates);
        LoggerTables tables;
        for (int i = 0; i < sets.size(); ++i) {
            const QStringList parts = sets[i].split('/');
            tables.LoggerSetStartTimes[i + 1] = parts[0];
            tables.LoggerSetCounts[i + 1] = parts[1].toInt();
            tables.LoggerSetIntervals[i + 1] = parts[2].toInt();
        }
        WorkOutSetDates(tables, int(sets.size()),
            QDateTime(QDate(2026, 12, 8), QTime(10, 0), Qt::OffsetFromUTC, 3600));
        QStringList found;
        for (int set = 1; set <= sets.size(); ++set) {
            const QDateTime& at = tables.LoggerSetDates[set];
            found << (at.isValid() ? OffsetDateTimeText(at) : QStringLiteral("none"));
        }
        QCOMPARE(found, dates);

        // The first set's dates file, beside its file; one left there by another file goes.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("set-1.nblg"));
        QFile stale(DatesFilePath(path));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.close();
        QString error;
        QVERIFY2(WriteSetDatesFile(path, tables, 1, &error), qPrintable(error));
        RecordingDates read;
        const DatesRead outcome = ReadDatesFile(path, &read, &error);
        if (dates[0] == QLatin1String("none")) {
            QCOMPARE(outcome, DatesRead::Missing);
        } else {
            QCOMPARE(outcome, DatesRead::Read);
            QCOMPARE(read.source, DatesSource::WorkedOut);
            QCOMPARE(OffsetDateTimeText(read.firstAt), dates[0]);
            QCOMPARE(read.interval, tables.LoggerSetIntervals[1]);
        }
    }
};

QTEST_GUILESS_MAIN(TestSetDates)
#include "test_setdates.moc"
