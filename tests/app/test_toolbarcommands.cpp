#include "app/panel.h"
#include "app/programstate.h"
#include "app/toolbarcommands.h"
#include "app/toolbaricons.h"
#include "lists/datafileloading.h"
#include "lists/filelist.h"
#include "lists/gridmodel.h"
#include "lists/list.h"
#include "lists/listwindows.h"
#include "recording/datafileformat.h"
#include "recording/datafilehandle.h"
#include "support/fakeclock.h"
#include "support/fakes.h"
#include "support/panelrig.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace
{

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

struct Rig : PanelRig {
    FakePrinterProvider printers { QString() };
    ListWindows lists { ListContext { state.Rec, prompts, printers, clock, {}, ToolbarIcon },
        &panel };
    ToolbarCommands commands { panel, session, prompts, lists, clock };
    DataFileHandle& file = session.dataFile();

    Rig() { panel.show(); }
    QAction* button(const char* key) const { return panel.toolbarButton(QString::fromLatin1(key)); }
    void press(const char* key) { button(key)->trigger(); }
    void connectPanel()
    {
        QObject::connect(&panel, &Panel::toolbarCommand, &commands, &ToolbarCommands::run);
    }
};

} // namespace

class TestToolbarCommands : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void buttonsHaveImages()
    {
        Rig rig;
        for (const char* key : { "Save", "Open", "List", "Graph", "Sample", "CF", "Alarm" })
            QVERIFY2(!rig.button(key)->icon().isNull(), key);
        QCOMPARE(rig.button("Save")->toolTip(), QStringLiteral("Save As"));
        QCOMPARE(rig.button("Save")->icon().cacheKey(),
            rig.commands.saveButtonLook(false).icon.cacheKey());
    }

    // Pressing "Save" twice without a tick leaves a file that holds the header line alone.
    void saveStartsAndStopsRecording()
    {
        Rig rig;
        rig.connectPanel();
        const QString path = m_dir.filePath("run.nblg");
        rig.prompts.saveAnswers.enqueue(path);
        rig.press("Save");
        QVERIFY(rig.state.Rec.Recording);
        QCOMPARE(rig.state.Rec.DataFileName, path);
        QCOMPARE(rig.state.Rec.FilePart, 0);
        QCOMPARE(rig.text("LblFileName"), QStringLiteral("run.nblg"));
        QVERIFY(rig.panel.label("LblRec")->isVisibleTo(&rig.panel));
        QCOMPARE(rig.button("Save")->toolTip(), QStringLiteral("Stop Recording"));
        QCOMPARE(rig.button("Save")->icon().cacheKey(),
            rig.commands.saveButtonLook(true).icon.cacheKey());
        QCOMPARE(ReadAll(path), FileLineBytes(HeaderLine()));

        rig.panel.label("LblCount")->setText("5");
        rig.press("Save");
        QVERIFY(!rig.state.Rec.Recording);
        QVERIFY(!rig.state.Rec.FileChosen);
        QVERIFY(!rig.file.isOpen());
        QCOMPARE(rig.state.Rec.RecordCount, 0);
        QCOMPARE(rig.text("LblCount"), QString());
        QCOMPARE(rig.text("LblFileName"), QString());
        QVERIFY(!rig.panel.label("LblRec")->isVisibleTo(&rig.panel));
        QCOMPARE(rig.button("Save")->toolTip(), QStringLiteral("Save As"));
        QCOMPARE(rig.button("Save")->icon().cacheKey(),
            rig.commands.saveButtonLook(false).icon.cacheKey());
        QCOMPARE(ReadAll(path), FileLineBytes(HeaderLine()));
    }

    void cancelledSaveStartsNothing()
    {
        Rig rig;
        rig.connectPanel();
        rig.press("Save");
        QVERIFY(!rig.state.Rec.Recording);
        QVERIFY(!rig.file.isOpen());
        QCOMPARE(rig.button("Save")->toolTip(), QStringLiteral("Save As"));
    }

    // A file that cannot be created: recording does not start and nothing is counted.
    void uncreatableFileStartsNothing_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("a folder") << m_dir.path();
        QTest::newRow("under a missing folder") << m_dir.filePath("missing/run.nblg");
        QTest::newRow("under a file")
            << QStringLiteral(NIMBREL_TEST_DATA "/recording_recorder.nblg/x.nblg");
        QTest::newRow("a full disk") << QStringLiteral("/dev/full");
    }
    void uncreatableFileStartsNothing()
    {
        QFETCH(QString, target);
        Rig rig;
        rig.connectPanel();
        rig.prompts.saveAnswers.enqueue(target);
        rig.press("Save");
        QVERIFY(!rig.state.Rec.Recording);
        QVERIFY(!rig.state.Rec.FileChosen);
        QVERIFY(!rig.file.isOpen());
        QCOMPARE(rig.text("LblFileName"), QString());
        QCOMPARE(rig.button("Save")->toolTip(), QStringLiteral("Save As"));
    }

    void openRefusedWhileRecording()
    {
        Rig rig;
        rig.connectPanel();
        rig.prompts.saveAnswers.enqueue(m_dir.filePath("rec.nblg"));
        rig.press("Save");
        rig.prompts.openAnswers.enqueue(
            QStringLiteral(NIMBREL_TEST_DATA "/recording_recorder.nblg"));
        rig.press("Open");
        QCOMPARE(rig.prompts.messages.size(), 1);
        QCOMPARE(rig.prompts.messages.first().icon, Prompts::Icon::Critical);
        QCOMPARE(rig.prompts.messages.first().text,
            QStringLiteral("Recording Mode!\n\rPlease stop recording!"));
        QCOMPARE(rig.prompts.openAnswers.size(), 1);
        QVERIFY(!rig.lists.fileList());
    }

    // "Open" lists every line without an upper-case "N", counts in the caption and ends with the
    // file's title; a second "Open" replaces the file list.
    void openListsTheFile()
    {
        Rig rig;
        rig.connectPanel();
        rig.prompts.openAnswers.enqueue(
            QStringLiteral(NIMBREL_TEST_DATA "/recording_recorder.nblg"));
        rig.press("Open");
        QCOMPARE(rig.prompts.lastFilter, QStringLiteral("Data Files (*.nblg);;All Files (*)"));
        QPointer<FileList> first = rig.lists.fileList();
        QVERIFY(first);
        QCOMPARE(first->windowTitle(), QStringLiteral("recording_recorder.nblg"));
        QCOMPARE(first->model().rowCount(), 3);
        QCOMPARE(first->model().cell(2, 2), QStringLiteral("OL"));

        rig.prompts.openAnswers.enqueue(
            QStringLiteral(NIMBREL_TEST_DATA "/recording_headeronly.nblg"));
        rig.press("Open");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!first);
        QCOMPARE(rig.lists.fileList()->model().rowCount(), 0);
        QCOMPARE(rig.lists.fileList()->windowTitle(), QStringLiteral("recording_headeronly.nblg"));
    }

    void cancelledOpenOpensNothing()
    {
        Rig rig;
        rig.connectPanel();
        rig.press("Open");
        QVERIFY(!rig.lists.fileList());
        QVERIFY(rig.prompts.messages.isEmpty());
    }

    // Files that are not data files: no crash, no hang, every line without "N" listed.
    void openOfBadFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("rows");
        QByteArray binary(200000, '\0');
        QRandomGenerator random(99);
        random.fillRange(reinterpret_cast<quint32*>(binary.data()), binary.size() / 4);
        for (char& c : binary) {
            if (c == '\n' || c == '\r' || c == 'N')
                c = 'x';
        }
        binary[5000] = '\n';
        QTest::newRow("binary") << binary << 2;
        QTest::newRow("empty") << QByteArray() << 0;
        QTest::newRow("no line end") << QByteArray("1\t12:00:00\t400") << 1;
        QTest::newRow("lines of 1 MB")
            << QByteArray(1 << 20, '5') + "\r\n" + QByteArray(1 << 20, '6') + "\r\n"
            << 2;
    }
    void openOfBadFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, rows);
        const QString path = m_dir.filePath("bad.nblg");
        QVERIFY(WriteBytes(path, bytes));
        Rig rig;
        rig.connectPanel();
        rig.prompts.openAnswers.enqueue(path);
        rig.press("Open");
        FileList* list = rig.lists.fileList();
        QVERIFY(list);
        QCOMPARE(list->model().rowCount(), rows);
        QCOMPARE(list->windowTitle(), QStringLiteral("bad.nblg"));
        QVERIFY(rig.prompts.messages.isEmpty());
    }

    // A device, a pipe with no writer or a folder: refused at once with a message; no list.
    void openOfWhatIsNoFile_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("endless device") << QStringLiteral("/dev/zero");
        QTest::newRow("named pipe") << m_dir.filePath("pipe.nblg");
        QTest::newRow("folder") << m_dir.filePath("folder.nblg");
    }
    void openOfWhatIsNoFile()
    {
        QFETCH(QString, target);
        if (target.endsWith("pipe.nblg") && !QFile::exists(target))
            QCOMPARE(mkfifo(QFile::encodeName(target).constData(), 0600), 0);
        if (target.endsWith("folder.nblg"))
            QVERIFY(QDir().mkpath(target));
        Rig rig;
        rig.connectPanel();
        rig.prompts.openAnswers.enqueue(target);
        rig.press("Open");
        QVERIFY(!rig.lists.fileList());
        QCOMPARE(rig.prompts.messages.size(), 1);
        QCOMPARE(rig.prompts.messages.first().icon, Prompts::Icon::Critical);
        QCOMPARE(rig.prompts.messages.first().text,
            QStringLiteral("Cannot open %1: it is not a regular file.").arg(target));
    }

    // A file of more rows than the list takes lists the first 2,000,000 and says so.
    void openOfTooManyRowsSaysSo()
    {
        const QString path = m_dir.filePath("empty lines.nblg");
        QVERIFY(WriteBytes(path, QByteArray(kMaxListedRows + 1, '\n')));
        Rig rig;
        rig.connectPanel();
        rig.prompts.openAnswers.enqueue(path);
        rig.press("Open");
        QCOMPARE(rig.lists.fileList()->model().rowCount(), kMaxListedRows);
        QCOMPARE(rig.lists.fileList()->windowTitle(), QStringLiteral("empty lines.nblg"));
        QCOMPARE(rig.prompts.messages.size(), 1);
        QCOMPARE(rig.prompts.messages.first().text,
            QStringLiteral("empty lines.nblg holds 2000001 rows; only the first 2000000 are "
                           "listed."));
    }

    void openOfMissingFileEndsQuietly()
    {
        Rig rig;
        rig.connectPanel();
        rig.prompts.openAnswers.enqueue(m_dir.filePath("gone.nblg"));
        rig.press("Open");
        QVERIFY(rig.prompts.messages.isEmpty());
        QCOMPARE(rig.lists.fileList()->model().rowCount(), 0);
    }

    void sampleAnswers_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<bool>("changed");
        QTest::newRow("0") << "0" << 1 << true;
        QTest::newRow("-5") << "-5" << 1 << true;
        QTest::newRow("100000") << "100000" << 86400 << true;
        QTest::newRow("2.5 to even") << "2.5" << 2 << true;
        QTest::newRow("3.5 to even") << "3.5" << 4 << true;
        QTest::newRow("7 with blanks") << " 7 " << 7 << true;
        QTest::newRow("past 32 bits") << "1e12" << 86400 << true;
        QTest::newRow("text") << "abc" << 9 << false;
        QTest::newRow("number then text") << "5s" << 9 << false;
        QTest::newRow("cancel") << "" << 9 << false;
    }
    void sampleAnswers()
    {
        QFETCH(QString, answer);
        QFETCH(int, seconds);
        QFETCH(bool, changed);
        Rig rig;
        rig.connectPanel();
        rig.state.Rec.SamplingSeconds = 9;
        rig.state.Rec.SampleTicks = 5;
        rig.prompts.inputAnswers.enqueue(answer);
        rig.press("Sample");
        QCOMPARE(rig.prompts.lastPrompt,
            QStringLiteral("Enter the SAMPLING TIME in seconds\r\n(1 <= t <= 86400 ) "));
        QCOMPARE(rig.prompts.lastTitle, QStringLiteral("Input Sampling Time"));
        QCOMPARE(rig.prompts.lastDefault, QStringLiteral("9"));
        QCOMPARE(rig.state.Rec.SamplingSeconds, seconds);
        QCOMPARE(rig.state.Rec.SampleTicks, changed ? 0 : 5);
    }

    void listOpensTheLiveListOnce()
    {
        Rig rig;
        rig.connectPanel();
        rig.state.Rec.ListRowCount = 12;
        rig.press("List");
        QVERIFY(rig.lists.liveList());
        QVERIFY(rig.state.Rec.ListOpen);
        QCOMPARE(rig.state.Rec.ListRowCount, 0);
        rig.state.Rec.ListRowCount = 3;
        rig.press("List");
        QCOMPARE(rig.state.Rec.ListRowCount, 3);
    }

    void cfSwitchesTheUnit()
    {
        Rig rig;
        rig.connectPanel();
        QVERIFY(rig.panel.celsiusDisplay());
        rig.press("CF");
        QVERIFY(!rig.panel.celsiusDisplay());
        rig.press("CF");
        QVERIFY(rig.panel.celsiusDisplay());
    }

    // Keys are compared exactly; keys of others and unknown keys do nothing here.
    void otherKeysDoNothing()
    {
        Rig rig;
        for (const char* key : { "save", "Graph", "Alarm", "Stop", "As", "Logger", "" })
            rig.commands.run(QString::fromLatin1(key));
        QVERIFY(!rig.state.Rec.Recording);
        QVERIFY(rig.prompts.messages.isEmpty());
        QVERIFY(!rig.lists.liveList());
        QVERIFY(!rig.lists.fileList());
        QVERIFY(rig.panel.celsiusDisplay());
    }
};

QTEST_MAIN(TestToolbarCommands)
#include "test_toolbarcommands.moc"
