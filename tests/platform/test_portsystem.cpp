// The platform's side of finding the meter: the same adapter under another name, why a port
// cannot be opened, pseudo-terminals, and the COMn links (stale ones included).
#include "meter/protocol.h"
#include "platform/portdiagnosis.h"
#include "platform/portentry.h"
#include "platform/portlock.h"
#include "platform/portproblem.h"
#include "platform/systemports.h"
#include "support/fakeportsystem.h"

#include <QCoreApplication>
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

    void lockFileNames_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("lock");
        QTest::newRow("device") << "/dev/ttyUSB0"
                                << "LCK..ttyUSB0";
        QTest::newRow("pseudo-terminal") << "/dev/pts/4"
                                         << "LCK..pts_4";
        QTest::newRow("COMn link") << "/run/user/1000/nimbrel/COM2"
                                   << "LCK.._run_user_1000_nimbrel_COM2";
    }
    void lockFileNames()
    {
        QFETCH(QString, path);
        QFETCH(QString, lock);
        QCOMPARE(PortLockFileName(path), lock);
    }

    // A device reached as "device", through the link COM2 and through a by-id link; a lock file
    // under one of those names (or another device's) held by the process of the row.
    void knowsWhoHoldsAPortUnderAnyName_data()
    {
        QTest::addColumn<QString>("lockedName");
        QTest::addColumn<QString>("holder");
        QTest::addColumn<bool>("held");
        QTest::newRow("held through COM2") << "COM2"
                                           << "running" << true;
        QTest::newRow("held as the device") << "device"
                                            << "running" << true;
        QTest::newRow("held through by-id") << "by-id"
                                            << "running" << true;
        QTest::newRow("another device") << "other"
                                        << "running" << false;
        QTest::newRow("stale lock") << "COM2"
                                    << "gone" << false;
        QTest::newRow("this program's own") << "COM2"
                                            << "self" << false;
        QTest::newRow("no process id") << "COM2"
                                       << "garbage" << false;
    }
    void knowsWhoHoldsAPortUnderAnyName()
    {
        QFETCH(QString, lockedName);
        QFETCH(QString, holder);
        QFETCH(bool, held);
        QTemporaryDir dir;
        const QString links = dir.path() + "/links";
        const QString byId = dir.path() + "/by-id";
        const QString locks = dir.path() + "/lock";
        for (const QString& folder : { links, byId, locks })
            QVERIFY(QDir().mkpath(folder));
        const QString device = dir.path() + "/device";
        const QString other = dir.path() + "/other";
        for (const QString& path : { device, other }) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QVERIFY(QFile::link(device, links + "/COM2"));
        QVERIFY(QFile::link(other, links + "/COM3"));
        QVERIFY(QFile::link(device, byId + "/usb-meter-0001"));

        const QHash<QString, QString> names { { "COM2", links + "/COM2" }, { "device", device },
            { "by-id", byId + "/usb-meter-0001" }, { "other", other } };
        // Process 1 always runs; no process has a number this large.
        const QHash<QString, QByteArray> pids { { "running", "1" }, { "gone", "999999999" },
            { "self", QByteArray::number(QCoreApplication::applicationPid()) },
            { "garbage", "none" } };
        QFile lock(locks + "/" + PortLockFileName(names.value(lockedName)));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(pids.value(holder) + "\nholder\nhost\n");
        lock.close();

        // Asked for by its COMn link, as the program opens it.
        const std::optional<PortLock> found
            = FindPortLock(links + "/COM2", { links, byId }, { dir.path() + "/nothing", locks });
        QCOMPARE(found.has_value(), held);
        if (!held)
            return;
        QCOMPARE(found->pid, 1);
        QFile comm("/proc/1/comm");
        const QString program = comm.open(QIODevice::ReadOnly)
            ? QString::fromLocal8Bit(comm.readAll().trimmed())
            : QStringLiteral("holder");
        QCOMPARE(PortLockHolderText(*found), program + ", process 1");
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
