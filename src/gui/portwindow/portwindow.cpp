#include "portwindow.h"

#include "meter/portchoice.h"
#include "meter/portfinder.h"
#include "meter/portlisttext.h"
#include "platform/portdevice.h"
#include "platform/portsystem.h"

#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

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
    m_ports->setInsertPolicy(QComboBox::NoInsert);
    for (int n = 1; n <= 8; ++n)
        m_ports->addItem(PortText(n));
    m_ports->setCurrentText(PortText(1));
    // The text is taken exactly as typed: no completion to an entry of another case.
    m_ports->completer()->setCaseSensitivity(Qt::CaseSensitive);
    // A key typed into the window reaches the box itself; one sent to the text goes to the text.
    m_ports->installEventFilter(this);
    m_ports->lineEdit()->installEventFilter(this);

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
    connect(port1, &QPushButton::clicked, this, [this] { choose(1); });
    connect(port2, &QPushButton::clicked, this, [this] { choose(2); });
    connect(m_ports, &QComboBox::currentTextChanged, this, &Port::showHint);
    // Once the user picks or types a port, the list no longer chooses for them.
    connect(m_ports->lineEdit(), &QLineEdit::textEdited, this, [this] { m_userChose = true; });
    connect(m_ports, &QComboBox::activated, this, [this] { m_userChose = true; });
    showHint();
}

Port::Port(int& portNumber, PortFinder& finder, QWidget* parent)
    : Port(portNumber, parent)
{
    m_finder = &finder;
    m_list = new QTableWidget(0, PortListHeadings().size(), this);
    m_list->setObjectName(QStringLiteral("PortList"));
    m_list->setAccessibleName(QStringLiteral("Serial ports on this computer"));
    m_list->setHorizontalHeaderLabels(PortListHeadings());
    m_list->verticalHeader()->hide();
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setFocusPolicy(Qt::ClickFocus);
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->setMinimumWidth(620);
    m_reason = new QLabel(this);
    m_reason->setObjectName(QStringLiteral("LblReason"));
    m_reason->setWordWrap(true);
    m_reason->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = static_cast<QGridLayout*>(this->layout());
    layout->addWidget(
        new QLabel(QStringLiteral("Serial ports on this computer:"), this), 3, 0, 1, 3);
    layout->addWidget(m_list, 4, 0, 1, 3);
    layout->addWidget(m_reason, 5, 0, 1, 3);

    connect(m_list, &QTableWidget::itemSelectionChanged, this, [this] {
        if (m_filling || m_list->selectedItems().isEmpty())
            return;
        m_userChose = true;
        takeRow(m_list->selectedItems().first()->row());
    });
    connect(m_list, &QTableWidget::cellDoubleClicked, this, [this](int row) {
        m_userChose = true;
        takeRow(row);
        confirm();
    });
    connect(m_finder, &PortFinder::changed, this, &Port::showPorts);
    m_finder->start();
    showPorts();
}

bool Port::eventFilter(QObject* watched, QEvent* event)
{
    // Return in the port box confirms, as the OK button would, with the text as typed: the box
    // would otherwise complete it to an entry first.
    if ((watched == m_ports || watched == m_ports->lineEdit())
        && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            confirmText(m_ports->lineEdit()->text());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Port::closeEvent(QCloseEvent* event)
{
    // However the window goes, no port stays held by the listening.
    if (m_finder)
        m_finder->stop();
    QWidget::closeEvent(event);
}

void Port::showHint()
{
    const int n = PortNumberFromText(m_ports->currentText());
    if (n != 0 && n == m_binding.comNumber) {
        m_hint->setText(PortText(n) + QStringLiteral(" will reach ") + m_binding.target);
        return;
    }
    m_hint->setText(n == 0 ? QStringLiteral("Not a port: choose COM1 to COM8")
                           : PortText(n) + QStringLiteral(" reaches ") + PortDeviceHint(n));
}

void Port::showPorts()
{
    const QList<FoundPort>& ports = m_finder->ports();
    const int selected
        = m_list->selectedItems().isEmpty() ? -1 : m_list->selectedItems().first()->row();
    const QString selectedPath = selected >= 0 && selected < m_list->rowCount()
        ? m_list->item(selected, 1)->data(Qt::UserRole).toString()
        : QString();
    m_filling = true;
    m_list->setRowCount(int(ports.size()));
    int keep = -1;
    for (int row = 0; row < ports.size(); ++row) {
        const QStringList cells = PortListCells(ports[row]);
        for (int column = 0; column < cells.size(); ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            item->setData(Qt::UserRole, ports[row].entry.devicePath);
            if (ports[row].state == FoundPort::State::Unusable)
                item->setToolTip(PortProblemText(ports[row].problem, ports[row].entry.devicePath));
            m_list->setItem(row, column, item);
        }
        if (ports[row].entry.devicePath == selectedPath)
            keep = row;
    }
    m_list->resizeColumnsToContents();
    const int choice = m_userChose ? keep : m_finder->defaultChoice();
    if (choice >= 0)
        m_list->selectRow(choice);
    else
        m_list->clearSelection();
    m_filling = false;
    if (!m_userChose && choice >= 0)
        takeRow(choice);
    else if (choice >= 0) {
        const FoundPort& port = ports[choice];
        m_reason->setText(PortProblemText(port.problem, port.entry.devicePath));
    }
    if (ports.isEmpty())
        m_reason->setText(QStringLiteral("No serial ports found: plug the meter's cable in."));
    else if (choice < 0)
        m_reason->clear();
}

void Port::takeRow(int row)
{
    const QList<FoundPort>& ports = m_finder->ports();
    if (row < 0 || row >= ports.size())
        return;
    const FoundPort& port = ports[row];
    m_reason->setText(PortProblemText(port.problem, port.entry.devicePath));
    m_binding = {};
    int n = port.entry.comNumber;
    if (n == 0) {
        PortSystem& system = m_finder->system();
        n = LowestFreeComNumber([&system](int k) { return system.comReachesDevice(k); });
        if (n == 0) {
            m_reason->setText(
                QStringLiteral("COM1 to COM8 all reach a device: none is free for %1.")
                    .arg(port.entry.devicePath));
            return;
        }
        const QString target
            = port.entry.byIdPath.isEmpty() ? port.entry.devicePath : port.entry.byIdPath;
        m_binding = { n, target };
    }
    m_ports->setCurrentText(PortText(n));
    showHint();
}

void Port::confirm()
{
    confirmText(m_ports->currentText());
}

void Port::confirmText(const QString& text)
{
    // Every listened port is let go before the main window opens the chosen one.
    if (m_finder)
        m_finder->stop();
    const int n = PortNumberFromText(text);
    if (n != 0 && n == m_binding.comNumber && m_finder)
        m_finder->system().bind(n, m_binding.target);
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
