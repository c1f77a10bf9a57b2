#pragma once

#include "platform/portentry.h"
#include "programstate.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class Alarm;
class Beeper;
class DataListSink;
class GraphWindows;
class MemoryController;
class MeterSession;
class Clock;
class ListWindows;
class Recorder;
class ToolbarCommands;
class Panel;
class PrinterProvider;
class Prompts;
class SerialLink;
class SerialPortLink;
class PortSystem;

// Puts the program together: the port window first, then the meter session on the chosen port
// with the main window showing it, and the wiring between the session and the windows of the
// subsystems.
class Application final : public QObject
{
    Q_OBJECT
public:
    // The system's clock, beep, dialogs and printers.
    Application();
    // The same program on other platform parts (tests give fakes).
    Application(std::unique_ptr<Clock> clock, std::unique_ptr<Beeper> beeper,
        std::unique_ptr<Prompts> prompts, std::unique_ptr<PrinterProvider> printers);
    ~Application() override;

    // Where openPanel() gets the link to the meter: by default the serial port PortNumber names;
    // tests hand in a scripted link.
    using LinkFactory = std::function<std::unique_ptr<SerialLink>(int portNumber, Clock& clock)>;
    void setLinkFactory(LinkFactory factory) { m_linkFactory = std::move(factory); }
    // The serial ports the port window lists and the link follows after an unplug; by default
    // the system's.
    void setPortSystem(std::unique_ptr<PortSystem> ports);

    // Shows the port window.
    void start();
    // Opens the main window on PortNumber; false when the port could not be opened.
    bool openPanel();

    ProgramState& state() { return m_state; }
    Panel* panel() const { return m_panel; }
    ToolbarCommands* commands() const { return m_commands; }
    ListWindows* listWindows() const { return m_lists; }
    MeterSession* session() const { return m_session.get(); }
    Recorder* recorder() const;
    GraphWindows* graphs() const { return m_graphs; }
    MemoryController* memory() const { return m_memory; }

private:
    void quit(int code);
    PortEntry followSameDevice(SerialPortLink& link, int portNumber);
    // The list windows and the toolbar commands, once the main window is loaded.
    void startRecording();
    // The graph windows, the alarm dialog and the data logger.
    void startGraphs();
    void startLogger();
    void openAlarmDialog();
    void openReportDialog(class ListWindow* source);

    ProgramState m_state;
    std::unique_ptr<Clock> m_clock;
    std::unique_ptr<Beeper> m_beeper;
    std::unique_ptr<Prompts> m_prompts;
    std::unique_ptr<PrinterProvider> m_printers;
    LinkFactory m_linkFactory;
    std::unique_ptr<PortSystem> m_portSystem;
    std::unique_ptr<SerialLink> m_link;
    std::unique_ptr<MeterSession> m_session;
    Panel* m_panel = nullptr;
    ListWindows* m_lists = nullptr;
    ToolbarCommands* m_commands = nullptr;
    GraphWindows* m_graphs = nullptr;
    QPointer<Alarm> m_alarm;
    MemoryController* m_memory = nullptr;
    std::unique_ptr<DataListSink> m_dataListSink;
};
