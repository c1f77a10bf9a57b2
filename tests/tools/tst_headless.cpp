// What the programs without windows share: the --port option, the meter taken from what
// listening heard, and the folder for set files.
#include "common/meterlistening.h"
#include "common/portargument.h"
#include "common/setfiles.h"

#include <QTemporaryDir>
#include <QtTest>

namespace
{
// "COM1=meter /dev/ttyUSB3=silent COM2=busy": a port per word, its COMn (or its device when
// no COMn reaches it) and what listening found.
QList<FoundPort> Ports(const QString& text)
{
    QList<FoundPort> ports;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        FoundPort port;
        const QString name = word.section(QLatin1Char('='), 0, 0);
        const QString found = word.section(QLatin1Char('='), 1);
        port.entry.comNumber = name.startsWith(QLatin1String("COM")) ? name.mid(3).toInt() : 0;
        port.entry.devicePath
            = port.entry.comNumber > 0 ? QStringLiteral("/dev/pts/%1").arg(name) : name;
        port.entry.name = port.entry.devicePath.mid(5);
        port.state = found == QLatin1String("meter") ? FoundPort::State::Meter
            : found == QLatin1String("busy")         ? FoundPort::State::Unusable
                                                     : FoundPort::State::NoMeter;
        if (port.state == FoundPort::State::Unusable)
            port.problem.kind = PortProblem::Kind::Busy;
        ports.append(port);
    }
    return ports;
}
} // namespace

class TestHeadless : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void portArgument_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("com"); // -1: refused
        QTest::addColumn<QString>("device"); // or the reason's words
        QTest::newRow("COM1") << "COM1" << 1 << QString();
        QTest::newRow("any case") << "com8" << 8 << QString();
        QTest::newRow("COM0") << "COM0" << -1 << "COM0 is not one of COM1 to COM8";
        QTest::newRow("COM9") << "COM9" << -1 << "COM9 is not one of COM1 to COM8";
        QTest::newRow("a leading zero") << "COM03" << -1 << "not one of COM1 to COM8";
        QTest::newRow("a device") << "/dev/ttyUSB0" << 0 << "/dev/ttyUSB0";
        QTest::newRow("a relative path") << "./meter" << 0 << "./meter";
        QTest::newRow("a bare name") << "ttyUSB0" << -1 << "not \"ttyUSB0\"";
        QTest::newRow("nothing") << "" << -1 << "not \"\"";
    }
    void portArgument()
    {
        QFETCH(QString, text);
        QFETCH(int, com);
        QFETCH(QString, device);
        PortArgument port { 5, QStringLiteral("untouched") };
        QString error;
        QCOMPARE(ReadPortArgument(text, &port, &error), com >= 0);
        if (com < 0) {
            QVERIFY2(error.contains(device), qPrintable(error));
            QCOMPARE(port.comNumber, 5);
            return;
        }
        QCOMPARE(port.comNumber, com);
        if (com == 0)
            QCOMPARE(port.devicePath(), device);
        else
            QVERIFY2(port.label().startsWith(text.toUpper() + QStringLiteral(" (")),
                qPrintable(port.label()));
    }

    void heardMeter_data()
    {
        QTest::addColumn<QString>("ports");
        QTest::addColumn<QString>("taken"); // empty: none
        QTest::addColumn<QString>("message");
        QTest::newRow("one meter among others") << "COM1=silent COM2=meter /dev/ttyUSB3=busy"
                                                << "COM2" << QString();
        QTest::newRow("a meter no COMn reaches") << "/dev/ttyUSB3=meter"
                                                 << "/dev/ttyUSB3"
                                                 << "";
        QTest::newRow("none heard")
            << "COM1=silent /dev/ttyUSB3=busy" << QString() << "no meter heard on any serial port";
        QTest::newRow("the port list comes along") << "COM1=silent /dev/ttyUSB3=busy" << QString()
                                                   << "/dev/ttyUSB3 is in use by another program";
        QTest::newRow("two heard") << "COM1=meter /dev/ttyUSB3=meter COM4=silent" << QString()
                                   << "meters heard on 2 ports (COM1, /dev/ttyUSB3)";
        QTest::newRow("no port at all") << "" << QString() << "No serial ports found.";
    }
    void heardMeter()
    {
        QFETCH(QString, ports);
        QFETCH(QString, taken);
        QFETCH(QString, message);
        const HeardMeter heard = ChooseHeardMeter(Ports(ports));
        QCOMPARE(heard.found, !taken.isEmpty());
        if (heard.found)
            QCOMPARE(heard.port.comNumber > 0 ? QStringLiteral("COM%1").arg(heard.port.comNumber)
                                              : heard.port.devicePath(),
                taken);
        QVERIFY2(heard.message.contains(message), qPrintable(heard.message));
        QCOMPARE(heard.message.isEmpty(), heard.found);
    }

    void setFolder_data()
    {
        QTest::addColumn<QString>("folder"); // under a temporary folder that holds the file "f"
        QTest::addColumn<QString>("reason"); // empty: ready
        QTest::newRow("made with its parents") << "a/b/sets" << QString();
        QTest::newRow("already there") << "." << QString();
        QTest::newRow("a file") << "f"
                                << "/f: not a folder";
        QTest::newRow("under a file") << "f/sets"
                                      << "the folder cannot be made: Not a directory";
    }
    void setFolder()
    {
        QFETCH(QString, folder);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("f")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QString path = dir.filePath(folder);
        QString error;
        QCOMPARE(PrepareSetFolder(path, &error), reason.isEmpty());
        QVERIFY2(error.contains(reason), qPrintable(error));
        QCOMPARE(QFileInfo(path).isDir(), reason.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestHeadless)
#include "tst_headless.moc"
