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
        QTest::addColumn<QList<bool>>("shown"); // empty: all
        QTest::addColumn<QStringList>("labels");
        const QString t = QStringLiteral("07:00:00");
        QTest::newRow("no dates") << QList<qint64>() << QList<qint64> { 0, 25, 50 } << QList<bool>()
                                  << QStringList { t, t, t };
        QTest::newRow("one day") << QList<qint64> { 0 } << QList<qint64> { 0, 25, 50 }
                                 << QList<bool>() << QStringList { "8 Dec " + t, t, t };
        QTest::newRow("midnight between labels")
            << QList<qint64> { 0, 30 } << QList<qint64> { 0, 25, 50, 75 } << QList<bool>()
            << QStringList { "8 Dec " + t, t, "9 Dec " + t, t };
        // Days without a label go by unnamed; the next label names its own.
        QTest::newRow("days between labels")
            << QList<qint64> { 0, 5, 10, 15 } << QList<qint64> { 0, 20 } << QList<bool>()
            << QStringList { "8 Dec " + t, "11 Dec " + t };
        QTest::newRow("a range from a later row")
            << QList<qint64> { 0, 30 } << QList<qint64> { 40, 45 } << QList<bool>()
            << QStringList { "9 Dec " + t, t };
        // The label that named the day is hidden: the next one shown names it.
        QTest::newRow("the day's first label hidden")
            << QList<qint64> { 0, 30 } << QList<qint64> { 0, 25, 50, 75 }
            << QList<bool> { true, true, false, true }
            << QStringList { "8 Dec " + t, t, "9 Dec " + t, "9 Dec " + t };
    }
    void labels()
    {
        QFETCH(QList<qint64>, dayStarts);
        QFETCH(QList<qint64>, rows);
        QFETCH(QList<bool>, shown);
        RecordDays days;
        for (qsizetype d = 0; d < dayStarts.size(); ++d)
            days.starts.emplace_back(dayStarts[d], QDate(2026, 12, 8).addDays(d));
        QStringList times;
        std::vector<QDate> dates;
        for (const qint64 row : rows) {
            times << QStringLiteral("07:00:00");
            dates.push_back(days.at(row));
        }
        QTEST(
            FileTimeLabels(times, dates, std::vector<bool>(shown.begin(), shown.end())), "labels");
    }
};

QTEST_GUILESS_MAIN(TestRecordDays)
#include "test_recorddays.moc"
