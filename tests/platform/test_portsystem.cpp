// The platform's side of finding the meter: the same adapter under another name, why a port
// cannot be opened, pseudo-terminals, and the COMn links (stale ones included).
#include "meter/protocol.h"
#include "platform/portdiagnosis.h"
#include "platform/portentry.h"
#include "platform/portproblem.h"
#include "platform/systemports.h"
#include "support/fakeportsystem.h"

#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(PortEntry)

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

class TestPortSystem : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Before: the adapter with serial number A1 (by-id link "byA"). Listed now: see each row.
    void findsTheSameDeviceUnderAnotherName_data()
    {
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("byId");
        QTest::addColumn<QList<PortEntry>>("now");
        QTest::addColumn<int>("found");
        const PortEntry other = FakePort("ttyUSB0", 1, "B2", "byB");
        QTest::newRow("by serial number")
            << "A1"
            << "byA" << QList<PortEntry> { other, FakePort("ttyUSB1", 0, "A1") } << 1;
        PortEntry otherMaker = FakePort("ttyUSB1", 0, "A1");
        otherMaker.vendorId = 0x10c4;
        QTest::newRow("same serial, other maker") << "A1"
                                                  << "" << QList<PortEntry> { otherMaker } << -1;
        QTest::newRow("no serial: by-id")
            << ""
            << "byA" << QList<PortEntry> { other, FakePort("ttyACM3", 0, "", "byA") } << 1;
        QTest::newRow("neither") << ""
                                 << "" << QList<PortEntry> { FakePort("ttyUSB1") } << -1;
        QTest::newRow("not back yet") << "A1"
                                      << "byA" << QList<PortEntry> { other } << -1;
    }
    void findsTheSameDeviceUnderAnotherName()
    {
        QFETCH(QString, serial);
        QFETCH(QString, byId);
        QFETCH(QList<PortEntry>, now);
        QFETCH(int, found);
        const PortIdentity before = IdentityOf(FakePort("ttyUSB0", 1, serial, byId));
        QCOMPARE(FindSameDevice(before, now), found);
    }

    void tellsWhyAPortCannotBeOpened_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("access");
        QTest::addColumn<bool>("braille");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("says");
        using K = PortProblem::Kind;
        QTest::newRow("not there") << int(QSerialPort::DeviceNotFoundError) << false << false
                                   << false << int(K::Missing) << "not there";
        QTest::newRow("group") << int(QSerialPort::PermissionError) << true << false << false
                               << int(K::Permission) << "sudo usermod -aG dialout $USER";
        QTest::newRow("held") << int(QSerialPort::PermissionError) << true << true << false
                              << int(K::Busy) << "in use by another program";
        QTest::newRow("braille") << int(QSerialPort::PermissionError) << true << true << true
                                 << int(K::BrailleService) << "systemctl mask brltty";
        QTest::newRow("settings") << int(QSerialPort::UnsupportedOperationError) << true << true
                                  << false << int(K::LineSettings) << "refuses 28800 baud";
    }
    void tellsWhyAPortCannotBeOpened()
    {
        QFETCH(int, error);
        QFETCH(bool, exists);
        QFETCH(bool, access);
        QFETCH(bool, braille);
        QFETCH(int, kind);
        QFETCH(QString, says);
        PortProblem problem;
        problem.kind = ClassifyOpenFailure(
            QSerialPort::SerialPortError(error), exists, access, braille, true);
        QCOMPARE(int(problem.kind), kind);
        problem.group = QStringLiteral("dialout");
        const QString text = PortProblemText(problem, QStringLiteral("/dev/ttyUSB0"));
        QVERIFY2(
            text.contains(says) && text.contains(QStringLiteral("/dev/ttyUSB0")), qPrintable(text));
    }

    // A refused line setting keeps the port only on a pseudo-terminal.
    void refusedSettingOnARealDeviceIsUnusable()
    {
        QVERIFY(KeepPortAfterRefusedSetting(QSerialPort::UnsupportedOperationError, true));
        QVERIFY(!KeepPortAfterRefusedSetting(QSerialPort::UnsupportedOperationError, false));
        QVERIFY(!KeepPortAfterRefusedSetting(QSerialPort::UnknownError, true));

        const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(master >= 0);
        QVERIFY(::grantpt(master) == 0 && ::unlockpt(master) == 0);
        const QString slave = QString::fromLocal8Bit(::ptsname(master));
        QTemporaryDir dir;
        QVERIFY(QFile::link(slave, dir.path() + "/COM1"));
        QVERIFY(IsPseudoTerminal(slave));
        QVERIFY(IsPseudoTerminal(dir.path() + "/COM1"));
        QVERIFY(!IsPseudoTerminal(QStringLiteral("/dev/null")));
        QVERIFY(!IsPseudoTerminal(dir.path() + "/none"));
        ::close(master);
    }

    // Binding COMn in the link folder: a stale link is free and replaced, a link to a device is
    // not free, a file that is not a link is never replaced; COMn then lists the device.
    void bindsComNumbersInTheLinkFolder()
    {
        QTemporaryDir runtime;
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        const QString folder = runtime.path() + "/nimbrel";
        QVERIFY(QDir().mkpath(folder));
        QFile device(runtime.path() + "/device");
        QVERIFY(device.open(QIODevice::WriteOnly));
        device.close();
        QVERIFY(QFile::link(runtime.path() + "/gone", folder + "/COM1"));
        QVERIFY(QFile::link(device.fileName(), folder + "/COM2"));
        QFile plain(folder + "/COM3");
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();

        SystemPorts ports(kMeterBaudRate);
        QVERIFY(!ports.comReachesDevice(1));
        QVERIFY(ports.comReachesDevice(2));
        QVERIFY(!ports.bind(3, device.fileName()));
        QVERIFY(ports.bind(1, device.fileName()));
        QCOMPARE(QFileInfo(folder + "/COM1").symLinkTarget(), device.fileName());
        QVERIFY(ports.comReachesDevice(1));
        qunsetenv("XDG_RUNTIME_DIR");
    }
};

QTEST_MAIN(TestPortSystem)
#include "test_portsystem.moc"
