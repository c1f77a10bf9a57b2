// nimbrel's own options among the arguments Qt takes (-platform, -style, -reverse, ...).
#include "app/commandline.h"

#include <QtTest>

class TestCommandLine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void firstOwnOptionDecides_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("command");
        const int windows = int(ProgramCommand::OpenWindows);
        const int ports = int(ProgramCommand::ListPorts);
        const int help = int(ProgramCommand::ShowHelp);
        const int version = int(ProgramCommand::ShowVersion);
        QTest::newRow("none") << QStringList {} << windows;
        QTest::newRow("list ports") << QStringList { "--list-ports" } << ports;
        QTest::newRow("help") << QStringList { "--help" } << help;
        QTest::newRow("short help") << QStringList { "-h" } << help;
        QTest::newRow("version") << QStringList { "--version" } << version;
        QTest::newRow("short version") << QStringList { "-v" } << version;
        QTest::newRow("after Qt's options")
            << QStringList { "-platform", "offscreen", "--version" } << version;
        // Qt's single-dash words are not bundles of short options.
        QTest::newRow("Qt's -reverse") << QStringList { "-reverse" } << windows;
        QTest::newRow("Qt's -style") << QStringList { "-style", "fusion" } << windows;
        QTest::newRow("other case") << QStringList { "--Version", "-H" } << windows;
        QTest::newRow("an option's value") << QStringList { "--version=2" } << windows;
        QTest::newRow("ports first") << QStringList { "--list-ports", "--help" } << ports;
        QTest::newRow("version first") << QStringList { "-v", "--list-ports" } << version;
    }
    void firstOwnOptionDecides()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, command);
        QCOMPARE(int(ReadProgramCommand(arguments)), command);
    }

    // Everything the help names, the command line takes.
    void helpNamesWhatIsTaken()
    {
        const QString help = ProgramHelpText();
        for (const char* option : { "--list-ports", "--help", "-h", "--version", "-v" }) {
            QVERIFY2(help.contains(QLatin1String(option)), option);
            QVERIFY(ReadProgramCommand({ QLatin1String(option) }) != ProgramCommand::OpenWindows);
        }
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_commandline.moc"
