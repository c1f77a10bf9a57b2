#include "lists/datafileloading.h"
#include "lists/gridmodel.h"
#include "lists/gridsave.h"
#include "recording/datafileformat.h"
#include "recording/datafilehandle.h"
#include "recording/datafilereader.h"
#include "recording/datafilewriter.h"
#include "support/fakeclock.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <array>
#include <csignal>
#include <sys/resource.h>

namespace
{

const QStringList kRecord1
    = { "1", "14:30:02", "415", "23.4", "12.1", "16.2", "48.9", "74.1", "53.7", "61.1" };
const QStringList kRecord2
    = { "2", "14:30:04", "420", "23.5", "12.0", "16.2", "48.5", "74.3", "53.6", "61.1" };
const QStringList kRecord3 = { "3", "14:30:06", "OL", "----.0", "----.0", "----.0", "----.0",
    "----.0", "----.0", "----.0" };

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QList<QStringList> AllRows(const GridModel& model)
{
    QList<QStringList> rows;
    for (int r = 0; r < model.rowCount(); ++r)
        rows.append(model.row(r));
    return rows;
}

QStringList Padded(QStringList cells)
{
    while (cells.size() < 10)
        cells.append(QString());
    return cells;
}

} // namespace

class TestDataFile : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    FakeClock m_clock;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // Loads a file the way "Open" does; returns the rows and whether the read ended cleanly.
    QList<QStringList> load(
        const QString& file, bool* ok = nullptr, QStringList* captions = nullptr)
    {
        GridModel model;
        QWidget window;
        if (captions)
            connect(&window, &QWidget::windowTitleChanged, this,
                [captions](const QString& title) { captions->append(title); });
        const bool loaded = LoadDataFile(file, model, window, m_clock);
        if (ok)
            *ok = loaded;
        return AllRows(model);
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void lineFormsAreByteExact_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("header line") << HeaderLine()
                                     << QByteArray("No.s\tTime\tppm\t\xB0"
                                                   "C\tDew\xB0"
                                                   "C\tWet\xB0"
                                                   "C\tRH%\t\xB0"
                                                   "F\tDew\xB0"
                                                   "F\tWet\xB0"
                                                   "F\r\n");
        QTest::newRow("recorder record")
            << RecorderRecordLine(34801, "14:30:02\t415\t23.4\t12.1\t16.2\t48.9\t74.1\t53.7\t61.1")
            << QByteArray("34801\t14:30:02\t415\t23.4\t12.1\t16.2\t48.9\t74.1\t53.7\t61.1\r\n");
        QTest::newRow("grid row ends with a tab")
            << GridRowLine(kRecord3)
            << QByteArray(
                   "3\t14:30:06\tOL\t----.0\t----.0\t----.0\t----.0\t----.0\t----.0\t----.0\t\r\n");
        QTest::newRow("caption row as a grid row") << GridRowLine(ColumnCaptions())
                                                   << QByteArray("No.s\tTime\tppm\t\xB0"
                                                                 "C\tDew\xB0"
                                                                 "C\tWet\xB0"
                                                                 "C\tRH%\t\xB0"
                                                                 "F\tDew\xB0"
                                                                 "F\tWet\xB0"
                                                                 "F\t\r\n");
    }
    void lineFormsAreByteExact()
    {
        QFETCH(QString, line);
        QFETCH(QByteArray, bytes);
        QCOMPARE(FileLineBytes(line), bytes);
    }

    // Each of the three kinds, written by its writer, reads back as the rows it came from.
    void threeKindsRoundTrip_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("recorder") << 0;
        QTest::newRow("live-list dump") << 1;
        QTest::newRow("list save") << 2;
    }
    void threeKindsRoundTrip()
    {
        QFETCH(int, kind);
        const QList<QStringList> rows = { kRecord1, kRecord2, kRecord3 };
        const QString file = path(QStringLiteral("roundtrip%1.nblg").arg(kind));
        if (kind == 0) {
            DataFileHandle handle;
            QVERIFY(handle.open(file));
            QVERIFY(handle.writeLine(HeaderLine()));
            for (const QStringList& row : rows)
                QVERIFY(handle.writeLine(
                    RecorderRecordLine(row.first().toLongLong(), row.mid(1).join('\t'))));
            QCOMPARE(handle.linesWritten(), 4);
        } else {
            GridRows grid;
            for (const QStringList& row : rows)
                grid.append(row);
            QVERIFY(WriteGridFile(file, grid, kind == 1));
        }
        bool ok = false;
        QCOMPARE(load(file, &ok), rows);
        QVERIFY(ok);
    }

    void fixturesLoad_data()
    {
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<int>("rows");
        QTest::newRow("recorder file") << "recording_recorder.nblg" << 3;
        QTest::newRow("list save") << "recording_listsave.nblg" << 3;
        QTest::newRow("dump") << "recording_dump.nblg" << 3;
        QTest::newRow("LF, UTF-8 header, no last line end") << "recording_foreign.nblg" << 3;
        QTest::newRow("header only") << "recording_headeronly.nblg" << 0;
    }
    void fixturesLoad()
    {
        QFETCH(QString, fixture);
        QFETCH(int, rows);
        bool ok = false;
        const QList<QStringList> loaded
            = load(QStringLiteral(NIMBREL_TEST_DATA "/") + fixture, &ok);
        QVERIFY(ok);
        QCOMPARE(loaded.size(), rows);
        const QList<QStringList> expected = { kRecord1, kRecord2, kRecord3 };
        for (int r = 0; r < rows; ++r)
            QCOMPARE(loaded.at(r), expected.at(r));
    }

    void readingRules_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::newRow("empty file") << QByteArray() << QList<QStringList>();
        QTest::newRow("CR LF") << QByteArray("1\ta\r\n2\tb\r\n")
                               << QList<QStringList> { Padded({ "1", "a" }), Padded({ "2", "b" }) };
        QTest::newRow("LF") << QByteArray("1\ta\n2\tb\n")
                            << QList<QStringList> { Padded({ "1", "a" }), Padded({ "2", "b" }) };
        QTest::newRow("no line end")
            << QByteArray("1\ta") << QList<QStringList> { Padded({ "1", "a" }) };
        QTest::newRow("upper-case N anywhere skips the line")
            << QByteArray("1\t23.4\r\n2\tNaN\r\n3\tx\r\n")
            << QList<QStringList> { Padded({ "1", "23.4" }), Padded({ "3", "x" }) };
        QTest::newRow("lower-case n is kept")
            << QByteArray("1\tnan\r\n") << QList<QStringList> { Padded({ "1", "nan" }) };
        QTest::newRow("comma and quote are ordinary text")
            << QByteArray("1\t\"a,b\t3,5\r\n2\tc\r\n")
            << QList<QStringList> { Padded({ "1", "\"a,b", "3,5" }), Padded({ "2", "c" }) };
        QTest::newRow("leading blanks skipped")
            << QByteArray("  7\tx\r\n") << QList<QStringList> { Padded({ "7", "x" }) };
        QTest::newRow("cells beyond the tenth dropped")
            << QByteArray("1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\r\n")
            << QList<QStringList> { { "1", "2", "3", "4", "5", "6", "7", "8", "9", "10" } };
        QTest::newRow("UTF-8 degree sign in a cell") << QByteArray(
            "1\t23\xC2\xB0\r\n") << QList<QStringList> { Padded({ "1", "23\u00B0" }) };
        QTest::newRow("single-byte degree sign in a cell")
            << QByteArray("1\t23\xB0\r\n") << QList<QStringList> { Padded({ "1", "23\u00B0" }) };
        QTest::newRow("lone CR") << QByteArray("No.s\tTime\r1\ta\r2\tb\r")
                                 << QList<QStringList> { Padded({ "1", "a" }),
                                        Padded({ "2", "b" }) };
        QTest::newRow("lone CR, CR LF and LF mixed")
            << QByteArray("1\ta\r2\tb\r\n3\tc\n4\td")
            << QList<QStringList> { Padded({ "1", "a" }), Padded({ "2", "b" }),
                   Padded({ "3", "c" }), Padded({ "4", "d" }) };
        QTest::newRow("LF CR is two line ends")
            << QByteArray("1\ta\n\r2\tb\r\n")
            << QList<QStringList> { Padded({ "1", "a" }), Padded({}), Padded({ "2", "b" }) };
        const QByteArray run(40, '7');
        QTest::newRow("N deep in a long line") << "1\t" + run + "N" + run + "\r\n2\tx\r\n"
                                               << QList<QStringList> { Padded({ "2", "x" }) };
        QTest::newRow("single-byte degree sign deep in a long line")
            << "1\t" + run + "\xB0" + run + "\r\n"
            << QList<QStringList> { Padded({ "1", QString(run) + "\u00B0" + QString(run) }) };
        QTest::newRow("tenth tab deep in a long line") << QByteArray("abcdefgh\t").repeated(12)
                + "\r" << QList<QStringList> { QStringList(10, "abcdefgh") };
        QTest::newRow("empty line is an empty row")
            << QByteArray("1\r\n\r\n2\r\n")
            << QList<QStringList> { Padded({ "1" }), Padded({}), Padded({ "2" }) };
    }
    void readingRules()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<QStringList>, rows);
        const QString file = path(QStringLiteral("rules.nblg"));
        QVERIFY(WriteBytes(file, bytes));
        bool ok = false;
        QCOMPARE(load(file, &ok), rows);
        QVERIFY(ok);
    }

    // "0 Records Completed" shows after the header line is read; the title ends it.
    void captionCountsLinesAndEndsWithTheTitle()
    {
        QStringList captions;
        load(QStringLiteral(NIMBREL_TEST_DATA "/recording_headeronly.nblg"), nullptr, &captions);
        QCOMPARE(captions, QStringList({ "0 Records Completed", "recording_headeronly.nblg" }));
    }

    // A file of nothing but line ends lists at most maxRows rows and ends with its title.
    void rowLimitBoundsAHugeFile()
    {
        const QString file = path("newlines.nblg");
        QVERIFY(WriteBytes(file, QByteArray(100000, '\n')));
        GridModel model;
        QWidget window;
        QVERIFY(LoadDataFile(file, model, window, m_clock, 1000));
        QCOMPARE(model.rowCount(), 1000);
        QCOMPARE(window.windowTitle(), QStringLiteral("newlines.nblg"));
        QVERIFY(kMaxListedRows >= 50 * 34800);
    }

    // Past the bound the rows are only counted (lines holding an "N" not among them), and the
    // message says how many are listed; at the bound or below nothing is told.
    void rowsPastTheBoundAreTold_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("message");
        QTest::newRow("below") << 999 << QString();
        QTest::newRow("at the bound") << 1000 << QString();
        QTest::newRow("past it") << 2500
                                 << "big.nblg holds 2500 rows; only the first 1000 are listed.";
        QTest::newRow("as many as are counted")
            << 10000 << "big.nblg holds 10000 rows; only the first 1000 are listed.";
        QTest::newRow("more than are counted")
            << 10001 << "big.nblg holds more than 10000 rows; only the first 1000 are listed.";
    }
    void rowsPastTheBoundAreTold()
    {
        QFETCH(int, rows);
        QFETCH(QString, message);
        QByteArray bytes;
        for (int i = 1; i <= rows; ++i) {
            if (i % 300 == 1)
                bytes += FileLineBytes(HeaderLine());
            bytes += QByteArray::number(i) + "\t12:00:00\r\n";
        }
        const QString file = path("big.nblg");
        QVERIFY(WriteBytes(file, bytes));
        GridModel model;
        QWidget window;
        const DataFileLoad load = ReadDataFile(file, model, window, m_clock, 1000);
        QCOMPARE(load.status, DataFileLoad::Status::Loaded);
        QCOMPARE(model.rowCount(), std::min(rows, 1000));
        QCOMPARE(model.cell(model.rowCount() - 1, 0), QString::number(model.rowCount()));
        QCOMPARE(window.windowTitle(), QStringLiteral("big.nblg"));
        QCOMPARE(DataFileLoadMessage(load, file), message);
    }

    void missingFileFailsQuietly()
    {
        bool ok = true;
        QVERIFY(load(path("no such file.nblg"), &ok).isEmpty());
        QVERIFY(!ok);
    }

    // A CR LF whose two bytes fall into different chunks is still one line end.
    void lineEndAcrossChunks()
    {
        QByteArray bytes(DataFileReader::kChunkBytes - 1 - 2, 'x');
        bytes.prepend("1\t");
        bytes += "\r\n2\tb\r\n";
        QCOMPARE(bytes.indexOf('\r'), DataFileReader::kChunkBytes - 1);
        const QString file = path("chunks.nblg");
        QVERIFY(WriteBytes(file, bytes));
        DataFileReader reader;
        QVERIFY(reader.open(file));
        QCOMPARE(reader.next(), DataFileReader::Result::Line);
        QVERIFY(!reader.line().endsWith('\r'));
        QCOMPARE(reader.next(), DataFileReader::Result::Line);
        QCOMPARE(reader.line(), QByteArray("2\tb"));
        QCOMPARE(reader.next(), DataFileReader::Result::End);
    }

    // A small file is read through a buffer its size, not a chunk's; a file that grows after it
    // was opened (a recording going on) is still read to its end, piece by piece.
    void smallFileGrowingWhileRead()
    {
        const QString file = path("growing.nblg");
        QVERIFY(WriteBytes(file, "1\ta\r\n"));
        DataFileReader reader;
        QVERIFY(reader.open(file));
        QByteArray more;
        for (int i = 2; i <= 3000; ++i)
            more += QByteArray::number(i) + "\tb\r\n";
        QFile appended(file);
        QVERIFY(appended.open(QIODevice::Append));
        QCOMPARE(appended.write(more), more.size());
        appended.close();
        int lines = 0;
        while (reader.next() == DataFileReader::Result::Line) {
            ++lines;
            QCOMPARE(reader.line(), QByteArray::number(lines) + (lines == 1 ? "\ta" : "\tb"));
        }
        QCOMPARE(lines, 3000);
        QVERIFY(reader.bufferCapacity() < 2 * DataFileReader::kMinChunkBytes);
    }

    // A lone CR as the last byte of a chunk ends the line; the next chunk starts the next one.
    void loneCrAtTheEndOfAChunk()
    {
        QByteArray bytes(DataFileReader::kChunkBytes - 1, 'x');
        bytes += "\r2\tb\r";
        const QString file = path("lonecr.nblg");
        QVERIFY(WriteBytes(file, bytes));
        DataFileReader reader;
        QVERIFY(reader.open(file));
        QCOMPARE(reader.next(), DataFileReader::Result::Line);
        QCOMPARE(reader.line(), QByteArray(DataFileReader::kMaxKeptLineBytes, 'x'));
        QCOMPARE(reader.next(), DataFileReader::Result::Line);
        QCOMPARE(reader.line(), QByteArray("2\tb"));
        QCOMPARE(reader.next(), DataFileReader::Result::End);
    }

    // Lines of 1 MB: the kept part is bounded, the "N" rule still sees the whole line, and the
    // next line is found.
    void megabyteLines()
    {
        QByteArray longLine(1024 * 1024, '7');
        QByteArray withN = longLine;
        withN[withN.size() - 1] = 'N';
        const QByteArray bytes = "1\t" + longLine + "\r\n2\t" + withN + "\r\n3\tend\r\n";
        const QString file = path("long.nblg");
        QVERIFY(WriteBytes(file, bytes));
        DataFileReader reader;
        QVERIFY(reader.open(file));
        QCOMPARE(reader.next(), DataFileReader::Result::Line);
        QCOMPARE(reader.line().size(), DataFileReader::kMaxKeptLineBytes);
        QVERIFY(reader.lineCut());
        QVERIFY(!reader.lineHasUpperN());
        QCOMPARE(reader.next(), DataFileReader::Result::Line);
        QVERIFY(reader.lineHasUpperN());
        QCOMPARE(reader.next(), DataFileReader::Result::Line);
        QCOMPARE(reader.line(), QByteArray("3\tend"));
        QCOMPARE(reader.next(), DataFileReader::Result::End);

        const QList<QStringList> rows = load(file);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(0).at(1).size(), DataFileReader::kMaxKeptLineBytes - 2);
        QCOMPARE(rows.at(1), Padded({ "3", "end" }));
    }

    // A few megabytes with no line end at all, or of random bytes: reading holds one chunk and
    // one bounded line at a time, never the file.
    void boundedReadingOfGeneratedFiles_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("6 MB without a line end") << 0;
        QTest::newRow("6 MB of random bytes") << 1;
        QTest::newRow("6 MB of records") << 2;
    }
    void boundedReadingOfGeneratedFiles()
    {
        QFETCH(int, kind);
        const qsizetype size = 6 * 1024 * 1024;
        QByteArray bytes;
        if (kind == 0) {
            bytes = QByteArray(size, 'a');
        } else if (kind == 1) {
            bytes.resize(size);
            QRandomGenerator random(1234);
            random.fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
        } else {
            const QByteArray line = FileLineBytes(GridRowLine(kRecord1));
            while (bytes.size() < size)
                bytes += line;
        }
        const QString file = path("generated.nblg");
        QVERIFY(WriteBytes(file, bytes));

        DataFileReader reader;
        QVERIFY(reader.open(file));
        qint64 lines = 0;
        qsizetype longest = 0;
        DataFileReader::Result result;
        while ((result = reader.next()) == DataFileReader::Result::Line) {
            ++lines;
            longest = std::max(longest, reader.line().size());
            QVERIFY(reader.bufferCapacity() <= 2 * DataFileReader::kChunkBytes);
        }
        QCOMPARE(result, DataFileReader::Result::End);
        QVERIFY(longest <= DataFileReader::kMaxKeptLineBytes);
        // Line ends are LF, CR LF and lone CR.
        const qint64 lineEnds = bytes.count('\n') + bytes.count('\r') - bytes.count("\r\n");
        const bool lastEnded = bytes.endsWith('\n') || bytes.endsWith('\r');
        QCOMPARE(lines, lineEnds + (lastEnded ? 0 : 1));

        GridModel model;
        QWidget window;
        QVERIFY(LoadDataFile(file, model, window, m_clock));
        QCOMPARE(window.windowTitle(), QStringLiteral("generated.nblg"));
        // Rows hold at most the kept part of each line.
        QVERIFY(model.rows().byteSize() <= 2 * (lines * DataFileReader::kMaxKeptLineBytes + 1024));
        if (kind == 2)
            QCOMPARE(model.rowCount(), lines);
    }

    void splitPartNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("part");
        QTest::addColumn<QString>("expected");
        QTest::newRow("extension") << "C:\\data\\run.nblg" << qint64(1) << "C:\\data\\run-1.nblg";
        QTest::newRow("second part") << "/home/u/run.nblg" << qint64(2) << "/home/u/run-2.nblg";
        QTest::newRow("no dot") << "/home/u/run" << qint64(1) << "/home/u/run-1";
        QTest::newRow("dot in a folder name")
            << "/home/u/my.data/run.nblg" << qint64(1) << "/home/u/my.data/run-1.nblg";
        QTest::newRow("dot in a folder name, none in the file's")
            << "/home/ann.lee/run" << qint64(1) << "/home/ann.lee/run-1";
        QTest::newRow("two dots in the name")
            << "/tmp/run.x.nblg" << qint64(3) << "/tmp/run-3.x.nblg";
        QTest::newRow("past a 16-bit part")
            << "/tmp/run.nblg" << qint64(70000) << "/tmp/run-70000.nblg";
    }
    void splitPartNames()
    {
        QFETCH(QString, name);
        QFETCH(qint64, part);
        QFETCH(QString, expected);
        QCOMPARE(SplitPartName(name, part), expected);
    }

    // The stamp of a record as bytes and as text alike; -1 where it is no time of day.
    void timesOfDay_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("seconds");
        QTest::newRow("midnight") << "00:00:00" << 0;
        QTest::newRow("last second") << "23:59:59" << 86399;
        QTest::newRow("afternoon") << "14:30:05" << 52205;
        QTest::newRow("hour 24") << "24:00:00" << -1;
        QTest::newRow("minute 60") << "12:60:00" << -1;
        QTest::newRow("second 60") << "12:00:60" << -1;
        QTest::newRow("one digit") << "7:08:09" << -1;
        QTest::newRow("blank in front") << " 07:08:09" << -1;
        QTest::newRow("CR behind") << "07:08:09\r" << -1;
        QTest::newRow("dots") << "07.08.09" << -1;
        QTest::newRow("sign") << "-7:08:09" << -1;
        QTest::newRow("wide digits") << "\uFF10\uFF17:08:09" << -1;
        QTest::newRow("empty") << "" << -1;
    }
    void timesOfDay()
    {
        QFETCH(QString, text);
        QFETCH(int, seconds);
        int fromText = -1;
        int fromBytes = -1;
        QCOMPARE(ReadTimeOfDay(QStringView(text), &fromText), seconds >= 0);
        QCOMPARE(ReadTimeOfDay(QByteArrayView(text.toUtf8()), &fromBytes), seconds >= 0);
        QCOMPARE(fromText, seconds);
        QCOMPARE(fromBytes, seconds);
    }

    // Which lines may hold a record: what is left of each, or "-" for none.
    void recordLines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("blankKept");
        QTest::addColumn<QByteArray>("text");
        const QByteArray record = "1\t10:00:00\t415\t23.0\t11.9\t16.1\t47.0\t73.4\t53.4\t61.0";
        QTest::newRow("record") << record << false << record;
        QTest::newRow("leading blanks") << "  " + record << false << record;
        QTest::newRow("header") << HeaderLine().toLatin1() << true << QByteArray("-");
        QTest::newRow("a marker's N") << QByteArray("2\t10:00:02\tN/A") << true << QByteArray("-");
        QTest::newRow("lower-case n") << QByteArray(" no") << false << QByteArray("no");
        QTest::newRow("blank, skipped") << QByteArray("   ") << false << QByteArray("-");
        QTest::newRow("blank, kept") << QByteArray("   ") << true << QByteArray("");
        QTest::newRow("empty, kept") << QByteArray() << true << QByteArray("");
        QTest::newRow("tab first") << QByteArray("\t1") << false << QByteArray("\t1");
    }
    void recordLines()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, blankKept);
        QFETCH(QByteArray, text);
        const std::optional<QByteArrayView> got = RecordLineText(
            line, line.contains('N'), blankKept ? BlankLine::Kept : BlankLine::Skipped);
        QCOMPARE(got ? got->toByteArray() : QByteArray("-"), text);
    }

    void dumpFileName()
    {
        QCOMPARE(
            DumpFileName(QDate(2026, 12, 7), QTime(14, 30, 5)), QStringLiteral("1207143005.nblg"));
        QCOMPARE(
            DumpFileName(QDate(2027, 1, 2), QTime(3, 4, 9)), QStringLiteral("0102030409.nblg"));
    }

    // A cell never carries a tab or a line break into a file, where it would split the row.
    void gridRowsKeepCellsWhole()
    {
        GridRows rows;
        rows.append({ "1", "a\tb", "c\r\nd" });
        rows.append({ "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11" });
        rows.appendTabbed(QStringLiteral("5\t\u00B0C\tx"));
        QCOMPARE(rows.row(0), Padded({ "1", "a b", "c  d" }));
        QCOMPARE(rows.row(1).size(), 10);
        QCOMPARE(rows.cell(1, 9), QStringLiteral("10"));
        QCOMPARE(rows.cell(2, 1), QStringLiteral("\u00B0C"));
        QCOMPARE(rows.cell(2, 5), QString());
        QCOMPARE(rows.cell(7, 0), QString());
    }

    // The grid's row bytes, split by a reader, give each cell's text as the model does.
    void rowBytesSplitIntoTheCells_data()
    {
        QTest::addColumn<QStringList>("tabbedRows");
        QTest::newRow("list rows") << QStringList { "1\t08:00:00\t415\t23.4\t10.1\t15.2\t48.0",
            "2\t08:00:01\t415\t23.4\t10.1\t15.2\t48.0\t74.1\t50.2\t59.4" };
        QTest::newRow("short and empty") << QStringList { "", "1", "1\t", "\t\t", "\t5\t\t7" };
        QTest::newRow("beyond ten fields, UTF-8, line breaks")
            << QStringList { "1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12", "\u00B0C\t\u0661\t-OL.0",
                   "a\r\nb\tc" };
    }
    void rowBytesSplitIntoTheCells()
    {
        QFETCH(QStringList, tabbedRows);
        GridModel model;
        for (const QString& row : tabbedRows)
            model.appendRowText(row);
        for (int r = 0; r < model.rowCount(); ++r) {
            std::array<QByteArrayView, kGridColumns> cells;
            TextCells::split(model.rowBytes(r), cells.data(), kGridColumns);
            for (int c = 0; c < kGridColumns; ++c)
                QCOMPARE(QString::fromUtf8(cells[c]), model.cell(r, c));
        }
        QVERIFY(model.rowBytes(model.rowCount()).isEmpty());
    }

    void fileThatCannotBeCreated_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("a folder") << m_dir.path();
        QTest::newRow("under a missing folder") << m_dir.filePath("missing/run.nblg");
        QTest::newRow("under a file")
            << QStringLiteral(NIMBREL_TEST_DATA "/recording_recorder.nblg/run.nblg");
    }
    void fileThatCannotBeCreated()
    {
        QFETCH(QString, target);
        DataFileHandle handle;
        QVERIFY(!handle.open(target));
        QVERIFY(!handle.isOpen());
        QVERIFY(!handle.writeLine(HeaderLine()));
        QCOMPARE(handle.linesWritten(), 0);
        GridRows rows;
        rows.append(kRecord1);
        QVERIFY(!WriteGridFile(target, rows, false));
    }

    void fullDiskWriteIsNotCounted()
    {
        if (!QFile::exists("/dev/full"))
            QSKIP("no /dev/full here");
        DataFileHandle handle;
        QVERIFY(handle.open("/dev/full"));
        QVERIFY(!handle.writeLine(HeaderLine()));
        QCOMPARE(handle.errorString(), QStringLiteral("No space left on device"));
        QCOMPARE(handle.linesWritten(), 0);
        GridRows rows;
        rows.append(kRecord1);
        QVERIFY(!WriteGridFile("/dev/full", rows, false));
        // A save never replaces a device with a file of its own.
        QVERIFY(QFileInfo("/dev/full").exists() && !QFileInfo("/dev/full").isFile());
    }

    // A write that stops half way (here at the file size limit) leaves no half line behind.
    void halfWrittenLineIsCutBack()
    {
        const QString file = path("limit.nblg");
        DataFileHandle handle;
        QVERIFY(handle.open(file));
        QVERIFY(handle.writeLine(HeaderLine()));
        const qint64 before = QFileInfo(file).size();

        rlimit saved {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved;
        limited.rlim_cur = static_cast<rlim_t>(before + 10);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        const bool written = handle.writeLine(RecorderRecordLine(1, kRecord1.mid(1).join('\t')));
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);

        QVERIFY(!written);
        QCOMPARE(handle.errorString(), QStringLiteral("File too large"));
        QCOMPARE(handle.linesWritten(), 1);
        QCOMPARE(QFileInfo(file).size(), before);
        QVERIFY(handle.writeLine(RecorderRecordLine(1, kRecord1.mid(1).join('\t'))));
        handle.close();
        QCOMPARE(ReadAll(file),
            FileLineBytes(HeaderLine())
                + FileLineBytes(RecorderRecordLine(1, kRecord1.mid(1).join('\t'))));
    }
};

QTEST_MAIN(TestDataFile)
#include "test_datafile.moc"
