#include "alarm.h"

#include "alarm/alarmsettings.h"
#include "desktop/prompts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QValidator>

namespace
{

// Drops every typed or pasted character other than digits, "-" and ".". Editing keys
// (Backspace, Delete, arrows, Tab, selection) never insert text and so keep working.
class LimitBoxValidator final : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        return LimitTextAllowed(input) ? Acceptable : Invalid;
    }
};

void KeepPlaceWhenHidden(QWidget* widget)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

} // namespace

Alarm::Alarm(AlarmSettings& settings, Prompts& prompts, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_settings(settings)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("Alarm"));
    setWindowTitle(QStringLiteral("Alarm"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* function = new QGroupBox(QStringLiteral("Alarm Function"), this);
    function->setObjectName(QStringLiteral("FFunction"));
    auto* grid = new QGridLayout(function);
    grid->setHorizontalSpacing(8);
    grid->setColumnStretch(0, 1);
    buildRow(
        function, 0, QStringLiteral("CkT"), QStringLiteral("Temperature"), QStringLiteral("T"));
    buildRow(function, 1, QStringLiteral("CkRH"), QStringLiteral("Humidity"), QStringLiteral("H"));
    buildRow(function, 2, QStringLiteral("CkD"), QStringLiteral("Dew"), QStringLiteral("D"));
    buildRow(function, 3, QStringLiteral("CkW"), QStringLiteral("Wet"), QStringLiteral("W"));
    buildRow(function, 4, QStringLiteral("CkP"), QStringLiteral("Carbon Dioxide (ppm)"),
        QStringLiteral("P"));
    for (int i = 0; i < kAlarmQuantityCount; ++i) {
        const Row& row = m_rows[i];
        grid->addWidget(row.check, i, 0);
        grid->addWidget(row.highCaption, i, 1);
        grid->addWidget(row.high, i, 2);
        grid->addWidget(row.lowCaption, i, 3);
        grid->addWidget(row.low, i, 4);
    }

    auto* unit = new QGroupBox(QStringLiteral("Alarm Unit"), this);
    unit->setObjectName(QStringLiteral("FUnit"));
    m_celsius = new QRadioButton(QStringLiteral("Celsius"), unit);
    m_celsius->setObjectName(QStringLiteral("OptC"));
    m_celsius->setChecked(true);
    m_fahrenheit = new QRadioButton(QStringLiteral("Fahrenheit"), unit);
    m_fahrenheit->setObjectName(QStringLiteral("OptF"));
    auto* unitLayout = new QHBoxLayout(unit);
    unitLayout->addWidget(m_celsius);
    unitLayout->addWidget(m_fahrenheit);
    unitLayout->addStretch();

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("CmdOK"));
    ok->setMinimumWidth(90);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(unit, 1);
    bottom->addSpacing(16);
    bottom->addWidget(ok, 0, Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(function);
    layout->addLayout(bottom);

    for (int i = 0; i < kAlarmQuantityCount; ++i) {
        connect(m_rows[i].check, &QCheckBox::clicked, this,
            [this, i](bool on) { switchClicked(i, on); });
    }
    connect(m_celsius, &QRadioButton::clicked, this, [this] { unitClicked(QStringLiteral("C")); });
    connect(
        m_fahrenheit, &QRadioButton::clicked, this, [this] { unitClicked(QStringLiteral("F")); });
    connect(ok, &QPushButton::clicked, this, &Alarm::confirm);

    // The design state: every switch clear, so no limit box shown until the fill.
    for (int i = 0; i < kAlarmQuantityCount; ++i)
        showRow(i, false);
}

void Alarm::buildRow(QWidget* frame, int index, const QString& checkName, const QString& caption,
    const QString& letter)
{
    Row& row = m_rows[index];
    row.check = new QCheckBox(caption, frame);
    row.check->setObjectName(checkName);

    const auto makeBox = [&](const QString& end, const QString& side) {
        auto* box = new QLineEdit(frame);
        box->setObjectName(QStringLiteral("T") + letter + end);
        box->setValidator(new LimitBoxValidator(box));
        box->setAccessibleName(caption + QStringLiteral(" ") + side + QStringLiteral(" limit"));
        box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("-00000.00")));
        box->setMaximumWidth(box->minimumWidth() * 3 / 2);
        KeepPlaceWhenHidden(box);
        return box;
    };
    const auto makeCaption = [&](const QString& end, const QString& text, QLineEdit* box) {
        auto* label = new QLabel(text, frame);
        label->setObjectName(QStringLiteral("P") + letter + end);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setBuddy(box);
        KeepPlaceWhenHidden(label);
        return label;
    };
    row.high = makeBox(QStringLiteral("H"), QStringLiteral("high"));
    row.low = makeBox(QStringLiteral("L"), QStringLiteral("low"));
    row.highCaption = makeCaption(QStringLiteral("H"), QStringLiteral("High"), row.high);
    row.lowCaption = makeCaption(QStringLiteral("L"), QStringLiteral("Low"), row.low);
}

void Alarm::fill()
{
    const LimitTexts texts = ShownLimitTexts(m_settings);
    const bool fahrenheit = FahrenheitUnit(m_settings);
    m_celsius->setChecked(!fahrenheit);
    m_fahrenheit->setChecked(fahrenheit);
    for (int i = 0; i < kAlarmQuantityCount; ++i) {
        m_rows[i].high->setText(texts[i].high);
        m_rows[i].low->setText(texts[i].low);
        const bool on = EnabledFlag(m_settings, kLimitQuantities[i]);
        showRow(i, on);
        m_rows[i].check->setChecked(on);
    }
}

void Alarm::showRow(int index, bool shown)
{
    const Row& row = m_rows[index];
    for (QWidget* w : { static_cast<QWidget*>(row.high), static_cast<QWidget*>(row.low),
             static_cast<QWidget*>(row.highCaption), static_cast<QWidget*>(row.lowCaption) })
        w->setVisible(shown);
}

void Alarm::loadRow(int index)
{
    const LimitPair pair = ShownLimits(m_settings, kLimitQuantities[index]);
    m_rows[index].high->setText(LimitText(pair.high));
    m_rows[index].low->setText(LimitText(pair.low));
}

void Alarm::switchClicked(int index, bool on)
{
    EnabledFlag(m_settings, kLimitQuantities[index]) = on;
    showRow(index, on);
    if (on)
        loadRow(index);
}

void Alarm::unitClicked(const QString& unit)
{
    // Also a click on the option already selected: it clears the switches all the same.
    SwitchAlarmUnit(m_settings, unit);
    for (int i = 0; i < kAlarmQuantityCount; ++i) {
        if (kLimitQuantities[i] == AlarmQuantity::Co2)
            continue;
        m_rows[i].check->setChecked(false);
        showRow(i, false);
    }
}

void Alarm::confirm()
{
    LimitTexts texts;
    for (int i = 0; i < kAlarmQuantityCount; ++i)
        texts[i] = { m_rows[i].high->text(), m_rows[i].low->text() };
    if (!LimitTextsValid(texts)) {
        m_prompts.message(
            this, Prompts::Icon::Critical, QStringLiteral("Invalid settings, try again!"));
        return;
    }
    StoreLimits(m_settings, texts);
    close();
}
