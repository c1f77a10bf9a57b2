#pragma once

#include "rangeentry.h"

#include <QHash>
#include <QWidget>

class Prompts;
class QGridLayout;
class QLineEdit;
class QRadioButton;
class QPushButton;

// What the two range dialogs share: the temperature frame with its unit options, the RH% and
// CO2 frames, the key filters of the boxes, the refill from the settings whenever the dialog
// is resized (so when it is first shown), and OK, which checks and stores the entries, shows
// the message of a refused group or announces applied() and closes.
class RangeDialog : public QWidget
{
    Q_OBJECT
public:
    QLineEdit* box(const char* objectName) const;

Q_SIGNALS:
    // OK stored every group; the opener reopens the graph with the new ranges.
    void applied();

protected:
    RangeDialog(
        ScaleLimits& limits, Prompts& prompts, const QString& co2FrameName, QWidget* parent);

    // Boxes and the layout row subclasses add their own group to.
    QLineEdit* addBox(QWidget* parent, const char* objectName, KeyFilter filter);
    QGridLayout* grid() const { return m_grid; }
    QRadioButton* celsiusOption() const { return m_celsius; }
    RangeEntries entries() const;
    void setFilter(QLineEdit* box, KeyFilter filter);
    // Refills every box from the settings.
    virtual void fill();
    // Checks and stores the entries; the message of the refused group, or empty.
    virtual QString apply(const RangeEntries& entries) = 0;
    // The group below the three frames (Counts, or From and To) and the OK button.
    void finishLayout(QWidget* extraGroup);

    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showTemperaturePair(bool celsius);
    void confirm();

    ScaleLimits& m_limits;
    Prompts& m_prompts;
    QGridLayout* m_grid = nullptr;
    QRadioButton* m_celsius = nullptr;
    QRadioButton* m_fahrenheit = nullptr;
    QPushButton* m_ok = nullptr;
    QHash<QObject*, KeyFilter> m_filters;
};
