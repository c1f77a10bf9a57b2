#include "logger/loggerstore.h"
#include "loggerwindow/memory.h"
#include "loggerwindow/memorycontroller.h"
#include "meter/loggerdownload.h"
#include "support/bytes.h"
#include "support/fakeclock.h"
#include "support/fakes.h"

#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTableWidget>
#include <QtTest>

namespace
{
QByteArray Header(int records, int hh, int mm, int ss, int interval)
{
    return Bytes({ records >> 8, records & 0xFF, 0, hh, mm, ss, interval >> 8, interval & 0xFF });
}

// A record of 415 ppm, 45.3 %RH and 23.0 °C.
QByteArray Records(int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += Bytes({ 0, 0, 0x01, 0x9F, 0x01, 0xC5, 0x00, 0xE6 });
    return bytes;
}

class RecordingSink final : public ListingSink
{
public:
    void appendRow(const QStringList& cells) override { rows.append(cells); }
    QString caption() const override { return current; }
    void setCaption(const QString& caption) override { current = caption; }
    QList<QStringList> rows;
    QString current = QStringLiteral("Data List");
};

// The logger's side put together as the program does, over a fake link and clock, with a meter
// that answers each space from a script.
struct Chain {
    FakeClock clock;
    FakeSerialLink link;
    FakePrompts prompts;
    LoggerTables tables;
    LoggerStore store { tables };
    LoggerDownload download { link, clock, store };
    MemoryController controller { store, clock };
    QWidget anchor;
    RecordingSink sink;
    int dataListsOpened = 0;
    QList<QByteArray> replies;
    int spaces = 0;

    Chain()
    {
        link.open();
        // The program shows why a download stopped as a critical message.
        QObject::connect(&download, &LoggerDownload::stopped, [this](const QString& message) {
            prompts.message(nullptr, Prompts::Icon::Critical, message);
        });
        link.onWrite = [this](const QByteArray&) {
            const int k = spaces++;
            if (k < replies.size())
                link.feed(replies[k]);
        };
        anchor.setGeometry(20, 30, 400, 300);
        anchor.show();
        controller.setAnchor(&anchor);
        controller.setDataListOpener([this]() -> ListingSink* {
            ++dataListsOpened;
            sink = RecordingSink();
            return &sink;
        });
    }
    // Scripts the replies for sets given as (header, record bytes).
    void script(const QList<QPair<QByteArray, QByteArray>>& sets)
    {
        for (const auto& set : sets) {
            replies.append(set.first);
            for (int at = 0; at < set.second.size(); at += 256)
                replies.append(set.second.mid(at, 256));
        }
    }
    void run(int sets, quint32 address)
    {
        QSignalSpy finished(&download, &DownloadHook::finished);
        download.begin(sets, address);
        for (int t = 0; t < 60000 && finished.isEmpty(); t += 50)
            clock.advance(50);
    }
    Memory* memory() const { return controller.memoryWindow(); }
    QTableWidget* grid() const { return memory()->findChild<QTableWidget*>("GridSet"); }
    int bar() const { return memory()->findChild<QProgressBar*>("MBar")->value(); }
    int gauge() const { return memory()->findChild<QProgressBar*>("MSize")->value(); }
    void clickRow(int row)
    {
        QTableWidget* g = grid();
        QTest::mouseClick(
            g->viewport(), Qt::LeftButton, {}, g->visualItemRect(g->item(row, 1)).center());
    }
};
} // namespace

class TestMemory : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void windowHoldsItsControls()
    {
        Memory m;
        QCOMPARE(m.windowTitle(), QStringLiteral("Data Logger"));
        QCOMPARE(m.findChild<QLabel*>("Label1")->text(), QStringLiteral("Capacity : 128 K"));
        QCOMPARE(m.findChild<QLabel*>("Label2")->text(), QStringLiteral("Used"));
        QCOMPARE(m.findChild<QLabel*>("Label3")->text(), QStringLiteral("Unused"));
        QCOMPARE(m.findChild<QProgressBar*>("MSize")->format(), QStringLiteral("Memory Size"));
        auto* bar = m.findChild<QProgressBar*>("MBar");
        QCOMPARE(bar->minimum(), 0);
        QCOMPARE(bar->maximum(), 100);
        auto* grid = m.findChild<QTableWidget*>("GridSet");
        QCOMPARE(grid->columnCount(), 4);
        QCOMPARE(grid->rowCount(), 0);
        const QStringList headers { "Set", "Time", "Records", "Intv." };
        // Each column as wide as its sample text, or as its widest value where that is wider.
        const QStringList samples { " No.S ", "AA:AA:AA", " Records ", "INTVV" };
        const QStringList widest { "255", "00:00:00", "65535", "65535" };
        const QFontMetrics metrics = m.fontMetrics();
        for (int c = 0; c < 4; ++c) {
            QCOMPARE(grid->horizontalHeaderItem(c)->text(), headers[c]);
            const int sample = metrics.horizontalAdvance(samples[c]);
            const int value = metrics.horizontalAdvance(widest[c]) + 2 * m.cellTextMargin();
            QCOMPARE(grid->columnWidth(c), std::max(sample, value));
        }
    }

    void downloadOpensTheWindowBesideTheMainWindow_data()
    {
        QTest::addColumn<int>("sets");
        QTest::addColumn<qint64>("address");
        QTest::addColumn<int>("gauge");
        QTest::newRow("99 sets show a full memory") << 99 << qint64(1280 + 1000) << 100;
        QTest::newRow("98 sets in half the memory") << 98 << qint64(1280 + 64768) << 50;
    }
    void downloadOpensTheWindowBesideTheMainWindow()
    {
        QFETCH(int, sets);
        QFETCH(qint64, address);
        Chain chain;
        chain.store.BeginLoggerDownload(sets, quint32(address));
        QVERIFY(chain.memory());
        QVERIFY(chain.memory()->isVisible());
        QTEST(chain.gauge(), "gauge");
        QCOMPARE(chain.bar(), 0);
        const QRect main = chain.anchor.frameGeometry();
        QCOMPARE(
            chain.memory()->frameGeometry().topLeft(), QPoint(main.x() + main.width(), main.y()));
    }

    void barFollowsTheRecordBytes()
    {
        Chain chain;
        chain.store.BeginLoggerDownload(1, 1280 + 8 + 560);
        QSignalSpy progress(&chain.store, &LoggerStore::progressChanged);
        QList<int> seen;
        for (int piece : { 256, 256, 47, 1, 100 }) {
            chain.store.AppendSetBytes(1, QByteArray(piece, '\0'));
            seen << chain.bar();
        }
        QCOMPARE(seen, (QList<int> { 45, 91, 99, 100, 100 }));
        QCOMPARE(progress.size(), 4); // only changes are announced
    }

    void newDownloadReplacesTheWindow()
    {
        Chain chain;
        chain.store.BeginLoggerDownload(2, 1280 + 16);
        chain.store.StoreSetHeader(1, Header(0, 0x10, 0, 0, 5));
        chain.store.AddLoggerSet(1);
        QPointer<Memory> first = chain.memory();
        QCOMPARE(chain.grid()->rowCount(), 1);
        chain.store.BeginLoggerDownload(1, 1280 + 8);
        QVERIFY(first.isNull());
        QCOMPARE(chain.grid()->rowCount(), 0);
    }

    void downloadedSetsAreListedOnClick()
    {
        Chain chain;
        chain.script({ { Header(3, 0x23, 0x59, 0x30, 60), Records(3) },
            { Header(70, 0x08, 0x00, 0x00, 0x8000), Records(70) },
            { Header(0, 0x09, 0x15, 0x00, 1), QByteArray() } });
        chain.run(3, 1280 + 24 + 8 * 73);
        QCOMPARE(chain.grid()->rowCount(), 3);
        QCOMPARE(chain.memory()->setRowCells(0), (QStringList { "1", "23:59:30", "3", "60" }));
        QCOMPARE(chain.memory()->setRowCells(1), (QStringList { "2", "08:00:00", "70", "32768" }));
        QCOMPARE(chain.memory()->setRowCells(2), (QStringList { "3", "09:15:00", "0", "1" }));
        QCOMPARE(chain.bar(), 100);

        QSignalSpy timersOn(&chain.controller, &MemoryController::timersSwitchOnRequested);
        QSignalSpy failed(&chain.controller, &MemoryController::listingFailed);
        chain.clickRow(0);
        QCOMPARE(chain.dataListsOpened, 1);
        QCOMPARE(chain.sink.rows.size(), 3);
        QCOMPARE(chain.sink.rows[1],
            (QStringList { "2", "00:00:30", " 415", " 23.0", chain.sink.rows[1][4],
                chain.sink.rows[1][5], " 45.3", " 73.4", chain.sink.rows[1][8],
                chain.sink.rows[1][9] }));
        QCOMPARE(chain.sink.rows[2][1], QStringLiteral("00:01:30"));
        QCOMPARE(chain.sink.current, QStringLiteral("Data List"));
        QCOMPARE(timersOn.size(), 1);
        QCOMPARE(failed.size(), 0);

        chain.clickRow(1);
        QCOMPARE(chain.dataListsOpened, 2);
        QCOMPARE(chain.sink.rows.size(), 70);
        QCOMPARE(chain.sink.rows[1][1], QStringLiteral("17:06:08"));
        QVERIFY(chain.memory()->isVisible());
    }

    void stoppedDownloadOffersOnlyWholeSets()
    {
        Chain chain;
        chain.script({ { Header(3, 0x10, 0, 0, 1), Records(3) } });
        chain.replies.append(Header(40, 0x11, 0, 0, 1));
        chain.replies.append(Records(32)); // the first piece of set 2, then silence
        chain.run(3, 1280 + 24 + 8 * 50);
        QCOMPARE(chain.grid()->rowCount(), 1);
        QCOMPARE(chain.memory()->setRowCells(0)[0], QStringLiteral("1"));
        QCOMPARE(chain.prompts.messages.size(), 1);
        QCOMPARE(chain.prompts.messages[0].text, LoggerDownload::brokenMessage(2, 3));
    }

    void failedListingClosesTheWindow()
    {
        Chain chain;
        chain.store.BeginLoggerDownload(1, 1280 + 8 + 16);
        chain.store.StoreSetHeader(1, Header(2, 0x1A, 0, 0, 1)); // no time of day
        chain.store.AppendSetBytes(1, Records(2));
        chain.store.AddLoggerSet(1);
        QPointer<Memory> memory = chain.memory();
        QSignalSpy timersOn(&chain.controller, &MemoryController::timersSwitchOnRequested);
        QSignalSpy failed(&chain.controller, &MemoryController::listingFailed);
        chain.clickRow(0);
        QCOMPARE(timersOn.size(), 1);
        QCOMPARE(failed.size(), 1);
        QVERIFY(chain.sink.rows.isEmpty());
        QVERIFY(memory.isNull() || !memory->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(memory.isNull());
        QVERIFY(!chain.controller.memoryWindow());
    }
};

QTEST_MAIN(TestMemory)
#include "test_memory.moc"
