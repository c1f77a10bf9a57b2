// The file graph's time labels where the list's file has dates: the date where a day begins.
#include "graphs/recorddays.h"

#include <QTest>

class TestRecordDays : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void labels_data()
    {
        QTest::addColumn<QList<qint64>>("dayStarts"); // rows; the days from 8 Dec 2026 on
        QTest::addColumn<QList<qint64>>("rows"); // the labelled rows, left to right
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("no dates") << QList<qint64>() << QList<qint64> { 0, 25, 50 }
                                  << QStringList { "07:00:00", "07:00:00", "07:00:00" };
        QTest::newRow("one day") << QList<qint64> { 0 } << QList<qint64> { 0, 25, 50 }
                                 << QStringList { "8 Dec 07:00:00", "07:00:00", "07:00:00" };
        QTest::newRow("midnight between labels")
            << QList<qint64> { 0, 30 } << QList<qint64> { 0, 25, 50, 75 }
            << QStringList { "8 Dec 07:00:00", "07:00:00", "9 Dec 07:00:00", "07:00:00" };
        // Days without a label go by unnamed; the next label names its own.
        QTest::newRow("days between labels") << QList<qint64> { 0, 5, 10,
            15 } << QList<qint64> { 0, 20 } << QStringList { "8 Dec 07:00:00", "11 Dec 07:00:00" };
        QTest::newRow("a range from a later row") << QList<qint64> { 0,
            30 } << QList<qint64> { 40, 45 } << QStringList { "9 Dec 07:00:00", "07:00:00" };
    }
    void labels()
    {
        QFETCH(QList<qint64>, dayStarts);
        QFETCH(QList<qint64>, rows);
        QFETCH(QStringList, labels);
        RecordDays days;
        for (qsizetype d = 0; d < dayStarts.size(); ++d)
            days.starts.emplace_back(dayStarts[d], QDate(2026, 12, 8).addDays(d));
        QDate labelled;
        QStringList shown;
        for (const qint64 row : rows)
            shown << FileTimeLabel(QStringLiteral("07:00:00"), row, days, &labelled);
        QCOMPARE(shown, labels);
    }
};

QTEST_GUILESS_MAIN(TestRecordDays)
#include "test_recorddays.moc"
