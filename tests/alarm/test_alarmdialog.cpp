#include "alarm/alarmsettings.h"
#include "alarmdialog/alarm.h"
#include "support/fakes.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace
{

// Row letters of the box and caption names, and the check box of each row, top to bottom.
const char* const kLetters[] = { "T", "H", "D", "W", "P" };
const char* const kChecks[] = { "CkT", "CkRH", "CkD", "CkW", "CkP" };

bool SameSettings(const AlarmSettings& a, const AlarmSettings& b)
{
    return a.TemperatureEnabled == b.TemperatureEnabled && a.HumidityEnabled == b.HumidityEnabled
        && a.DewEnabled == b.DewEnabled && a.WetEnabled == b.WetEnabled
        && a.Co2Enabled == b.Co2Enabled && a.Unit == b.Unit && a.TempHighC == b.TempHighC
        && a.TempLowC == b.TempLowC && a.HumidityHigh == b.HumidityHigh
        && a.HumidityLow == b.HumidityLow && a.DewHighC == b.DewHighC && a.DewLowC == b.DewLowC
        && a.WetHighC == b.WetHighC && a.WetLowC == b.WetLowC && a.TempHighF == b.TempHighF
        && a.TempLowF == b.TempLowF && a.DewHighF == b.DewHighF && a.DewLowF == b.DewLowF
        && a.WetHighF == b.WetHighF && a.WetLowF == b.WetLowF && a.Co2High == b.Co2High
        && a.Co2Low == b.Co2Low;
}

// Settings whose Celsius and Fahrenheit pairs differ from the defaults and from each other.
AlarmSettings Distinct()
{
    AlarmSettings s;
    s.TempHighC = 30, s.TempLowC = 10, s.TempHighF = 86, s.TempLowF = 50;
    s.DewHighC = 20, s.DewLowC = 5, s.DewHighF = 68, s.DewLowF = 41;
    s.WetHighC = 25, s.WetLowC = 0, s.WetHighF = 77, s.WetLowF = 32;
    s.HumidityHigh = 70, s.HumidityLow = 30.5, s.Co2High = 1500, s.Co2Low = 350;
    return s;
}

// An open dialog on its own settings, as the toolbar leaves it: shown, then filled.
struct Opened {
    explicit Opened(const AlarmSettings& start)
        : settings(start)
    {
        dialog = new Alarm(settings, prompts);
        dialog->show();
        dialog->fill();
    }
    ~Opened() { delete dialog.data(); }

    template <typename T> T* find(const QString& name) const
    {
        T* w = dialog->findChild<T*>(name);
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    }
    QLineEdit* box(int row, bool high) const
    {
        return find<QLineEdit>(QStringLiteral("T") + kLetters[row] + (high ? "H" : "L"));
    }
    QLabel* caption(int row, bool high) const
    {
        return find<QLabel>(QStringLiteral("P") + kLetters[row] + (high ? "H" : "L"));
    }
    QCheckBox* check(int row) const { return find<QCheckBox>(kChecks[row]); }
    bool rowShown(int row) const
    {
        return box(row, true)->isVisible() && box(row, false)->isVisible()
            && caption(row, true)->isVisible() && caption(row, false)->isVisible();
    }
    bool rowHidden(int row) const
    {
        return box(row, true)->isHidden() && box(row, false)->isHidden()
            && caption(row, true)->isHidden() && caption(row, false)->isHidden();
    }
    void click(const QString& name) const
    {
        // Near the left edge, on the indicator of a check box or an option.
        QAbstractButton* button = find<QAbstractButton>(name);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }
    // Lets the window's deferred deletion run, as the event loop would.
    bool closedAndDeleted() const
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return dialog.isNull();
    }

    AlarmSettings settings;
    FakePrompts prompts;
    QPointer<Alarm> dialog;
};

} // namespace

class TestAlarmDialog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void controlsCarryTheirNamesAndCaptions()
    {
        Opened o { AlarmSettings {} };
        QCOMPARE(o.dialog->windowTitle(), QStringLiteral("Alarm"));
        QVERIFY(o.dialog->isWindow());
        QCOMPARE(o.dialog->windowModality(), Qt::NonModal);
        QCOMPARE(o.find<QGroupBox>("FFunction")->title(), QStringLiteral("Alarm Function"));
        QCOMPARE(o.find<QGroupBox>("FUnit")->title(), QStringLiteral("Alarm Unit"));
        QCOMPARE(o.find<QRadioButton>("OptC")->text(), QStringLiteral("Celsius"));
        QCOMPARE(o.find<QRadioButton>("OptF")->text(), QStringLiteral("Fahrenheit"));
        QCOMPARE(o.find<QPushButton>("CmdOK")->text(), QStringLiteral("OK"));
        const char* const captions[]
            = { "Temperature", "Humidity", "Dew", "Wet", "Carbon Dioxide (ppm)" };
        for (int row = 0; row < 5; ++row) {
            QCOMPARE(o.check(row)->text(), QString::fromLatin1(captions[row]));
            QCOMPARE(o.caption(row, true)->text(), QStringLiteral("High"));
            QCOMPARE(o.caption(row, false)->text(), QStringLiteral("Low"));
        }
    }

    void fillShowsTheStoredState_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<int>("enabledMask");
        QTest::addColumn<QStringList>("texts");
        const QStringList celsius { "30", "10", "70", "30.5", "20", "5", "25", "0", "1500", "350" };
        const QStringList fahrenheit { "86", "50", "70", "30.5", "68", "41", "77", "32", "1500",
            "350" };
        QTest::newRow("C, all off") << "C" << 0 << celsius;
        QTest::newRow("C, temperature and CO2") << "C" << 0b10001 << celsius;
        QTest::newRow("F, all on") << "F" << 0b11111 << fahrenheit;
        QTest::newRow("F, RH dew wet") << "F" << 0b01110 << fahrenheit;
    }
    void fillShowsTheStoredState()
    {
        QFETCH(QString, unit);
        QFETCH(int, enabledMask);
        QFETCH(QStringList, texts);
        AlarmSettings s = Distinct();
        s.Unit = unit;
        s.TemperatureEnabled = enabledMask & 1;
        s.HumidityEnabled = enabledMask & 2;
        s.DewEnabled = enabledMask & 4;
        s.WetEnabled = enabledMask & 8;
        s.Co2Enabled = enabledMask & 16;
        Opened o { s };
        QCOMPARE(o.find<QRadioButton>("OptC")->isChecked(), unit == "C");
        QCOMPARE(o.find<QRadioButton>("OptF")->isChecked(), unit == "F");
        for (int row = 0; row < 5; ++row) {
            const bool on = enabledMask & (1 << row);
            QCOMPARE(o.check(row)->isChecked(), on);
            QVERIFY2(on ? o.rowShown(row) : o.rowHidden(row), kChecks[row]);
            // Hidden boxes are filled too.
            QCOMPARE(o.box(row, true)->text(), texts[2 * row]);
            QCOMPARE(o.box(row, false)->text(), texts[2 * row + 1]);
        }
        QVERIFY(SameSettings(o.settings, s));
    }

    void checkBoxSwitchesAndLoadsItsRow_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("high");
        QTest::addColumn<QString>("low");
        QTest::newRow("temperature C") << 0 << "C"
                                       << "30"
                                       << "10";
        QTest::newRow("temperature F") << 0 << "F"
                                       << "86"
                                       << "50";
        QTest::newRow("RH") << 1 << "F"
                            << "70"
                            << "30.5";
        QTest::newRow("dew C") << 2 << "C"
                               << "20"
                               << "5";
        QTest::newRow("dew F") << 2 << "F"
                               << "68"
                               << "41";
        QTest::newRow("wet F") << 3 << "F"
                               << "77"
                               << "32";
        QTest::newRow("CO2") << 4 << "C"
                             << "1500"
                             << "350";
    }
    void checkBoxSwitchesAndLoadsItsRow()
    {
        QFETCH(int, row);
        QFETCH(QString, unit);
        QFETCH(QString, high);
        QFETCH(QString, low);
        AlarmSettings s = Distinct();
        s.Unit = unit;
        Opened o { s };
        QVERIFY(o.rowHidden(row));
        o.box(row, true)->setText(QStringLiteral("999"));
        o.box(row, false)->setText(QString());

        o.click(kChecks[row]);
        QVERIFY(EnabledFlag(o.settings, kLimitQuantities[row]));
        QVERIFY(o.rowShown(row));
        QCOMPARE(o.box(row, true)->text(), high);
        QCOMPARE(o.box(row, false)->text(), low);
        for (int other = 0; other < 5; ++other) {
            if (other != row)
                QVERIFY(o.rowHidden(other) && !EnabledFlag(o.settings, kLimitQuantities[other]));
        }

        o.box(row, true)->setText(QStringLiteral("12345"));
        o.click(kChecks[row]);
        QVERIFY(!EnabledFlag(o.settings, kLimitQuantities[row]));
        QVERIFY(o.rowHidden(row));
        QCOMPARE(o.box(row, true)->text(), QStringLiteral("12345"));
        // The limits themselves wait for OK.
        AlarmSettings expected = s;
        QVERIFY(SameSettings(o.settings, expected));
    }

    void unitSwitchClearsSwitchesAtOnce_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("option");
        QTest::newRow("C to F") << "C"
                                << "OptF";
        QTest::newRow("F to C") << "F"
                                << "OptC";
        // A click on the option that is already selected clears the switches as well.
        QTest::newRow("C again") << "C"
                                 << "OptC";
        QTest::newRow("F again") << "F"
                                 << "OptF";
    }
    void unitSwitchClearsSwitchesAtOnce()
    {
        QFETCH(QString, from);
        QFETCH(QString, option);
        AlarmSettings s = Distinct();
        s.Unit = from;
        for (AlarmQuantity q : kLimitQuantities)
            EnabledFlag(s, q) = true;
        Opened o { s };

        o.click(option);
        QCOMPARE(o.settings.Unit, option == "OptF" ? QStringLiteral("F") : QStringLiteral("C"));
        QVERIFY(!o.settings.TemperatureEnabled);
        QVERIFY(!o.settings.HumidityEnabled);
        QVERIFY(!o.settings.DewEnabled);
        QVERIFY(!o.settings.WetEnabled);
        QVERIFY(o.settings.Co2Enabled);
        for (int row = 0; row < 4; ++row) {
            QVERIFY(!o.check(row)->isChecked());
            QVERIFY(o.rowHidden(row));
        }
        QVERIFY(o.check(4)->isChecked());
        QVERIFY(o.rowShown(4));

        // Checking a quantity again loads the stored limits of the new unit.
        o.click("CkT");
        QCOMPARE(
            o.box(0, true)->text(), option == "OptF" ? QStringLiteral("86") : QStringLiteral("30"));
    }

    void okAfterUnitSwitchStoresTheHiddenNumbersInTheNewUnit()
    {
        AlarmSettings s; // Celsius 60 / -20 everywhere
        s.TemperatureEnabled = s.DewEnabled = s.WetEnabled = true;
        Opened o { s };
        o.click("OptF");
        QCOMPARE(o.box(0, true)->text(), QStringLiteral("60"));
        o.click("CmdOK");
        QVERIFY(o.prompts.messages.isEmpty());
        QCOMPARE(o.settings.Unit, QStringLiteral("F"));
        for (const auto& [highF, lowF, highC, lowC] :
            { std::tie(o.settings.TempHighF, o.settings.TempLowF, o.settings.TempHighC,
                  o.settings.TempLowC),
                std::tie(o.settings.DewHighF, o.settings.DewLowF, o.settings.DewHighC,
                    o.settings.DewLowC),
                std::tie(o.settings.WetHighF, o.settings.WetLowF, o.settings.WetHighC,
                    o.settings.WetLowC) }) {
            QCOMPARE(highF, 60.0);
            QCOMPARE(lowF, -20.0);
            QCOMPARE(highC, 15.5); // (60 - 32) / 1.8 = 15.55...
            QCOMPARE(lowC, -28.9); // (-20 - 32) / 1.8 = -28.88...
        }
        QVERIFY(!o.settings.TemperatureEnabled);
        QVERIFY(o.closedAndDeleted());
    }

    void okRejectsAndKeepsEverything_data()
    {
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        for (bool shown : { true, false }) {
            const char* how = shown ? "shown" : "hidden";
            QTest::addRow("temperature low equal to high, %s", how) << shown << "TTL"
                                                                    << "60";
            QTest::addRow("RH high equal to low, %s", how) << shown << "THH"
                                                           << "0";
            QTest::addRow("dew low above high, %s", how) << shown << "TDL"
                                                         << "61";
            QTest::addRow("wet low equal to high, %s", how) << shown << "TWL"
                                                            << "60.0";
            QTest::addRow("CO2 low equal to high, %s", how) << shown << "TPL"
                                                            << "6000";
            QTest::addRow("empty temperature high, %s", how) << shown << "TTH"
                                                             << "";
            QTest::addRow("empty CO2 low, %s", how) << shown << "TPL"
                                                    << "";
            QTest::addRow("empty wet high, %s", how) << shown << "TWH"
                                                     << "";
        }
    }
    void okRejectsAndKeepsEverything()
    {
        QFETCH(bool, shown);
        QFETCH(QString, name);
        QFETCH(QString, text);
        AlarmSettings s;
        for (AlarmQuantity q : kLimitQuantities)
            EnabledFlag(s, q) = shown;
        Opened o { s };
        auto* box = o.find<QLineEdit>(name);
        QCOMPARE(box->isVisible(), shown);
        box->setText(text);
        o.click("CmdOK");
        QCOMPARE(o.prompts.messages.size(), 1);
        QCOMPARE(o.prompts.messages[0].icon, Prompts::Icon::Critical);
        QCOMPARE(o.prompts.messages[0].text, QStringLiteral("Invalid settings, try again!"));
        QVERIFY(SameSettings(o.settings, s));
        QVERIFY(!o.closedAndDeleted());
        QVERIFY(o.dialog->isVisible());

        // Filled again with the stored limits, the next OK goes through.
        o.dialog->fill();
        o.click("CmdOK");
        QCOMPARE(o.prompts.messages.size(), 1);
        QVERIFY(o.closedAndDeleted());
    }

    void okStoresTheTypedLimits()
    {
        AlarmSettings s;
        s.HumidityEnabled = s.Co2Enabled = s.WetEnabled = true;
        Opened o { s };
        o.box(1, true)->setText(QStringLiteral("85.5"));
        o.box(1, false)->setText(QStringLiteral("15"));
        o.box(4, true)->setText(QStringLiteral("2500"));
        o.box(3, true)->setText(QStringLiteral("37.5"));
        o.box(3, false)->setText(QStringLiteral("-17.8"));
        o.click("CmdOK");
        QVERIFY(o.prompts.messages.isEmpty());
        QCOMPARE(o.settings.HumidityHigh, 85.5);
        QCOMPARE(o.settings.HumidityLow, 15.0);
        QCOMPARE(o.settings.Co2High, 2500.0);
        QCOMPARE(o.settings.Co2Low, 0.0);
        QCOMPARE(o.settings.WetHighC, 37.5);
        QCOMPARE(o.settings.WetHighF, 99.5);
        QCOMPARE(o.settings.WetLowF, -0.1);
        QCOMPARE(o.settings.TempHighF, 140.0);
        QVERIFY(o.settings.HumidityEnabled && o.settings.Co2Enabled && o.settings.WetEnabled);
        QVERIFY(o.closedAndDeleted());
    }

    void closingOtherwiseKeepsSwitchesAndDropsLimits()
    {
        AlarmSettings s;
        Opened o { s };
        o.click("CkP");
        o.click("OptF");
        o.box(4, true)->setText(QStringLiteral("999"));
        o.dialog->close();
        QVERIFY(o.closedAndDeleted());
        QVERIFY(o.settings.Co2Enabled);
        QCOMPARE(o.settings.Unit, QStringLiteral("F"));
        QCOMPARE(o.settings.Co2High, 6000.0);
    }

    void fillAgainDropsEditsWhileOpen()
    {
        AlarmSettings s;
        s.Co2Enabled = true;
        Opened o { s };
        o.box(4, true)->setText(QStringLiteral("999"));
        o.dialog->fill();
        QCOMPARE(o.box(4, true)->text(), QStringLiteral("6000"));
    }

    void keyFilter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("letter and comma dropped") << "12a,3"
                                                  << "123";
        QTest::newRow("sign and point kept") << "-1.5"
                                             << "-1.5";
        QTest::newRow("exponent and blank dropped") << "1e 5"
                                                    << "15";
        QTest::newRow("plus dropped") << "+7"
                                      << "7";
    }
    void keyFilter()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        AlarmSettings s;
        s.TemperatureEnabled = true;
        Opened o { s };
        QLineEdit* box = o.box(0, true);
        box->clear();
        QTest::keyClicks(box, typed);
        QCOMPARE(box->text(), expected);
    }

    void editingKeysStillWork()
    {
        AlarmSettings s;
        s.Co2Enabled = true;
        Opened o { s };
        QLineEdit* box = o.box(4, true);
        box->clear();
        QTest::keyClicks(box, QStringLiteral("1234"));
        QTest::keyClick(box, Qt::Key_Left);
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->text(), QStringLiteral("124"));
        QTest::keyClick(box, Qt::Key_Home);
        QTest::keyClick(box, Qt::Key_Delete);
        QCOMPARE(box->text(), QStringLiteral("24"));
        QTest::keyClick(box, Qt::Key_End);
        QTest::keyClick(box, Qt::Key_Home, Qt::ShiftModifier);
        QCOMPARE(box->selectedText(), QStringLiteral("24"));
        QTest::keyClicks(box, QStringLiteral("9"));
        QCOMPARE(box->text(), QStringLiteral("9"));
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(box->selectedText(), QStringLiteral("9"));
        QTest::keyClick(box, Qt::Key_Comma);
        QCOMPARE(box->text(), QStringLiteral("9"));
    }

    void tabMovesBetweenBoxes()
    {
        AlarmSettings s;
        s.TemperatureEnabled = true;
        Opened o { s };
        o.dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(o.dialog));
        o.box(0, true)->setFocus();
        QVERIFY(o.box(0, true)->hasFocus());
        QTest::keyClick(o.box(0, true), Qt::Key_Tab);
        QVERIFY(o.box(0, false)->hasFocus());
    }
};

QTEST_MAIN(TestAlarmDialog)
#include "test_alarmdialog.moc"
