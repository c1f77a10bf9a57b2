// The whole program on the virtual meter: live readings, a logger dump into the data-logger
// window, listing a set into the data list, the real-time graph and the live list closing when
// the meter falls silent.
#include "acquisition/acquisitioncycle.h"
#include "acquisition/metersession.h"
#include "app/application.h"
#include "app/panel.h"
#include "app/toolbarcommands.h"
#include "graphs/graphwindows.h"
#include "graphs/realtime24.h"
#include "lists/datalist.h"
#include "lists/gridmodel.h"
#include "lists/listwindows.h"
#include "loggerwindow/memory.h"
#include "loggerwindow/memorycontroller.h"
#include "platform/systemclock.h"
#include "support/applicationrig.h"
#include "support/fakes.h"
#include "support/virtualmeterprocess.h"

#include <QLabel>
#include <QProcess>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

class TestApplication : public QObject
{
    Q_OBJECT
private:
    VirtualMeterProcess m_meter;

    void command(const char* line) { QVERIFY(m_meter.command(line)); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_meter.start({ "--port", "COM1", "--interval", "200", "--seed", "11", "--set",
            "70,START=23:59:30,INTERVAL=60", "--set", "33,KIND=mixed", "--set", "0" }));
    }

    void dumpListAndSilence()
    {
        ApplicationRig rig(std::make_unique<SystemClock>(), m_meter.runtimePath());
        Application& app = rig.app;
        FakePrompts* prompts = rig.prompts;
        QVERIFY(app.openPanel());
        Panel& panel = *app.panel();
        QSignalSpy decoded(&app.session()->acquisition(), &AcquisitionCycle::readingDecoded);
        QTRY_VERIFY_WITH_TIMEOUT(decoded.count() >= 2, 10000);

        // The meter dumps its logger: three sets arrive in the data-logger window.
        command("dump");
        QTRY_VERIFY_WITH_TIMEOUT(app.memory()->memoryWindow() != nullptr, 15000);
        Memory* memory = app.memory()->memoryWindow();
        QTRY_COMPARE_WITH_TIMEOUT(memory->setRowCount(), 3, 15000);
        QCOMPARE(memory->setRowCells(0), (QStringList { "1", "23:59:30", "70", "60" }));
        QCOMPARE(memory->setRowCells(2).at(2), QStringLiteral("0"));
        QVERIFY(prompts->messages.isEmpty());
        QCOMPARE(memory->pos().x(), panel.frameGeometry().right() + 1);

        // Live readings come back after the dump.
        const int afterDump = decoded.count();
        QTRY_VERIFY_WITH_TIMEOUT(decoded.count() >= afterDump + 2, 10000);

        // A click on the first set lists it, across midnight, into the data list.
        auto* grid = memory->findChild<QTableWidget*>(QStringLiteral("GridSet"));
        QVERIFY(grid);
        const QRect cell = grid->visualItemRect(grid->item(0, 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        DataList* list = app.listWindows()->dataList();
        QVERIFY(list);
        QCOMPARE(list->model().rowCount(), 70);
        QCOMPARE(list->model().cell(0, 0), QStringLiteral("1"));
        QCOMPARE(list->model().cell(0, 1), QStringLiteral("23:59:30"));
        QCOMPARE(list->model().cell(1, 1), QStringLiteral("00:00:30"));
        QCOMPARE(list->model().cell(69, 0), QStringLiteral("70"));
        QVERIFY(list->model().cell(0, 3).contains(QLatin1Char('.')));
        QCOMPARE(list->caption(), QStringLiteral("Data List"));
        QVERIFY(app.session()->acquisition().timer1().isActive());

        // "Graph" and "List" open their windows; a silent meter closes both.
        app.commands()->run(QStringLiteral("Graph"));
        app.commands()->run(QStringLiteral("List"));
        QVERIFY(app.graphs()->realTimeGraph());
        QVERIFY(app.listWindows()->liveList());
        command("silence");
        QTRY_COMPARE_WITH_TIMEOUT(panel.label("LblCOM")->text(), QStringLiteral("No COM"), 15000);
        QVERIFY(!app.graphs()->realTimeGraph() || !app.graphs()->realTimeGraph()->isVisible());
        QTRY_VERIFY(!app.listWindows()->liveList());
        command("resume");
        QTRY_COMPARE_WITH_TIMEOUT(panel.label("LblCOM")->text(), QStringLiteral("COM1"), 10000);
    }

    void cleanupTestCase() { QVERIFY(m_meter.quit()); }
};

QTEST_MAIN(TestApplication)
#include "test_application.moc"
