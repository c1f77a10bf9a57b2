#include "acquisition/acquisitioncycle.h"
#include "acquisition/metersession.h"
#include "app/panel.h"
#include "app/programstate.h"
#include "meter/framebytes.h"
#include "support/fakeclock.h"
#include "support/fakes.h"
#include "support/panelrig.h"

#include <QAction>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

namespace
{

// Two live frames: a tick reads once 15 bytes are waiting.
QByteArray LiveFrame(int co2, int humidityTenths, int temperatureWord)
{
    return LiveFrameBytes(co2, humidityTenths, temperatureWord).repeated(2);
}

struct Rig : PanelRig {
    explicit Rig(int port = 3)
    {
        state.PortNumber = port;
        panel.show();
    }
    bool shown(const char* name) const { return panel.label(name)->isVisibleTo(&panel); }
    // One acquisition tick that decodes the given frame.
    void frame(int co2, int humidity, int temperatureWord)
    {
        clock.advance(AcquisitionCycle::kTickIntervalMs);
        link.feed(LiveFrame(co2, humidity, temperatureWord));
    }
};

} // namespace

class TestPanel : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void loadPlacesTheWindowAndShowsThePort()
    {
        Rig rig;
        rig.panel.move(300, 200);
        QVERIFY(rig.panel.load());
        QCOMPARE(rig.panel.pos(), QPoint(0, 0));
        QCOMPARE(rig.text("LblCOM"), QStringLiteral("COM3"));
        QCOMPARE(rig.panel.windowTitle(), QStringLiteral("Panel     V7.0"));
        QVERIFY(rig.session.acquisition().timer1().isActive());
        QCOMPARE(rig.session.acquisition().timer1().interval(), 150);
        QVERIFY(rig.prompts.messages.isEmpty());
    }

    void failedLoadSaysNoDevice()
    {
        Rig rig;
        rig.link.failOpen = true;
        QVERIFY(!rig.panel.load());
        QCOMPARE(rig.prompts.messages.size(), 1);
        QCOMPARE(rig.prompts.messages[0].text, QStringLiteral("No device available !"));
        QCOMPARE(rig.prompts.messages[0].icon, Prompts::Icon::Critical);
        QVERIFY(!rig.session.acquisition().timer1().isActive());
    }

    void captionToggleOnThePortLabel()
    {
        Rig rig;
        QTest::mouseClick(rig.panel.label("LblCOM"), Qt::LeftButton);
        QCOMPARE(rig.panel.windowTitle(), QStringLiteral("Panel     V7.0     080825"));
        QTest::mouseClick(rig.panel.label("LblCOM"), Qt::LeftButton);
        QCOMPARE(rig.panel.windowTitle(), QStringLiteral("Panel     V7.0"));
        rig.panel.setWindowTitle(QStringLiteral("something else"));
        QTest::mouseClick(rig.panel.label("LblCOM"), Qt::LeftButton);
        QCOMPARE(rig.panel.windowTitle(), QStringLiteral("Panel     V7.0"));
    }

    void aDecodedFrameFillsTheLabels()
    {
        Rig rig;
        QVERIFY(rig.panel.load());
        rig.frame(415, 500, 250);
        QCOMPARE(rig.text("LblAir"), QStringLiteral("415"));
        QCOMPARE(rig.text("LblRH"), QStringLiteral("50.0"));
        QCOMPARE(rig.text("LblTemperature"), QStringLiteral("25.0"));
        QCOMPARE(rig.text("LblDew"), QStringLiteral("13.8"));
        QCOMPARE(rig.text("LblWet"), QStringLiteral("18.0"));
        QCOMPARE(rig.state.Display.values().UsedF, QStringLiteral("77.0"));
        QVERIFY(rig.shown("ImaC"));
        QVERIFY(!rig.shown("ImaF"));
        QCOMPARE(rig.panel.sampleTexts(),
            (QStringList { "415", "25.0", "13.8", "18.0", "50.0", "77.0", "57.0", "64.4" }));
    }

    void unitSwitchRewritesTheTemperaturesAtOnce()
    {
        Rig rig;
        QVERIFY(rig.panel.load());
        rig.frame(415, 500, 250);
        rig.panel.switchUnit();
        QVERIFY(!rig.panel.celsiusDisplay());
        QVERIFY(rig.shown("ImaF"));
        QVERIFY(!rig.shown("ImaC"));
        QCOMPARE(rig.text("LblTemperature"), QStringLiteral(" 77.0"));
        QCOMPARE(rig.text("LblDew"), QStringLiteral(" 57.0"));
        QCOMPARE(rig.text("LblWet"), QStringLiteral(" 64.5"));
        rig.frame(415, 500, 250); // the next frame writes them in the display form again
        QCOMPARE(rig.text("LblTemperature"), QStringLiteral("77.0"));
        QCOMPARE(rig.text("LblWet"), QStringLiteral("64.4"));
        rig.panel.switchUnit();
        QCOMPARE(rig.text("LblTemperature"), QStringLiteral(" 25.0"));
    }

    void alarmsBlinkAndBeepOncePerQuantityAndFrame()
    {
        Rig rig;
        QVERIFY(rig.panel.load());
        rig.state.Alarms.TemperatureEnabled = true;
        rig.state.Alarms.Co2Enabled = true;
        rig.state.Alarms.Co2High = 1000;
        rig.frame(1500, 500, 0x4000); // temperature overload and CO2 above its limit
        QCOMPARE(rig.beeper.beeps, 2);
        QVERIFY(rig.shown("LblTOver"));
        QVERIFY(!rig.shown("LblTUnder"));
        QVERIFY(rig.shown("LblPOver"));
        rig.frame(1500, 500, 0x4000);
        QCOMPARE(rig.beeper.beeps, 4);
        QVERIFY(!rig.shown("LblTOver")); // blinking: hidden on the next frame
        QVERIFY(!rig.shown("LblPOver"));
        rig.frame(1500, 500, 0x4000);
        QVERIFY(rig.shown("LblTOver"));

        // Disabled while shown: hidden at the next frame, no more beeps for it.
        rig.state.Alarms.TemperatureEnabled = false;
        rig.state.Alarms.Co2Enabled = false;
        rig.frame(1500, 500, 0x4000);
        QVERIFY(!rig.shown("LblTOver"));
        QVERIFY(!rig.shown("LblPOver"));
        QCOMPARE(rig.beeper.beeps, 6);

        // A reading at a limit leaves both indicators hidden.
        rig.state.Alarms.HumidityEnabled = true;
        rig.frame(400, 1000, 250);
        QVERIFY(!rig.shown("LblRHOver"));
        QVERIFY(!rig.shown("LblRHUnder"));
        QCOMPARE(rig.beeper.beeps, 6);
    }

    void silenceShowsNoComAndTheFirstByteBringsThePortBack()
    {
        Rig rig;
        QVERIFY(rig.panel.load());
        QSignalSpy silent(&rig.session, &MeterSession::meterSilent);
        rig.clock.advance(150 + 8000);
        QCOMPARE(silent.count(), 1);
        QCOMPARE(rig.text("LblCOM"), QStringLiteral("No COM"));
        QVERIFY(!rig.shown("LblCOM"));
        rig.clock.advance(200);
        QVERIFY(rig.shown("LblCOM"));
        rig.link.feed("x");
        rig.clock.advance(400);
        QCOMPARE(rig.text("LblCOM"), QStringLiteral("COM3"));
        QVERIFY(rig.shown("LblCOM"));
    }

    void toolbarOffersTheShownButtonsWithTheirTooltips()
    {
        Rig rig;
        QSignalSpy commands(&rig.panel, &Panel::toolbarCommand);
        const QStringList shown { "Save", "Open", "List", "Graph", "Sample", "CF", "Alarm" };
        for (const QString& key : shown) {
            QAction* action = rig.panel.toolbarButton(key);
            QVERIFY2(action && action->isVisible(), qPrintable(key));
            action->trigger();
        }
        for (const char* key : { "Logger", "TimeSet", "Erase" })
            QVERIFY(!rig.panel.toolbarButton(key)->isVisible());
        QCOMPARE(rig.panel.toolbarButton("Save")->toolTip(), QStringLiteral("Save As"));
        QCOMPARE(rig.panel.toolbarButton("CF")->toolTip(), QStringLiteral("Cel Far"));
        QCOMPARE(commands.count(), shown.size());
        QCOMPARE(commands.at(3).at(0).toString(), QStringLiteral("Graph"));
    }
};

QTEST_MAIN(TestPanel)
#include "test_panel.moc"
