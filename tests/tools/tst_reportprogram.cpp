// nimbrel-report run as a user runs it: exit codes, messages, JSON, and a PDF read back.
#include "reportlines.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace
{
struct Run {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Run RunReport(const QStringList& arguments, const QString& folder)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(NIMBREL_REPORT_BIN), arguments);
    process.waitForFinished(60000);
    return { process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError() };
}

void Write(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A day of records every 10 minutes from 08:00, over midnight: CO2 700, and 1500 for the
// records from number `highFrom` to `highTo`.
QByteArray Recording(int first, int count, int highFrom = 0, int highTo = -1)
{
    QByteArray text = "No.s\tTime\tppm\t\xb0"
                      "C\r\n";
    for (int i = first; i < first + count; ++i) {
        const int minutes = (8 * 60 + (i - 1) * 10) % (24 * 60);
        const QByteArray time = QStringLiteral("%1:%2:00")
                                    .arg(minutes / 60, 2, 10, QLatin1Char('0'))
                                    .arg(minutes % 60, 2, 10, QLatin1Char('0'))
                                    .toLatin1();
        const bool high = i >= highFrom && i <= highTo;
        text += RecordLine(i, time.constData(), high ? "1500" : "700") + "\r\n";
    }
    return text;
}
} // namespace

class TestReportProgram : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void exitCodes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message"); // on standard error
        QTest::newRow("help") << QStringList { "--help" } << 0 << QString();
        QTest::newRow("unknown option") << QStringList { "--colour", "run.nblg" } << 2
                                        << QStringLiteral("Unknown option 'colour'.");
        QTest::newRow("limits that fall") << QStringList { "--co2-limits", "800,700,1400",
            "run.nblg" } << 2 << QStringLiteral("must be above 0 and rise");
        QTest::newRow("two limits") << QStringList { "--co2-limits", "800,1000", "run.nblg" } << 2
                                    << QStringLiteral("--co2-limits wants 3 whole numbers");
        QTest::newRow("a limit with decimals") << QStringList { "--co2-limits", "800.5,1000,1400",
            "run.nblg" } << 2 << QStringLiteral("--co2-limits wants 3 whole numbers separated");
        QTest::newRow("outdoor CO2 that is no number") << QStringList { "--outdoor", "x",
            "run.nblg" } << 2 << QStringLiteral("--outdoor wants a whole number, not \"x\"");
        QTest::newRow("bad start") << QStringList { "--start", "07.12.2026", "run.nblg" } << 2
                                   << QStringLiteral("--start wants");
        QTest::newRow("no file") << QStringList { "--json" } << 2
                                 << QStringLiteral("no data file given");
        QTest::newRow("missing file") << QStringList { "--json", "gone.nblg" } << 3
                                      << QStringLiteral("gone.nblg: no such file");
        QTest::newRow("not a data file") << QStringList { "--json",
            "bad.nblg" } << 3 << QStringLiteral("bad.nblg: line 3: 3 fields where a record has 10");
        QTest::newRow("header only") << QStringList { "--json", "header.nblg" } << 3
                                     << QStringLiteral("no records, nothing to report");
        QTest::newRow("a directory")
            << QStringList { "--json", "." } << 3 << QStringLiteral("not a regular file");
        QTest::newRow("unwritable PDF") << QStringList { "-o", "/nonexistent/x.pdf", "run.nblg" }
                                        << 1 << QStringLiteral("/nonexistent/x.pdf:");
        QTest::newRow("JSON") << QStringList { "--json", "run.nblg" } << 0 << QString();
        // A refused PDF name is no bad option: no usage follows.
        QTest::newRow("the PDF over its data file")
            << QStringList { "-o", "run.nblg", "run.nblg" } << 2 << QStringLiteral("not \".nblg\"");
        QTest::newRow("... through a link") << QStringList { "-o", "link.pdf", "run.nblg" } << 2
                                            << QStringLiteral("link.pdf is the data file run.nblg");
        QTest::newRow("... under a second name") << QStringList { "-o", "hard.pdf", "run.nblg" }
                                                 << 2 << QStringLiteral("is the data file");
        QTest::newRow("over another data file") << QStringList { "-o", "copy.pdf", "run.nblg" } << 2
                                                << QStringLiteral("holds a data file");
        QTest::newRow("a PDF named as text")
            << QStringList { "-o", "out.txt", "run.nblg" } << 2 << QStringLiteral("not \".txt\"");
        QTest::newRow("a PDF name without extension")
            << QStringList { "-o", "out", "run.nblg" } << 0 << QString();
        QTest::newRow("JSON over its data file") << QStringList { "--json", "-o", "run.nblg",
            "run.nblg" } << 2 << QStringLiteral("a report is JSON, its name must end in \".json\"");
        QTest::newRow("JSON to a file")
            << QStringList { "--json", "-o", "out", "run.nblg" } << 0 << QString();
        QTest::newRow("CSV") << QStringList { "--csv", "run.nblg" } << 0 << QString();
        QTest::newRow("CSV over another data file") << QStringList { "--csv", "-o", "copy.csv",
            "run.nblg" } << 2 << QStringLiteral("copy.csv holds a data file");
        QTest::newRow("CSV to a file")
            << QStringList { "--csv", "-o", "out", "run.nblg" } << 0 << QString();
        QTest::newRow("CSV and JSON") << QStringList { "--csv", "--json",
            "run.nblg" } << 2 << QStringLiteral("--json and --csv cannot be given together");
    }
    void exitCodes()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, message);
        const QByteArray recording = Recording(1, 10);
        for (const char* name : { "run.nblg", "copy.pdf", "copy.csv" })
            Write(m_dir.filePath(name), recording);
        for (const char* name : { "link.pdf", "hard.pdf", "out.pdf", "out.json", "out.csv" })
            QFile::remove(m_dir.filePath(name));
        QVERIFY(QFile::link(m_dir.filePath("run.nblg"), m_dir.filePath("link.pdf")));
        QCOMPARE(
            ::link(qPrintable(m_dir.filePath("run.nblg")), qPrintable(m_dir.filePath("hard.pdf"))),
            0);
        Write(m_dir.filePath("bad.nblg"),
            "No.s\r\n" + RecordLine(1, "08:00:00", "700") + "\r\n1\t08:01:00\t700\r\n");
        Write(m_dir.filePath("header.nblg"), "No.s\tTime\r\n");
        const Run run = RunReport(arguments, m_dir.path());
        QCOMPARE(run.status, status);
        if (message.isEmpty()) {
            QVERIFY2(run.err.isEmpty(), run.err.constData());
        } else {
            QVERIFY2(run.err.contains(message.toUtf8()), run.err.constData());
        }
        // The usage names the program without its folder.
        const bool usage = status == 2 && !arguments.contains("-o");
        QCOMPARE(run.err.contains("Usage: nimbrel-report [options] FILE..."), usage);
        if (arguments == QStringList { "--help" })
            QVERIFY(run.out.contains("--comfort-rh"));
        // No data file is written over; a PDF only where it is named.
        for (const char* name : { "run.nblg", "copy.pdf", "copy.csv" })
            QCOMPARE(Read(m_dir.filePath(name)), recording);
        QVERIFY(!QFile::exists(m_dir.filePath("out.txt")) && !QFile::exists(m_dir.filePath("out")));
        const bool named = run.status == 0 && arguments.contains("out");
        const bool json = arguments.contains("--json");
        const bool csv = arguments.contains("--csv");
        QCOMPARE(Read(m_dir.filePath("out.pdf")).left(5),
            QByteArray(named && !json && !csv ? "%PDF-" : ""));
        QCOMPARE(Read(m_dir.filePath("out.json")).left(1), QByteArray(named && json ? "{" : ""));
        QCOMPARE(
            Read(m_dir.filePath("out.csv")).left(10), QByteArray(named && csv ? "Date-time," : ""));
        // The CSV on standard output: the header, a row for each of the ten records.
        if (csv && run.status == 0 && !named)
            QCOMPARE(run.out.count('\n'), 11);
    }

    // The parts of a recording as a shell lists them (week-1, week-10, week-2 ... week.nblg) are
    // read in the order of their records, and the report says so.
    void partsInShellOrder()
    {
        QStringList parts { "week.nblg" };
        for (int part = 1; part <= 10; ++part)
            parts << QStringLiteral("week-%1.nblg").arg(part);
        for (int part = 0; part <= 10; ++part)
            Write(m_dir.filePath(parts[part]), RecorderPart(part * 200 + 1, 200, part * 200));
        QStringList shell = parts;
        shell.sort();
        const Run run
            = RunReport(QStringList { "--json", "--start", "2026-12-07" } + shell, m_dir.path());
        const QString note = "Files ordered by their first record number: " + parts.join(", ");
        QCOMPARE(run.err, "nimbrel-report: warning: " + note.toUtf8() + '\n');
        const QJsonObject json = QJsonDocument::fromJson(run.out).object();
        QCOMPARE(json["title"].toString(), QStringLiteral("week.nblg"));
        QCOMPARE(
            json["period"].toObject()["last"].toString(), QStringLiteral("2026-12-08T12:39:00"));
        QCOMPARE(json["period"].toObject()["gaps"].toInt(), 0);
    }

    // Two parts of a day that goes over midnight, given in order, with the options given.
    void jsonFigures()
    {
        // 144 records every 10 minutes from 08:00: the last at 07:50 on the next day; 20
        // records (over 13 %) at 1500 ppm.
        Write(m_dir.filePath("day.nblg"), Recording(1, 100, 41, 60));
        Write(m_dir.filePath("day-1.nblg"), Recording(101, 44));
        const Run run = RunReport(
            { "--json", "--start", "2026-12-07 08:00:00", "--title", "Room 4", "--co2-limits",
                "600,1000,1450", "--fahrenheit", "day.nblg", "day-1.nblg" },
            m_dir.path());
        QCOMPARE(run.status, 0);
        QVERIFY2(run.err.isEmpty(), run.err.constData());
        QJsonParseError error;
        const QJsonObject json = QJsonDocument::fromJson(run.out, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(json["title"].toString(), QStringLiteral("Room 4"));
        QCOMPARE(json["records"].toInt(), 144);
        QCOMPARE(json["temperatureUnit"].toString(), QStringLiteral("°F"));
        const QJsonObject period = json["period"].toObject();
        QCOMPARE(period["first"].toString(), QStringLiteral("2026-12-07T08:00:00"));
        QCOMPARE(period["last"].toString(), QStringLiteral("2026-12-08T07:50:00"));
        QCOMPARE(period["intervalSeconds"].toInt(), 600);
        const QJsonObject co2 = json["co2"].toObject();
        QCOMPARE(co2["bands"].toArray()[1].toObject()["seconds"].toInt(), 124 * 600);
        QCOMPARE(co2["bands"].toArray()[3].toObject()["seconds"].toInt(), 20 * 600);
        QCOMPARE(co2["longestAbove"].toObject()["from"].toString(),
            QStringLiteral("2026-12-07T14:40:00"));
        // 1500 ppm is 1080 above outdoor air: III, 86 % within 550.
        QCOMPARE(json["category"].toObject()["name"].toString(), QStringLiteral("III"));
        QCOMPARE(json["statistics"].toObject()["temperature"].toObject()["max"].toDouble(), 69.8);

        // Given the other way round: reported in that order, with a warning.
        const Run swapped = RunReport({ "--json", "day-1.nblg", "day.nblg" }, m_dir.path());
        QCOMPARE(swapped.status, 0);
        QVERIFY2(swapped.err.contains("warning: day.nblg starts at record 1, which does not "
                                      "follow record 144 of day-1.nblg"),
            swapped.err.constData());
    }

    // The PDF read back as text and looked at as an image.
    void pdf()
    {
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
        if (pdftotext.isEmpty() || pdftoppm.isEmpty())
            QSKIP("poppler-utils are not installed");
        Write(m_dir.filePath("room4.nblg"), Recording(1, 144, 41, 42));
        const Run run = RunReport({ "--start", "2026-12-07", "room4.nblg" }, m_dir.path());
        QCOMPARE(run.status, 0);
        const QString pdf = m_dir.filePath("room4 report.pdf");
        QVERIFY(QFile::exists(pdf));

        QProcess text;
        text.start(pdftotext, { "-layout", pdf, "-" });
        QVERIFY(text.waitForFinished(30000));
        const QString page = QString::fromUtf8(text.readAllStandardOutput());
        for (const char* expected : { "room4.nblg", "First record 2026-12-07 08:00:00",
                 "Last record 2026-12-08 07:50:00", "Sampling interval 10 min 00 s",
                 "1400 ppm and above 20 min 00 s, 1.3 %", "EN 16798-1 category: I.",
                 "Temperature 20.0 to 26.0 °C 1 d 0 h 00 min, 100.0 %" }) {
            QVERIFY2(page.simplified().contains(QString::fromUtf8(expected)),
                qPrintable(QString::fromUtf8(expected) + QStringLiteral(" in:\n") + page));
        }
        QCOMPARE(page.count(QLatin1Char('\f')), 2); // two pages

        QProcess image;
        image.start(
            pdftoppm, { "-png", "-r", "60", "-f", "1", "-l", "1", pdf, m_dir.filePath("page") });
        QVERIFY(image.waitForFinished(30000));
        const QImage shot(m_dir.filePath("page-1.png"));
        QVERIFY(!shot.isNull());
        // The CO2 trace is drawn in magenta across the chart.
        int magenta = 0;
        int minX = shot.width();
        int maxX = 0;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x) {
                const QColor c = shot.pixelColor(x, y);
                if (c.red() > 150 && c.blue() > 150 && c.green() < 100) {
                    ++magenta;
                    minX = std::min(minX, x);
                    maxX = std::max(maxX, x);
                }
            }
        }
        QVERIFY2(magenta > 100, qPrintable(QString::number(magenta)));
        QVERIFY2(maxX - minX > shot.width() / 2, "the trace spans the chart");
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestReportProgram)
#include "tst_reportprogram.moc"
