// Each program of the package answers --version and --help without a display: its manual page
// is made from these at build time.
#include "nimbrelversion.h"

#include <QProcess>
#include <QtTest>

class TestPrograms : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void answersWithoutDisplay_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("binary");
        QTest::addColumn<QString>("option");
        const QStringList programs
            = QStringLiteral(NIMBREL_PROGRAM_BINARIES).split(QLatin1Char(','));
        QVERIFY(programs.size() >= 3);
        for (const QString& entry : programs) {
            const QString program = entry.section(QLatin1Char('='), 0, 0);
            const QString binary = entry.section(QLatin1Char('='), 1);
            for (const char* option : { "--version", "-v", "--help" })
                QTest::addRow("%s %s", qPrintable(program), option) << program << binary << option;
        }
    }
    void answersWithoutDisplay()
    {
        QFETCH(QString, program);
        QFETCH(QString, binary);
        QFETCH(QString, option);
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM" })
            environment.remove(QLatin1String(name));
        process.setProcessEnvironment(environment);
        process.start(binary, { option });
        QVERIFY(process.waitForFinished(60000));
        const QString out = QString::fromUtf8(process.readAllStandardOutput());
        const QByteArray err = process.readAllStandardError();
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        QVERIFY2(err.isEmpty(), err.constData());
        if (option == QLatin1String("--help")) {
            QVERIFY2(out.startsWith(QStringLiteral("Usage: ")), qPrintable(out));
            QVERIFY2(out.section(QLatin1Char('\n'), 0, 0).contains(program), qPrintable(out));
            QVERIFY2(out.contains(QStringLiteral("--version")), qPrintable(out));
        } else {
            QCOMPARE(out, program + QLatin1Char(' ') + QLatin1String(NIMBREL_VERSION "\n"));
        }
    }
};

QTEST_GUILESS_MAIN(TestPrograms)
#include "test_programs.moc"
