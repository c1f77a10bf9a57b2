#include "meter/portchoice.h"
#include "meter/portfinder.h"
#include "portwindow/portwindow.h"
#include "support/fakeclock.h"
#include "support/fakeportsystem.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QtTest>

class TestPortWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void listHoldsTheEightPorts()
    {
        int portNumber = 0;
        Port port(portNumber);
        auto* ports = port.findChild<QComboBox*>(QStringLiteral("Ports"));
        QVERIFY(ports);
        QCOMPARE(port.windowTitle(), QStringLiteral("COM Port"));
        QCOMPARE(ports->count(), 8);
        QCOMPARE(ports->itemText(0), QStringLiteral("COM1"));
        QCOMPARE(ports->itemText(7), QStringLiteral("COM8"));
        QCOMPARE(ports->currentText(), QStringLiteral("COM1"));
    }

    void okTakesOnlyAnExactPortText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::newRow("COM5") << "COM5" << 0 << 5;
        QTest::newRow("com5 other case") << "com5" << 0 << 0;
        QTest::newRow("COM9") << "COM9" << 3 << 3;
        QTest::newRow("blank after") << "COM2 " << 0 << 0;
        QTest::newRow("COM8") << "COM8" << 1 << 8;
    }
    void okTakesOnlyAnExactPortText()
    {
        QFETCH(QString, text);
        QFETCH(int, before);
        QFETCH(int, after);
        int portNumber = before;
        auto* port = new Port(portNumber);
        QSignalSpy chosen(port, &Port::chosen);
        port->show();
        port->findChild<QComboBox*>(QStringLiteral("Ports"))->setCurrentText(text);
        QTest::mouseClick(port->findChild<QPushButton*>(QStringLiteral("CmdOK")), Qt::LeftButton);
        QCOMPARE(portNumber, after);
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.at(0).at(0).toInt(), after);
    }

    void quickButtonsChooseTheirPort_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("after");
        QTest::newRow("Port1") << "Port1" << 1;
        QTest::newRow("Port2") << "Port2" << 2;
    }
    void quickButtonsChooseTheirPort()
    {
        QFETCH(QString, button);
        QFETCH(int, after);
        int portNumber = 0;
        auto* port = new Port(portNumber);
        port->findChild<QComboBox*>(QStringLiteral("Ports"))
            ->setCurrentText(QStringLiteral("COM6"));
        QTest::mouseClick(port->findChild<QPushButton*>(button), Qt::LeftButton);
        QCOMPARE(portNumber, after);
    }

    void hintNamesTheDeviceOrSaysThereIsNone()
    {
        QTemporaryDir runtime;
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        QDir().mkpath(runtime.path() + "/nimbrel");
        QFile target(runtime.path() + "/device");
        QVERIFY(target.open(QIODevice::WriteOnly));
        target.close();
        QVERIFY(QFile::link(target.fileName(), runtime.path() + "/nimbrel/COM3"));

        int portNumber = 0;
        Port port(portNumber);
        auto* ports = port.findChild<QComboBox*>(QStringLiteral("Ports"));
        auto* hint = port.findChild<QLabel*>(QStringLiteral("LblDevice"));
        ports->setCurrentText(QStringLiteral("COM3"));
        QVERIFY2(hint->text().contains(target.fileName()), qPrintable(hint->text()));
        ports->setCurrentText(QStringLiteral("COM9"));
        QVERIFY(hint->text().contains(QStringLiteral("Not a port")));
        qunsetenv("XDG_RUNTIME_DIR");
    }

    // Return confirms the text exactly as typed, as OK does: the box must not complete "com5"
    // to an entry first.
    void returnTakesTheTextAsTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("toTheBox"); // where a key typed into the window arrives
        for (bool toTheBox : { false, true }) {
            const char* to = toTheBox ? " to the box" : "";
            QTest::addRow("COM5%s", to) << "COM5" << 5 << toTheBox;
            QTest::addRow("com5 other case%s", to) << "com5" << 3 << toTheBox;
            QTest::addRow("com%s", to) << "com" << 3 << toTheBox;
            QTest::addRow("COM9%s", to) << "COM9" << 3 << toTheBox;
        }
    }
    void returnTakesTheTextAsTyped()
    {
        QFETCH(QString, typed);
        QFETCH(int, after);
        QFETCH(bool, toTheBox);
        int portNumber = 3;
        auto* port = new Port(portNumber);
        QSignalSpy chosen(port, &Port::chosen);
        port->show();
        auto* box = port->findChild<QComboBox*>(QStringLiteral("Ports"));
        QLineEdit* edit = box->lineEdit();
        edit->selectAll();
        QTest::keyClicks(edit, typed);
        QTest::keyClick(toTheBox ? static_cast<QWidget*>(box) : edit, Qt::Key_Return);
        QCOMPARE(portNumber, after);
        QCOMPARE(chosen.count(), 1);
    }

    // The list marks the meter and chooses it, binding the lowest free COMn to the device no
    // COMn reaches: Return is all the user does. The listened ports are let go first.
    void theMeterIsChosenAndBoundByItself()
    {
        FakeClock clock;
        FakePortSystem system;
        system.entries
            = { FakePort("ttyS0", 1), FakePort("ttyUSB4", 0, "A1", "/dev/serial/by-id/usb-A1") };
        system.reached = { 1, 2 };
        PortFinder finder(system, clock);
        int portNumber = 0;
        auto* port = new Port(portNumber, finder);
        port->show();
        auto* list = port->findChild<QTableWidget*>(QStringLiteral("PortList"));
        QVERIFY(list);
        QCOMPARE(list->rowCount(), 2);
        system.opened("/dev/ttyUSB4")
            ->feed(QByteArray::fromHex("020001900190009a03020001900190009a03"));
        QCOMPARE(list->item(1, 6)->text(), QStringLiteral("meter"));
        QCOMPARE(port->findChild<QComboBox*>(QStringLiteral("Ports"))->currentText(),
            QStringLiteral("COM3"));
        QTest::keyClick(
            port->findChild<QComboBox*>(QStringLiteral("Ports"))->lineEdit(), Qt::Key_Return);
        QCOMPARE(portNumber, 3);
        QCOMPARE(system.bound.value(3), QStringLiteral("/dev/serial/by-id/usb-A1"));
        QVERIFY(!system.opened("/dev/ttyS0"));
        QVERIFY(!finder.isListening());
    }

    // Once the user picks a row, a meter found later does not take the choice away.
    void theUsersChoiceStands()
    {
        FakeClock clock;
        FakePortSystem system;
        system.entries = { FakePort("ttyS0", 1), FakePort("ttyUSB0", 2) };
        system.refused.insert("/dev/ttyS0", { PortProblem::Kind::Busy, {}, "minicom", {} });
        PortFinder finder(system, clock);
        int portNumber = 0;
        Port port(portNumber, finder);
        auto* list = port.findChild<QTableWidget*>(QStringLiteral("PortList"));
        list->selectRow(0);
        QVERIFY(port.findChild<QLabel*>(QStringLiteral("LblReason"))->text().contains("minicom"));
        system.opened("/dev/ttyUSB0")
            ->feed(QByteArray::fromHex("020001900190009a03020001900190009a03"));
        QCOMPARE(port.findChild<QComboBox*>(QStringLiteral("Ports"))->currentText(),
            QStringLiteral("COM1"));
        // Closed without a choice: nothing stays open.
        port.close();
        QVERIFY(!system.opened("/dev/ttyUSB0") || !system.opened("/dev/ttyUSB0")->isOpen());
        QVERIFY(!finder.isListening());
    }

    void portTextRule()
    {
        for (int n = 1; n <= 8; ++n)
            QCOMPARE(PortNumberFromText(PortText(n)), n);
        QCOMPARE(PortNumberFromText(QStringLiteral("COM0")), 0);
        QCOMPARE(PortNumberFromText(QString()), 0);
    }
};

QTEST_MAIN(TestPortWindow)
#include "test_portwindow.moc"
