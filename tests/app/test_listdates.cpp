// The live list's rows keep their dates: "Save" writes those of the rows it saves beside them,
// the dump at 34,800 rows those of the rows dumped, and the rows after a dump or in a list
// opened again are dated afresh. Each dates file fits its file as the report reads it.
#include "acquisition/metersession.h"
#include "app/programstate.h"
#include "lists/list.h"
#include "lists/listcontext.h"
#include "lists/listwindows.h"
#include "meter/framebytes.h"
#include "platform/clock.h"
#include "recording/recorder.h"
#include "recording/recordingdates.h"
#include "report/reportdates.h"
#include "support/datesline.h"
#include "support/fakeclock.h"
#include "support/fakes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace
{

// The program's session and list windows on the fake clock, sampling every second, with a
// meter that sends a frame every 480 ms.
struct Rig {
    QTemporaryDir dir;
    ProgramState state;
    FakeClock clock { QDateTime(QDate(2026, 12, 8), QTime(7, 0, 0)) };
    FakeSerialLink link;
    FakeBeeper beeper;
    FakePrompts prompts;
    FakePrinterProvider printers { QString() };
    MeterSession session { state, link, clock, beeper };
    ListWindows lists { ListContext { state.Rec, prompts, printers, clock, {}, {} } };
    std::unique_ptr<Timer> meter { clock.createTimer(nullptr) };

    Rig()
    {
        clock.setUtcOffset(3600);
        session.setLiveList(&lists);
        lists.setLiveListDates([this](const QString& path, QString* error) {
            return session.writeLiveListDates(path, error);
        });
        QVERIFY(session.start());
        state.Rec.SamplingSeconds = 1;
        meter->setInterval(480);
        QObject::connect(
            meter.get(), &Timer::timeout, [this] { link.feed(LiveFrameBytes(415, 500, 250)); });
        meter->start();
    }

    // Steps: N ticks; "open", "close" (the live list); "set+S" (the clock set by S seconds);
    // "save:NAME" (the live list's "Save" to NAME.nblg).
    bool run(const QString& script)
    {
        for (const QString& step : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (step == QLatin1String("open")) {
                lists.openLiveList();
            } else if (step == QLatin1String("close")) {
                lists.closeLiveList();
            } else if (step.startsWith(QLatin1String("set+"))) {
                clock.setWallClock(clock.wallClock().addSecs(step.mid(4).toLongLong()));
            } else if (step.startsWith(QLatin1String("save:"))) {
                prompts.saveAnswers.enqueue(dir.filePath(step.mid(5) + QStringLiteral(".nblg")));
                if (!lists.liveList() || !lists.liveList()->save())
                    return false;
            } else {
                clock.advance(step.toLongLong() * Recorder::kTickMs);
            }
        }
        return true;
    }
};

} // namespace

class TestListDates : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void datesOfTheSavedRows_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("files"); // "name: dates line"
        QTest::newRow("saved") << "open 5 save:a"
                               << QStringList { "a.nblg: 1=2026-12-08T07:00:01+01:00: "
                                                "started@1=2026-12-08T07:00:01+01:00" };
        QTest::newRow("clock set forward while listing")
            << "open 5 set+3600 3 save:a"
            << QStringList { "a.nblg: 1=2026-12-08T07:00:01+01:00: "
                             "started@1=2026-12-08T07:00:01+01:00; "
                             "clock step@6=2026-12-08T08:00:05+01:00/3600" };
        // The rows of a list closed are gone; the list opened again starts at row 1.
        QTest::newRow("opened again") << "open 3 close 2 open 2 save:a"
                                      << QStringList { "a.nblg: 1=2026-12-08T07:00:06+01:00: "
                                                       "started@1=2026-12-08T07:00:06+01:00" };
        // Saved twice: the second file has the rows of both saves.
        QTest::newRow("saved twice")
            << "open 2 save:a 2 save:b"
            << QStringList { "a.nblg: 1=2026-12-08T07:00:01+01:00: "
                             "started@1=2026-12-08T07:00:01+01:00",
                   "b.nblg: 1=2026-12-08T07:00:01+01:00: started@1=2026-12-08T07:00:01+01:00" };
        // An empty list saved over a file takes the file's old dates away.
        QTest::newRow("empty list saved") << "open save:stale" << QStringList {};
        // 34,800 rows go into the dump, named by the moment of the last; the rows after it
        // start a part of their own.
        QTest::newRow("dumped") << "open 34802 save:a"
                                << QStringList { "1208161648.nblg: 1=2026-12-08T07:00:01+01:00: "
                                                 "started@1=2026-12-08T07:00:01+01:00",
                                       "a.nblg: 34801=2026-12-08T16:16:51+01:00: "
                                       "part started@34801=2026-12-08T16:16:51+01:00" };
    }
    void datesOfTheSavedRows()
    {
        QFETCH(QString, script);
        QFETCH(QStringList, files);
        Rig rig;
        QVERIFY(rig.dir.isValid());
        // Dates left by a file the save replaces.
        QFile stale(DatesFilePath(rig.dir.filePath(QStringLiteral("stale.nblg"))));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write(R"({"dates":"recorded","first":{"record":7,"at":"2026-01-01T00:00:00Z"}})");
        stale.close();
        // The dump goes into the current folder.
        const QString folder = QDir::currentPath();
        QVERIFY(QDir::setCurrent(rig.dir.path()));
        const bool ran = rig.run(script);
        QDir::setCurrent(folder);
        QVERIFY(ran);

        QStringList found;
        const QDir dir(rig.dir.path());
        for (const QString& name : dir.entryList({ "*.nblg" }, QDir::Files, QDir::Name)) {
            RecordingDates dates;
            QString warning;
            if (ReadDatesFile(dir.filePath(name), &dates, &warning) != DatesRead::Read)
                continue;
            QVERIFY2(FittingDates(dir.filePath(name), &warning).has_value(), qPrintable(warning));
            found.append(name + QStringLiteral(": ") + DatesLine(dates));
        }
        QCOMPARE(found, files);
        QVERIFY(rig.prompts.messages.isEmpty());
    }
};

QTEST_MAIN(TestListDates)
#include "test_listdates.moc"
