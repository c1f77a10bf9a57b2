// Start-up on a port that cannot be used: the message comes before any window, and says why.
#include "app/application.h"
#include "desktop/printer.h"
#include "support/fakeclock.h"
#include "support/fakes.h"

#include <QApplication>
#include <QWidget>
#include <QtTest>

class TestStartup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void noDeviceStandsAlone_data()
    {
        QTest::addColumn<int>("portNumber");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("says");
        QTest::newRow("group") << 3 << int(PortProblem::Kind::Permission) << "usermod -aG dialout";
        QTest::newRow("held") << 2 << int(PortProblem::Kind::Busy) << "in use";
        QTest::newRow("no port chosen")
            << 0 << int(PortProblem::Kind::Missing) << "No port was chosen";
    }
    void noDeviceStandsAlone()
    {
        QFETCH(int, portNumber);
        QFETCH(int, kind);
        QFETCH(QString, says);
        auto* prompts = new FakePrompts;
        QStringList visibleAtMessage;
        prompts->onMessage = [&visibleAtMessage] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (w->isVisible())
                    visibleAtMessage.append(w->objectName());
            }
        };
        Application app(std::make_unique<FakeClock>(), std::make_unique<FakeBeeper>(),
            std::unique_ptr<Prompts>(prompts), std::make_unique<FakePrinterProvider>("x.pdf"));
        app.setLinkFactory([kind](int, Clock&) {
            auto link = std::make_unique<FakeSerialLink>();
            link->failOpen = true;
            link->problem.kind = PortProblem::Kind(kind);
            link->problem.group = QStringLiteral("dialout");
            return link;
        });
        app.state().PortNumber = portNumber;
        QVERIFY(!app.openPanel());
        QCOMPARE(prompts->messages.size(), 1);
        QCOMPARE(visibleAtMessage, QStringList());
        QCOMPARE(prompts->messages[0].text, QStringLiteral("No device available !"));
        QVERIFY2(
            prompts->messages[0].detail.contains(says), qPrintable(prompts->messages[0].detail));
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
