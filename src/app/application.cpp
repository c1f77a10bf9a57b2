#include "application.h"

#include "panel.h"
#include "toolbarcommands.h"
#include "toolbaricons.h"
#include "acquisitioncycle.h"
#include "meter/portwindow.h"
#include "platform/beeper.h"
#include "platform/portdevice.h"
#include "platform/printer.h"
#include "platform/prompts.h"
#include "platform/serialportlink.h"
#include "platform/systemclock.h"
#include "recording/datafilehandle.h"
#include "recording/listwindows.h"
#include "recording/recorder.h"

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
    // The recording side refers to the panel: it goes first.
    delete m_commands;
    delete m_recorder;
    delete m_lists;
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
    if (!m_panel->load())
        return false;
    startRecording();
    return true;
}

void Application::startRecording()
{
    m_dataFile = std::make_unique<DataFileHandle>();
    m_recorderLabels = std::make_unique<PanelRecorderLabels>(*m_panel);
    m_lists = new ListWindows(ListContext{m_state.Rec, *m_prompts, *m_printers, *m_clock, {}, ToolbarIcon},
                              m_panel, this);
    Panel* panel = m_panel;
    m_recorder = new Recorder(m_state.Rec, *m_clock, *m_dataFile,
                              [panel] { return panel->sampleTexts(); }, *m_recorderLabels,
                              *m_lists, this);
    // Printing a list stops acquisition and sampling for its duration.
    m_lists->context().printPausedTimers = {&m_panel->acquisition().timer1(), &m_recorder->timer2()};
    m_commands = new ToolbarCommands(*m_panel, m_state.Rec, *m_dataFile, *m_prompts, *m_lists,
                                     *m_clock, this);
    connect(m_panel, &Panel::toolbarCommand, m_commands, &ToolbarCommands::run);
    connect(m_panel, &Panel::meterSilent, m_lists, &ListWindows::closeLiveList);
    m_recorder->start();
}

void Application::quit(int code)
{
    // Closing the main window ends the program: every other window goes with it.
    QTimer::singleShot(0, qApp, [code] {
        QApplication::closeAllWindows();
        QApplication::exit(code);
    });
}
