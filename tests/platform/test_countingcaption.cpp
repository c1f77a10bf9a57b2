#include "desktop/busycursor.h"
#include "platform/countingcaption.h"
#include "support/fakeclock.h"

#include <QGuiApplication>
#include <QtTest>

// The caption that recording, the file graph and the logger listing count in.
class TestCountingCaption : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The windows' program gives the core's captions the desktop's busy pointer.
    void initTestCase() { InstallBusyPointer(); }

    void countsAtMostEveryIntervalAndEndsExact_data()
    {
        QTest::addColumn<QList<int>>("stepsMs"); // before each count of 1, 2, 3, ...
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("all at once") << QList<int> { 0, 0, 0 } << QStringList { "1 R", "end" };
        QTest::newRow("each after the interval")
            << QList<int> { 0, 50, 50 } << QStringList { "1 R", "2 R", "3 R", "end" };
        QTest::newRow("just short of it")
            << QList<int> { 0, 49, 1, 49 } << QStringList { "1 R", "3 R", "end" };
    }
    void countsAtMostEveryIntervalAndEndsExact()
    {
        QFETCH(QList<int>, stepsMs);
        QFETCH(QStringList, captions);
        FakeClock clock;
        QStringList shown;
        {
            CountingCaption caption(
                clock, QStringLiteral(" R"), [&shown](const QString& text) { shown << text; });
            QVERIFY(QGuiApplication::overrideCursor());
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
            for (int i = 0; i < stepsMs.size(); ++i) {
                clock.advance(stepsMs[i]);
                caption.count(i + 1);
            }
            caption.finish(QStringLiteral("end"));
            QVERIFY(!QGuiApplication::overrideCursor());
        }
        QCOMPARE(shown, captions);
    }

    void showCountIsAtOnceAndThePointerCanStay()
    {
        FakeClock clock;
        QStringList shown;
        {
            CountingCaption caption(
                clock, QStringLiteral("Records Completed"),
                [&shown](const QString& text) { shown << text; },
                CountingCaption::Pointer::Unchanged);
            QVERIFY(!QGuiApplication::overrideCursor());
            caption.count(1);
            caption.showCount(2);
        }
        QCOMPARE(shown, (QStringList { "1Records Completed", "2Records Completed" }));
        // A caption dropped before finish() still gives the normal pointer back.
        {
            CountingCaption caption(clock, QString(), [](const QString&) {});
        }
        QVERIFY(!QGuiApplication::overrideCursor());
    }
};

QTEST_MAIN(TestCountingCaption)
#include "test_countingcaption.moc"
