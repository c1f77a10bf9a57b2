// The virtual meter's command line and its commands on standard input.
#include "meteroptions.h"

#include <QTest>

class TestMeterOptions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void optionsParse_data();
    void optionsParse();
    void helpNamesEveryOptionAndCommand();
    void commandsParse_data();
    void commandsParse();
};

void TestMeterOptions::optionsParse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("summary");

    // summary: port interval seed pace outOfStep markers silence dumpAtStart faults sets
    QTest::newRow("defaults") << QStringList {} << true
                              << "COM1 500 - pace 0 0 -1 no -1/5000/0/0 0";
    QTest::newRow("port and interval") << QStringList { "--port", "COM8", "--interval=250" } << true
                                       << "COM8 250 - pace 0 0 -1 no -1/5000/0/0 0";
    QTest::newRow("lower-case port")
        << QStringList { "--port=com3" } << true << "COM3 500 - pace 0 0 -1 no -1/5000/0/0 0";
    QTest::newRow("everything") << QStringList { "--seed", "18446744073709551615", "--no-pace",
        "--out-of-step", "4", "--markers", "tover,nodata", "--silence-after", "2.5",
        "--dump-at-start", "--fault-stop-after", "300", "--fault-quiet", "1.5", "--fault-overshoot",
        "7", "--fault-short-header", "--set", "5,START=23:59:30", "--set",
        "0" } << true << "COM1 500 18446744073709551615 nopace 4 2 2500 yes 300/1500/7/1 2";
    QTest::newRow("COM0") << QStringList { "--port", "COM0" } << false << "";
    QTest::newRow("COM9") << QStringList { "--port", "COM9" } << false << "";
    QTest::newRow("port without value") << QStringList { "--port" } << false << "";
    QTest::newRow("interval too short") << QStringList { "--interval", "5" } << false << "";
    QTest::newRow("interval not a number") << QStringList { "--interval", "fast" } << false << "";
    QTest::newRow("negative seed") << QStringList { "--seed", "-1" } << false << "";
    QTest::newRow("bad marker") << QStringList { "--markers", "warm" } << false << "";
    QTest::newRow("bad set") << QStringList { "--set", "5,START=25:00:00" } << false << "";
    QTest::newRow("negative silence") << QStringList { "--silence-after", "-1" } << false << "";
    QTest::newRow("flag with a value") << QStringList { "--no-pace=1" } << false << "";
    QTest::newRow("unknown") << QStringList { "--colour" } << false << "";
    QTest::newRow("stray word") << QStringList { "COM2" } << false << "";
    QTest::newRow("full memory and sets")
        << QStringList { "--full-memory", "--set", "3" } << false << "";
    QTest::newRow("empty and full")
        << QStringList { "--empty-logger", "--full-memory" } << false << "";
}

void TestMeterOptions::optionsParse()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, ok);
    QFETCH(QString, summary);
    MeterOptions options;
    QString error;
    QCOMPARE(MeterOptions::parse(arguments, &options, &error), ok);
    if (!ok) {
        QVERIFY(!error.isEmpty());
        return;
    }
    const QString got
        = QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9/%10/%11/%12 %13")
              .arg(options.portName())
              .arg(options.intervalMs)
              .arg(options.seedGiven ? QString::number(options.seed) : QStringLiteral("-"))
              .arg(options.pace ? QStringLiteral("pace") : QStringLiteral("nopace"))
              .arg(options.outOfStep)
              .arg(options.markers.size())
              .arg(options.silenceAfterMs)
              .arg(options.dumpAtStart ? QStringLiteral("yes") : QStringLiteral("no"))
              .arg(options.faults.stopAfter)
              .arg(options.faults.quietMs)
              .arg(options.faults.overshoot)
              .arg(int(options.faults.shortHeader))
              .arg(options.sets.size());
    QCOMPARE(got, summary);
}

void TestMeterOptions::helpNamesEveryOptionAndCommand()
{
    const QString help = MeterOptions::helpText();
    const QStringList names { "--port", "--interval", "--seed", "--frames", "--silence-after",
        "--out-of-step", "--markers", "--no-pace", "--set", "--full-memory", "--empty-logger",
        "--dump-at-start", "--fault-stop-after", "--fault-quiet", "--fault-overshoot",
        "--fault-short-header", "--help", "silence", "resume", "quit", "dump", "unplug", "plug",
        "outofstep", "markers" };
    for (const QString& name : names)
        QVERIFY2(help.contains(name), qPrintable(name));
    // Everything the help names, the parser takes.
    MeterOptions options;
    QString error;
    for (const char* flag :
        { "--no-pace", "--full-memory", "--dump-at-start", "--fault-short-header", "--help" })
        QVERIFY2(MeterOptions::parse({ QString::fromLatin1(flag) }, &options, &error),
            qPrintable(error));
}

void TestMeterOptions::commandsParse_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("kind");
    QTest::addColumn<qint64>("number");

    using K = MeterCommand::Kind;
    QTest::newRow("blank") << "   " << true << int(K::None) << qint64(0);
    QTest::newRow("silence") << "silence" << true << int(K::Silence) << qint64(0);
    QTest::newRow("resume, spaces, CR") << "  resume \r" << true << int(K::Resume) << qint64(0);
    QTest::newRow("QUIT") << "QUIT" << true << int(K::Quit) << qint64(0);
    QTest::newRow("dump") << "dump" << true << int(K::Dump) << qint64(0);
    QTest::newRow("unplug") << "unplug" << true << int(K::Unplug) << qint64(0);
    QTest::newRow("plug") << "plug" << true << int(K::Plug) << qint64(0);
    QTest::newRow("plug under COM3") << "plug com3" << true << int(K::Plug) << qint64(3);
    QTest::newRow("plug under COM9") << "plug COM9" << false << 0 << qint64(0);
    QTest::newRow("outofstep") << "outofstep 12" << true << int(K::OutOfStep) << qint64(12);
    QTest::newRow("markers") << "markers tover,co2over" << true << int(K::Markers) << qint64(0);
    QTest::newRow("markers cleared") << "markers" << true << int(K::Markers) << qint64(0);
    QTest::newRow("fault stop") << "fault-stop-after 264" << true << int(K::FaultStopAfter)
                                << qint64(264);
    QTest::newRow("fault overshoot")
        << "fault-overshoot 3" << true << int(K::FaultOvershoot) << qint64(3);
    QTest::newRow("fault short header")
        << "fault-short-header" << true << int(K::FaultShortHeader) << qint64(0);
    QTest::newRow("fault quiet in ms")
        << "fault-quiet 0.25" << true << int(K::FaultQuiet) << qint64(250);
    QTest::newRow("help") << "help" << true << int(K::Help) << qint64(0);
    QTest::newRow("unknown") << "explode" << false << 0 << qint64(0);
    QTest::newRow("quit with argument") << "quit now" << false << 0 << qint64(0);
    QTest::newRow("outofstep without number") << "outofstep" << false << 0 << qint64(0);
    QTest::newRow("outofstep negative") << "outofstep -2" << false << 0 << qint64(0);
    QTest::newRow("bad marker") << "markers hot" << false << 0 << qint64(0);
}

void TestMeterOptions::commandsParse()
{
    QFETCH(QString, line);
    QFETCH(bool, ok);
    QFETCH(int, kind);
    QFETCH(qint64, number);
    MeterCommand command;
    QString error;
    QCOMPARE(MeterCommand::parse(line, &command, &error), ok);
    if (!ok) {
        QVERIFY(!error.isEmpty());
        return;
    }
    QCOMPARE(int(command.kind), kind);
    QCOMPARE(command.number, number);
    if (line.startsWith(QLatin1String("markers ")))
        QCOMPARE(command.markers.size(), std::size_t(2));
}

QTEST_APPLESS_MAIN(TestMeterOptions)
#include "tst_meteroptions.moc"
