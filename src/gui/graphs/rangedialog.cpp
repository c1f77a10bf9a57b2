#include "rangedialog.h"

#include "desktop/prompts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace
{

// A titled frame holding one group of boxes.
QGroupBox* MakePairFrame(const QString& name, const QString& title)
{
    auto* frame = new QGroupBox(title);
    frame->setObjectName(name);
    return frame;
}

} // namespace

RangeDialog::RangeDialog(
    ScaleLimits& limits, Prompts& prompts, const QString& co2FrameName, QWidget* parent)
    : QWidget(parent)
    , m_limits(limits)
    , m_prompts(prompts)
{
    setAttribute(Qt::WA_DeleteOnClose);
    m_grid = new QGridLayout(this);
    m_grid->setSizeConstraint(QLayout::SetFixedSize);

    QGroupBox* temperature
        = MakePairFrame(QStringLiteral("SSFrame1"), QStringLiteral("Temperature"));
    auto* temperatureLayout = new QGridLayout(temperature);
    m_celsius = new QRadioButton(QStringLiteral("Celsius"), temperature);
    m_celsius->setObjectName(QStringLiteral("COpt"));
    m_fahrenheit = new QRadioButton(QStringLiteral("Fahrenheit"), temperature);
    m_fahrenheit->setObjectName(QStringLiteral("FOpt"));
    temperatureLayout->addWidget(m_celsius, 0, 0, 1, 2);
    temperatureLayout->addWidget(m_fahrenheit, 1, 0, 1, 2);
    temperatureLayout->addWidget(new QLabel(QStringLiteral("Max"), temperature), 2, 0);
    temperatureLayout->addWidget(addBox(temperature, "TxtMax", KeyFilter::SignedDecimal), 2, 1);
    temperatureLayout->addWidget(new QLabel(QStringLiteral("Min"), temperature), 3, 0);
    temperatureLayout->addWidget(addBox(temperature, "TxtMin", KeyFilter::SignedDecimal), 3, 1);
    connect(m_celsius, &QRadioButton::clicked, this, [this] { showTemperaturePair(true); });
    connect(m_fahrenheit, &QRadioButton::clicked, this, [this] { showTemperaturePair(false); });

    QGroupBox* humidity = MakePairFrame(QStringLiteral("SSFrame2"), QStringLiteral("RH%"));
    auto* humidityLayout = new QGridLayout(humidity);
    humidityLayout->addWidget(new QLabel(QStringLiteral("Max"), humidity), 0, 0);
    humidityLayout->addWidget(addBox(humidity, "TxtMaxR", KeyFilter::SignedDecimal), 0, 1);
    humidityLayout->addWidget(new QLabel(QStringLiteral("Min"), humidity), 1, 0);
    humidityLayout->addWidget(addBox(humidity, "TxtMinR", KeyFilter::SignedDecimal), 1, 1);

    QGroupBox* co2 = MakePairFrame(co2FrameName, QStringLiteral("CO2 ppm"));
    auto* co2Layout = new QGridLayout(co2);
    co2Layout->addWidget(new QLabel(QStringLiteral("Max"), co2), 0, 0);
    co2Layout->addWidget(addBox(co2, "TxtMaxCO2", KeyFilter::SignedDecimal), 0, 1);
    co2Layout->addWidget(new QLabel(QStringLiteral("Min"), co2), 1, 0);
    co2Layout->addWidget(addBox(co2, "TxtMinCO2", KeyFilter::SignedDecimal), 1, 1);

    m_grid->addWidget(temperature, 0, 0, 2, 1);
    m_grid->addWidget(humidity, 0, 1);
    m_grid->addWidget(co2, 1, 1);

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("CmdOK"));
    connect(m_ok, &QPushButton::clicked, this, &RangeDialog::confirm);
}

void RangeDialog::finishLayout(QWidget* extraGroup)
{
    m_grid->addWidget(extraGroup, 2, 0);
    m_grid->addWidget(m_ok, 2, 1, Qt::AlignRight | Qt::AlignBottom);
}

QLineEdit* RangeDialog::addBox(QWidget* parent, const char* objectName, KeyFilter filter)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(objectName));
    edit->setMaximumWidth(80);
    setFilter(edit, filter);
    edit->installEventFilter(this);
    return edit;
}

void RangeDialog::setFilter(QLineEdit* box, KeyFilter filter)
{
    m_filters.insert(box, filter);
}

QLineEdit* RangeDialog::box(const char* objectName) const
{
    return findChild<QLineEdit*>(QString::fromLatin1(objectName));
}

bool RangeDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !m_filters.contains(watched))
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    // Keys that type nothing (arrows, Delete, Tab) are not filtered.
    if (key->text().isEmpty() || key->key() == Qt::Key_Delete || key->key() == Qt::Key_Tab
        || key->key() == Qt::Key_Backtab)
        return false;
    const KeyFilter filter = m_filters.value(watched);
    for (QChar c : key->text()) {
        if (!KeyAccepted(filter, c))
            return true;
    }
    return false;
}

RangeEntries RangeDialog::entries() const
{
    RangeEntries e;
    e.celsius = m_celsius->isChecked();
    e.max = box("TxtMax")->text();
    e.min = box("TxtMin")->text();
    e.maxR = box("TxtMaxR")->text();
    e.minR = box("TxtMinR")->text();
    e.maxCo2 = box("TxtMaxCO2")->text();
    e.minCo2 = box("TxtMinCO2")->text();
    return e;
}

void RangeDialog::showTemperaturePair(bool celsius)
{
    // The option buttons share a parent, so checking one clears the other.
    box("TxtMax")->setText(BoxText(celsius ? m_limits.TempMaxC : m_limits.TempMaxF));
    box("TxtMin")->setText(BoxText(celsius ? m_limits.TempMinC : m_limits.TempMinF));
}

void RangeDialog::fill()
{
    showTemperaturePair(m_celsius->isChecked());
    box("TxtMaxR")->setText(BoxText(m_limits.RHMax));
    box("TxtMinR")->setText(BoxText(m_limits.RHMin));
    box("TxtMaxCO2")->setText(BoxText(m_limits.CO2Max));
    box("TxtMinCO2")->setText(BoxText(m_limits.CO2Min));
}

void RangeDialog::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fill();
}

void RangeDialog::confirm()
{
    const QString message = apply(entries());
    if (!message.isEmpty()) {
        m_prompts.message(this, Prompts::Icon::Critical, message);
        return;
    }
    Q_EMIT applied();
    close();
}
