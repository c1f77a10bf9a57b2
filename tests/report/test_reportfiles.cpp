// Reading data files for a report: the reading rules of "Open" and what a bad file gives.
#include "report/recordingfiles.h"
#include "report/reportbuilder.h"
#include "report/reportsources.h"
#include "reportlines.h"

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
                           "F";

bool Write(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}
} // namespace

class TestReportFiles : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void files_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("records"); // -1: the file is refused
        QTest::addColumn<QString>("message"); // the error, or the warning
        const QByteArray r1 = RecordLine(1, "08:00:00", "600");
        const QByteArray r2 = RecordLine(2, "08:01:00", "OL", "----.0", "----.0");
        QTest::newRow("CR LF") << kHeader + "\r\n" + r1 + "\r\n" + r2 + "\r\n" << 2 << QString();
        QTest::newRow("LF") << kHeader + "\n" + r1 + "\n" + r2 + "\n" << 2 << QString();
        QTest::newRow("lone CR") << kHeader + "\r" + r1 + "\r" + r2 + "\r" << 2 << QString();
        QTest::newRow("saved list, no line end at the end")
            << r1 + "\t\r\n" + r2 + "\t" << 2 << QString();
        QTest::newRow("header only") << kHeader + "\r\n" << 0 << QString();
        QTest::newRow("empty") << QByteArray() << 0 << QString();
        QTest::newRow("blank lines and leading blanks") << "\r\n  " + r1 + "\r\n\r\n"
                                                        << 1 << QString();
        QTest::newRow("a line with N is skipped") << r1 + "\r\n" + RecordLine(2, "08:01:00", "N")
                + "\r\n" << 1 << QString();
        QTest::newRow("short line") << kHeader + "\r\n" + r1 + "\r\n1\t08:00:00\t600\r\n" + r2 << -1
                                    << QStringLiteral("line 3: 3 fields where a record has 10");
        QTest::newRow("time that is not a time") << r1 + "\r\n" + RecordLine(2, "08:61:00", "600")
                + "\r\n" << -1 << QStringLiteral("line 2: \"08:61:00\" is not a time of day");
        QTest::newRow("binary") << QByteArray("\x7f"
                                              "ELF\x02\x01\x01\0\0\0",
                                       10)
                + QByteArray(2000, '\xff')
                                << -1 << QStringLiteral("line 1: 1 field where a record has 10");
        QTest::newRow("a long line") << QByteArray(100000, '\t') << -1
                                     << QStringLiteral("line 1: the line is too long for a record");
        QTest::newRow("cut off while writing")
            << r1 + "\r\n" + RecordLine(2, "08:01:00", "600").left(20) << 1
            << QStringLiteral("run.nblg: line 2, the last, is unfinished and left out (5 fields "
                              "where a record has 10)");
    }
    void files()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, records);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("run.nblg"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();

        ReportBuilder builder({});
        QString error;
        const bool ok = ReadDataFiles({ path }, false, builder, &error);
        QCOMPARE(ok, records >= 0);
        const ReportFigures f = builder.finish();
        if (records < 0) {
            QCOMPARE(error, path + QStringLiteral(": ") + message);
            return;
        }
        QCOMPARE(f.records, records);
        QCOMPARE(f.warnings.join(QLatin1Char('\n')), message);
        if (records == 2) {
            QCOMPARE(f[Quantity::Co2].overRange, 1);
            QCOMPARE(f[Quantity::Temperature].missing, 1);
            QCOMPARE(f.last - f.first, 60);
        }
    }

    void parts_data()
    {
        QTest::addColumn<QString>("files"); // in the folder, the one opened first
        QTest::addColumn<QString>("parts");
        const QString three = QStringLiteral("run.nblg run-1.nblg run-2.nblg");
        QTest::newRow("the first part") << three << three;
        QTest::newRow("a later part") << "run-2.nblg run.nblg run-1.nblg" << three;
        QTest::newRow("number order, a part deleted") << "run.nblg run-10.nblg run-2.nblg"
                                                      << "run.nblg run-2.nblg run-10.nblg";
        QTest::newRow("the first part deleted") << "run-2.nblg run-1.nblg"
                                                << "run-1.nblg run-2.nblg";
        QTest::newRow("names that are no parts") << "run.nblg run-01.nblg run-0.nblg run-1.txt "
                                                    "run-1.nblg.bak runner-1.nblg other-1.nblg"
                                                 << "run.nblg";
        QTest::newRow("a part with parts of its own") << "run-1.nblg run.nblg run-1-1.nblg"
                                                      << "run-1.nblg run-1-1.nblg";
        QTest::newRow("no extension") << "run-1 run run-2.nblg"
                                      << "run run-1";
    }
    void parts()
    {
        QFETCH(QString, files);
        QFETCH(QString, parts);
        QTemporaryDir dir;
        const QString folder = dir.filePath("week.2"); // a "." in a folder's name does not count
        QVERIFY(QDir().mkpath(folder));
        const QStringList names = files.split(' ');
        for (const QString& name : names)
            QVERIFY(Write(folder + '/' + name, "x"));
        QStringList found;
        for (const QString& path : RecordingParts(folder + '/' + names.first()))
            found << path.mid(folder.size() + 1);
        QCOMPARE(found.join(' '), parts);
    }

    void order_data()
    {
        // Each file "name:first record", 300 records of a recorder's part; ":saved" without the
        // header and with the rows of a saved list, ":dump" with the caption row of a dump.
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("read"); // empty: as given
        QTest::newRow("parts in a shell's order") << "w-1:301 w-10:901 w-2:601 w:1"
                                                  << "w w-1 w-2 w-10";
        QTest::newRow("parts in order") << "w:1 w-1:301"
                                        << "";
        QTest::newRow("numbers that do not run on") << "b:302 a:1"
                                                    << "";
        QTest::newRow("saved lists") << "b:301:saved a:1:saved"
                                     << "";
        QTest::newRow("list dumps") << "0102:301:dump 0101:1:dump"
                                    << "0101 0102";
        QTest::newRow("one file twice") << "a:1 a:1"
                                        << "";
    }
    void order()
    {
        QFETCH(QString, given);
        QFETCH(QString, read);
        QTemporaryDir dir;
        QStringList paths;
        QStringList givenNames;
        for (const QString& file : given.split(' ')) {
            const QStringList f = file.split(':');
            QByteArray content = RecorderPart(f[1].toInt(), 300, 0);
            if (f.size() > 2)
                content.replace("\r\n", "\t\r\n");
            if (f.value(2) == QLatin1String("saved"))
                content = content.mid(content.indexOf('\n') + 1);
            givenNames << f[0];
            paths << dir.filePath(f[0] + ".nblg");
            QVERIFY(Write(paths.back(), content));
        }
        QString note;
        QStringList names;
        for (const QString& path : RecordingOrder(paths, &note))
            names << QFileInfo(path).completeBaseName();
        QCOMPARE(names.join(' '), read.isEmpty() ? givenNames.join(' ') : read);
        QCOMPARE(note,
            read.isEmpty()
                ? QString()
                : "Files ordered by their first record number: " + names.join(".nblg, ") + ".nblg");
    }

    void notAFile()
    {
        ReportBuilder builder({});
        QString error;
        QVERIFY(!ReadDataFiles({ QStringLiteral("/dev/zero") }, false, builder, &error));
        QCOMPARE(error, QStringLiteral("/dev/zero: not a regular file"));
        QVERIFY(
            !ReadDataFiles({ QStringLiteral("/nonexistent/run.nblg") }, false, builder, &error));
        QCOMPARE(error, QStringLiteral("/nonexistent/run.nblg: no such file"));
    }

    // A chunk boundary between the CR and the LF of a line end makes no empty line.
    void lineEndAcrossChunks()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("run.nblg"));
        QByteArray content;
        int n = 0;
        while (content.size() < 3 * 256 * 1024) {
            ++n;
            content += RecordLine(n, "08:00:00", "600") + "\r\n";
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        for (int shift = 0; shift < 3; ++shift) {
            ReportBuilder builder({});
            QString error;
            QVERIFY2(ReadDataFiles({ path }, true, builder, &error), qPrintable(error));
            QCOMPARE(builder.finish().records, n);
            // Move the line ends against the chunks for the next round.
            content.prepend("\r\n");
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
            file.close();
        }
    }
};

QTEST_GUILESS_MAIN(TestReportFiles)
#include "test_reportfiles.moc"
