#include "portwindow.h"

#include "platform/portdevice.h"
#include "portchoice.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

Port::Port(int& portNumber, QWidget* parent)
    : QWidget(parent)
    , m_portNumber(portNumber)
{
    setObjectName(QStringLiteral("Port"));
    setWindowTitle(QStringLiteral("COM Port"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_ports = new QComboBox(this);
    m_ports->setObjectName(QStringLiteral("Ports"));
    m_ports->setEditable(true);
    for (int n = 1; n <= 8; ++n)
        m_ports->addItem(PortText(n));
    m_ports->setCurrentText(PortText(1));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("CmdOK"));
    ok->setDefault(true);
    auto* port1 = new QPushButton(PortText(1), this);
    port1->setObjectName(QStringLiteral("Port1"));
    auto* port2 = new QPushButton(PortText(2), this);
    port2->setObjectName(QStringLiteral("Port2"));

    m_hint = new QLabel(this);
    m_hint->setObjectName(QStringLiteral("LblDevice"));
    m_hint->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_hint->setAccessibleDescription(QStringLiteral("Device the chosen port reaches"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Port:"), this), 0, 0);
    layout->addWidget(m_ports, 0, 1);
    layout->addWidget(ok, 0, 2);
    layout->addWidget(m_hint, 1, 0, 1, 3);
    layout->addWidget(port1, 2, 1);
    layout->addWidget(port2, 2, 2);

    connect(ok, &QPushButton::clicked, this, &Port::confirm);
    // Return in the port box confirms, as the OK button would.
    connect(m_ports->lineEdit(), &QLineEdit::returnPressed, this, &Port::confirm);
    connect(port1, &QPushButton::clicked, this, [this] { choose(1); });
    connect(port2, &QPushButton::clicked, this, [this] { choose(2); });
    connect(m_ports, &QComboBox::currentTextChanged, this, &Port::showHint);
    showHint();
}

void Port::showHint()
{
    const int n = PortNumberFromText(m_ports->currentText());
    m_hint->setText(n == 0 ? QStringLiteral("Not a port: choose COM1 to COM8")
                           : PortText(n) + QStringLiteral(" reaches ") + PortDeviceHint(n));
}

void Port::confirm()
{
    const int n = PortNumberFromText(m_ports->currentText());
    if (n != 0)
        m_portNumber = n;
    Q_EMIT chosen(m_portNumber);
    close();
}

void Port::choose(int portNumber)
{
    m_ports->setCurrentText(PortText(portNumber));
    confirm();
}
