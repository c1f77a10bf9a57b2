#pragma once

#include "alarm/alarmlimits.h"

#include <QWidget>

#include <array>

class Prompts;
class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

struct AlarmSettings;

// The alarm limits dialog: a switch and a High and a Low limit box per quantity, and the unit
// of the temperature-like limits. Switches and the unit act on the settings at once; the
// limits are stored only by OK, after they pass the check. The window deletes itself when it
// is closed; the opener shows it and then calls fill().
class Alarm final : public QWidget
{
    Q_OBJECT
public:
    explicit Alarm(AlarmSettings& settings, Prompts& prompts, QWidget* parent = nullptr);

    // Brings the controls to the stored settings; also called when opened again while open.
    void fill();

private:
    struct Row {
        QCheckBox* check = nullptr;
        QLineEdit* high = nullptr;
        QLineEdit* low = nullptr;
        QLabel* highCaption = nullptr;
        QLabel* lowCaption = nullptr;
    };

    // A quantity's check box, its High and Low boxes ("T" + letter + "H"/"L") and their
    // captions ("P" + letter + "H"/"L").
    void buildRow(QWidget* frame, int index, const QString& checkName, const QString& caption,
        const QString& letter);
    void showRow(int index, bool shown);
    void loadRow(int index);
    void switchClicked(int index, bool on);
    void unitClicked(const QString& unit);
    void confirm();

    AlarmSettings& m_settings;
    Prompts& m_prompts;
    std::array<Row, kAlarmQuantityCount> m_rows {};
    QRadioButton* m_celsius = nullptr;
    QRadioButton* m_fahrenheit = nullptr;
};
