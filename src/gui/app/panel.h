#pragma once

#include "alarm/alarmquantity.h"

#include <QWidget>

#include <array>

class DisplayState;
class MeterSession;
class Prompts;
class QLabel;
class QToolBar;
class QAction;
struct ProgramState;

// The main window: the live reading with its units and OVER/UNDER indicators, the port label,
// the recording labels and the main toolbar. It shows the meter session's display state.
class Panel final : public QWidget
{
    Q_OBJECT
public:
    static QString caption() { return QStringLiteral("Panel     V7.0"); }
    static QString captionWithDate() { return QStringLiteral("Panel     V7.0     080825"); }

    Panel(ProgramState& state, MeterSession& session, Prompts& prompts, QWidget* parent = nullptr);
    ~Panel() override;

    // Places the window and starts the session (opening the port when it is not open yet). On
    // failure it says "No device available !" and returns false; the caller ends the program.
    bool load();

    // What the window shows; it follows every change.
    DisplayState& display();
    bool celsiusDisplay() const;
    // The "CF" command: flip the unit and rewrite the three temperature labels at once.
    void switchUnit();
    // The texts a sample copies: LblAir, the Celsius and Fahrenheit temperature, dew point and
    // wet bulb texts, LblRH.
    QStringList sampleTexts() const;
    QLabel* label(const char* objectName) const;
    QToolBar* toolbar() const { return m_toolbar; }
    QAction* toolbarButton(const QString& key) const;

Q_SIGNALS:
    // A shown toolbar button was pressed; key as in the toolbar ("Save", "Open", ...).
    void toolbarCommand(const QString& key);
    void closed();

protected:
    void closeEvent(class QCloseEvent* event) override;
    bool eventFilter(QObject* watched, class QEvent* event) override;

private:
    void buildLayout();
    void buildToolbar();
    void showDisplay();
    void toggleCaption();

    ProgramState& m_state;
    MeterSession& m_session;
    Prompts& m_prompts;

    QToolBar* m_toolbar = nullptr;
    QLabel* m_lblCom = nullptr;
    QLabel* m_lblAir = nullptr;
    QLabel* m_lblRh = nullptr;
    QLabel* m_lblTemperature = nullptr;
    QLabel* m_lblDew = nullptr;
    QLabel* m_lblWet = nullptr;
    QLabel* m_imaC = nullptr;
    QLabel* m_imaF = nullptr;
    std::array<QLabel*, 2> m_follows {}; // the units after the dew point and the wet bulb
    std::array<QLabel*, kAlarmQuantityCount> m_over {}; // by AlarmQuantity
    std::array<QLabel*, kAlarmQuantityCount> m_under {};
    QLabel* m_lblRec = nullptr;
    QLabel* m_lblCount = nullptr;
    QLabel* m_lblFileName = nullptr;
};
