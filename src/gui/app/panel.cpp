#include "panel.h"

#include "acquisition/metersession.h"
#include "desktop/prompts.h"
#include "programstate.h"

#include <QAction>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QToolBar>
#include <QVBoxLayout>

namespace
{

struct ToolbarButton {
    const char* key;
    const char* tooltip;
    const char* text;
    bool shown;
};

// The main toolbar's buttons in their order; "Logger", "TimeSet" and "Erase" have no command.
// The first button takes the look of "Stop" while recording (the toolbar commands give it).
constexpr ToolbarButton kToolbarButtons[] = {
    { "Save", "Save As", "Save", true },
    { "Open", "Open File", "Open", true },
    { "List", "List Display", "List", true },
    { "Graph", "Graphic Display", "Graph", true },
    { "Sample", "PC Sampling", "Sample", true },
    { "CF", "Cel Far",
        "\xC2\xB0"
        "C/\xC2\xB0"
        "F",
        true },
    { "Logger", "Data Logger", "Logger", false },
    { "TimeSet", "Set Meter Time to System Time", "Time", false },
    { "Alarm", "Alarm", "Alarm", true },
    { "Erase", "Erase Data Logger", "Erase", false },
};

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

void SetTextColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

void SetPointSize(QLabel* label, int points, bool bold = false)
{
    QFont font = label->font();
    font.setPointSize(points);
    font.setBold(bold);
    label->setFont(font);
}

// "OVER" or "UNDER": light-yellow text on red, hidden until its quantity is in alarm; it keeps
// its place when hidden so the panel does not jump as it blinks.
QLabel* MakeIndicator(QWidget* parent, const QString& name, const char* caption)
{
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, QColor(255, 0, 0));
    palette.setColor(QPalette::WindowText, QColor(255, 255, 128));
    label->setPalette(palette);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->setMinimumWidth(56);
    QSizePolicy policy = label->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    label->setSizePolicy(policy);
    label->hide();
    return label;
}

// The part of an indicator's name that tells its quantity: LblTOver, LblRHOver, LblDOver, ...
const char* IndicatorPrefix(AlarmQuantity quantity)
{
    switch (quantity) {
    case AlarmQuantity::Temperature:
        return "T";
    case AlarmQuantity::Humidity:
        return "RH";
    case AlarmQuantity::Dew:
        return "D";
    case AlarmQuantity::Wet:
        return "W";
    case AlarmQuantity::Co2:
        break;
    }
    return "P";
}

// A caption with a subscript "2" after its first part, as in CO2.
QWidget* SubscriptCaption(QWidget* parent, QLabel* main, QLabel* subscript, const QString& after)
{
    auto* box = new QWidget(parent);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    main->setParent(box);
    subscript->setParent(box);
    QFont small = subscript->font();
    small.setPointSizeF(main->font().pointSizeF() * 0.65);
    subscript->setFont(small);
    row->addWidget(main, 0, Qt::AlignBottom);
    row->addWidget(subscript, 0, Qt::AlignBottom);
    if (!after.isEmpty()) {
        auto* rest = new QLabel(after, box);
        rest->setFont(main->font());
        row->addWidget(rest, 0, Qt::AlignBottom);
    }
    row->addStretch();
    return box;
}

} // namespace

Panel::Panel(ProgramState& state, MeterSession& session, Prompts& prompts, QWidget* parent)
    : QWidget(parent)
    , m_state(state)
    , m_session(session)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("Panel"));
    setWindowTitle(caption());
    buildToolbar();
    buildLayout();
    showDisplay();

    connect(&state.Display, &DisplayState::changed, this, &Panel::showDisplay);
}

Panel::~Panel() = default;

DisplayState& Panel::display()
{
    return m_state.Display;
}

void Panel::buildToolbar()
{
    m_toolbar = new QToolBar(this);
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolbar->setMovable(false);
    for (const ToolbarButton& button : kToolbarButtons) {
        const QString key = QString::fromLatin1(button.key);
        auto* action = m_toolbar->addAction(QString::fromUtf8(button.text));
        action->setObjectName(key);
        action->setToolTip(QString::fromLatin1(button.tooltip));
        action->setVisible(button.shown);
        connect(action, &QAction::triggered, this, [this, key] { Q_EMIT toolbarCommand(key); });
    }
}

QAction* Panel::toolbarButton(const QString& key) const
{
    return m_toolbar->findChild<QAction*>(key, Qt::FindDirectChildrenOnly);
}

void Panel::buildLayout()
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(m_toolbar);

    auto* body = new QWidget(this);
    outer->addWidget(body, 1);
    auto* grid = new QGridLayout(body);
    grid->setContentsMargins(16, 10, 16, 10);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);

    // Title and port label.
    auto* meterName = MakeLabel(body, "MeterName", QStringLiteral("NDIR CO"));
    auto* meterSub = MakeLabel(body, "Label2", QStringLiteral("2"));
    SetPointSize(meterName, 13, true);
    meterSub->setFont(meterName->font());
    grid->addWidget(
        SubscriptCaption(body, meterName, meterSub, QStringLiteral(" Meter")), 0, 0, 1, 3);
    meterName->setAccessibleName(QStringLiteral("NDIR CO   Meter"));

    m_lblCom = MakeLabel(body, "LblCOM", QStringLiteral("No COM"));
    m_lblCom->setAutoFillBackground(true);
    QPalette comPalette = m_lblCom->palette();
    comPalette.setColor(QPalette::Window, QColor(0, 96, 0));
    comPalette.setColor(QPalette::WindowText, Qt::white);
    m_lblCom->setPalette(comPalette);
    m_lblCom->setAlignment(Qt::AlignCenter);
    m_lblCom->setMinimumWidth(72);
    m_lblCom->setToolTip(QStringLiteral("Serial port"));
    QSizePolicy comPolicy = m_lblCom->sizePolicy();
    comPolicy.setRetainSizeWhenHidden(true);
    m_lblCom->setSizePolicy(comPolicy);
    m_lblCom->installEventFilter(this);
    grid->addWidget(m_lblCom, 0, 3);

    // CO2: the largest figure of the panel.
    auto* unitCo = MakeLabel(body, "UnitCO", QStringLiteral("CO"));
    auto* unit2 = MakeLabel(body, "Unit2", QStringLiteral("2"));
    SetPointSize(unitCo, 16, true);
    unit2->setFont(unitCo->font());
    grid->addWidget(SubscriptCaption(body, unitCo, unit2, QString()), 1, 0, Qt::AlignVCenter);
    m_lblAir = MakeLabel(body, "LblAir", QString());
    SetPointSize(m_lblAir, 40, true);
    SetTextColour(m_lblAir, Qt::black);
    m_lblAir->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_lblAir->setMinimumWidth(200);
    m_lblAir->setAccessibleDescription(QStringLiteral("CO2 in ppm"));
    grid->addWidget(m_lblAir, 1, 1);
    auto* ppm = MakeLabel(body, "Unitppm", QStringLiteral("ppm"));
    SetPointSize(ppm, 16);
    grid->addWidget(ppm, 1, 2, Qt::AlignBottom);

    // The other four quantities, each with its value, unit and indicators.
    auto valueLabel = [&](const char* name, const QColor& colour, const char* description) {
        QLabel* label = MakeLabel(body, name, QString());
        SetPointSize(label, 24, true);
        SetTextColour(label, colour);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setAccessibleDescription(QString::fromLatin1(description));
        return label;
    };
    const QColor blue(0, 0, 255);
    const QColor red(255, 0, 0);
    m_lblTemperature = valueLabel("LblTemperature", blue, "Temperature");
    m_lblRh = valueLabel("LblRH", blue, "Relative humidity");
    m_lblDew = valueLabel("LblDew", red, "Dew point");
    m_lblWet = valueLabel("LblWet", red, "Wet bulb");

    m_imaC = MakeLabel(body, "ImaC", QStringLiteral("\u00B0C"));
    m_imaF = MakeLabel(body, "ImaF", QStringLiteral("\u00B0F"));
    for (QLabel* picture : { m_imaC, m_imaF }) {
        SetPointSize(picture, 18, true);
        SetTextColour(picture, blue);
    }
    m_imaF->hide();
    auto* unitBox = new QWidget(body);
    auto* unitRow = new QHBoxLayout(unitBox);
    unitRow->setContentsMargins(0, 0, 0, 0);
    unitRow->addWidget(m_imaC);
    unitRow->addWidget(m_imaF);
    unitRow->addStretch();

    auto unitLabel = [&](const char* name, const char* text, const QColor& colour) {
        QLabel* label = MakeLabel(body, name, QString::fromLatin1(text));
        SetPointSize(label, 14);
        SetTextColour(label, colour);
        return label;
    };
    auto* temperatureCaption = unitLabel("LblTemperatureCaption", "Temp", blue);
    auto* unitRh = unitLabel("UnitRH", "%RH", blue);
    auto* unitDew = unitLabel("UnitDew", "Dew", red);
    auto* unitWet = unitLabel("Label1", "Wet", red);

    // Each quantity's indicators, named after it: LblTOver, LblRHUnder, ...
    for (const AlarmQuantity q : kLimitQuantities) {
        const int i = static_cast<int>(q);
        const QString prefix = QString::fromLatin1(IndicatorPrefix(q));
        m_over[i]
            = MakeIndicator(body, QStringLiteral("Lbl") + prefix + QStringLiteral("Over"), "OVER");
        m_under[i] = MakeIndicator(
            body, QStringLiteral("Lbl") + prefix + QStringLiteral("Under"), "UNDER");
    }
    auto indicators = [&](AlarmQuantity q) {
        const int i = static_cast<int>(q);
        auto* box = new QWidget(body);
        auto* column = new QVBoxLayout(box);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(2);
        m_over[i]->setParent(box);
        m_under[i]->setParent(box);
        column->addWidget(m_over[i]);
        column->addWidget(m_under[i]);
        return box;
    };
    grid->addWidget(indicators(AlarmQuantity::Co2), 1, 3);

    struct Row {
        QLabel* caption;
        QLabel* value;
        QWidget* unit;
        AlarmQuantity indicator;
    };
    const Row rows[] = {
        { temperatureCaption, m_lblTemperature, unitBox, AlarmQuantity::Temperature },
        { unitLabel("LblHumidityCaption", "RH", blue), m_lblRh, unitRh, AlarmQuantity::Humidity },
        { unitDew, m_lblDew, nullptr, AlarmQuantity::Dew },
        { unitWet, m_lblWet, nullptr, AlarmQuantity::Wet },
    };
    int r = 2;
    for (const Row& row : rows) {
        if (row.caption)
            grid->addWidget(row.caption, r, 0);
        grid->addWidget(row.value, r, 1);
        if (row.unit)
            grid->addWidget(row.unit, r, 2);
        else {
            // Dew point and wet bulb follow the temperature's unit.
            QLabel* follows
                = MakeLabel(body, row.indicator == AlarmQuantity::Dew ? "LblDewUnit" : "LblWetUnit",
                    QStringLiteral("\u00B0C"));
            m_follows[row.indicator == AlarmQuantity::Dew ? 0 : 1] = follows;
            SetPointSize(follows, 14);
            SetTextColour(follows, red);
            grid->addWidget(follows, r, 2);
        }
        grid->addWidget(indicators(row.indicator), r, 3);
        ++r;
    }

    // Recording status.
    auto* status = new QWidget(this);
    auto* statusRow = new QHBoxLayout(status);
    statusRow->setContentsMargins(16, 4, 16, 6);
    m_lblRec = MakeLabel(status, "LblRec", QString());
    SetTextColour(m_lblRec, red);
    SetPointSize(m_lblRec, 10, true);
    m_lblCount = MakeLabel(status, "LblCount", QString());
    m_lblCount->setAccessibleDescription(QStringLiteral("Records written"));
    m_lblFileName = MakeLabel(status, "LblFileName", QString());
    m_lblFileName->setAccessibleDescription(QStringLiteral("Recording file"));
    statusRow->addWidget(m_lblRec);
    statusRow->addWidget(m_lblCount);
    statusRow->addStretch();
    statusRow->addWidget(m_lblFileName);
    outer->addWidget(status);
}

QLabel* Panel::label(const char* objectName) const
{
    return findChild<QLabel*>(QString::fromLatin1(objectName));
}

bool Panel::load()
{
    move(0, 0);
    if (!m_session.start()) {
        m_prompts.message(this, Prompts::Icon::Critical, QStringLiteral("No device available !"));
        return false;
    }
    return true;
}

bool Panel::celsiusDisplay() const
{
    return m_state.Display.celsiusDisplay();
}

void Panel::switchUnit()
{
    m_state.Display.switchUnit(m_state.Reading);
}

QStringList Panel::sampleTexts() const
{
    return m_state.Display.sampleTexts();
}

void Panel::showDisplay()
{
    const DisplayState& d = m_state.Display;
    const DisplayTexts& t = d.values();
    m_lblAir->setText(t.LblAir);
    m_lblRh->setText(t.LblRH);
    m_lblTemperature->setText(d.temperatureText());
    m_lblDew->setText(d.dewText());
    m_lblWet->setText(d.wetText());

    const bool celsius = d.celsiusDisplay();
    m_imaC->setVisible(celsius);
    m_imaF->setVisible(!celsius);
    for (QLabel* follows : m_follows)
        follows->setText(celsius ? QStringLiteral("\u00B0C") : QStringLiteral("\u00B0F"));

    for (const AlarmQuantity q : kLimitQuantities) {
        const IndicatorPair pair = d.indicators(q);
        m_over[static_cast<int>(q)]->setVisible(pair.over);
        m_under[static_cast<int>(q)]->setVisible(pair.under);
    }

    m_lblCom->setText(d.portText());
    m_lblCom->setVisible(d.portVisible());
    m_lblCount->setText(d.recordCount());
    m_lblRec->setText(d.recIndicator());
    m_lblRec->setVisible(d.recShown());
    m_lblFileName->setText(d.fileTitle());
}

void Panel::toggleCaption()
{
    setWindowTitle(windowTitle() == caption() ? captionWithDate() : caption());
}

bool Panel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_lblCom && event->type() == QEvent::MouseButtonRelease) {
        toggleCaption();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void Panel::closeEvent(QCloseEvent* event)
{
    event->accept();
    Q_EMIT closed();
}
