#include "application.h"

#include "panel.h"
#include "meter/portwindow.h"
#include "platform/beeper.h"
#include "platform/portdevice.h"
#include "platform/printer.h"
#include "platform/prompts.h"
#include "platform/serialportlink.h"
#include "platform/systemclock.h"

#include <QApplication>
#include <QTimer>

Application::Application()
    : m_clock(std::make_unique<SystemClock>())
    , m_beeper(std::make_unique<SystemBeeper>())
    , m_prompts(std::make_unique<WidgetPrompts>())
    , m_printers(std::make_unique<SystemPrinterProvider>())
{
}

Application::~Application()
{
    delete m_panel;
}

void Application::start()
{
    auto* port = new Port(m_state.PortNumber);
    connect(port, &Port::chosen, this, [this] {
        if (!openPanel())
            quit(1);
    });
    port->show();
}

bool Application::openPanel()
{
    const int portNumber = m_state.PortNumber;
    m_link = std::make_unique<SerialPortLink>([portNumber] { return PortDevicePath(portNumber); },
                                              *m_clock);
    m_panel = new Panel(m_state, *m_link, *m_clock, *m_beeper, *m_prompts);
    connect(m_panel, &Panel::closed, this, [this] { quit(0); });
    m_panel->show();
    return m_panel->load();
}

void Application::quit(int code)
{
    // Closing the main window ends the program: every other window goes with it.
    QTimer::singleShot(0, qApp, [code] {
        QApplication::closeAllWindows();
        QApplication::exit(code);
    });
}
