#pragma once

#include "programstate.h"

#include <QObject>

#include <memory>

class Beeper;
class Clock;
class DataFileHandle;
class ListWindows;
class Recorder;
class RecorderLabels;
class ToolbarCommands;
class Panel;
class PrinterProvider;
class Prompts;
class SerialLink;

// Puts the program together: the port window first, then the main window on the chosen port,
// and the wiring between the windows of the subsystems.
class Application final : public QObject {
    Q_OBJECT
public:
    Application();
    ~Application() override;

    // Shows the port window.
    void start();
    // Opens the main window on PortNumber; false when the port could not be opened.
    bool openPanel();

    ProgramState& state() { return m_state; }
    Panel* panel() const { return m_panel; }
    ListWindows* listWindows() const { return m_lists; }
    Recorder* recorder() const { return m_recorder; }

private:
    void quit(int code);
    // The recorder, the list windows and the toolbar commands, once the main window is loaded.
    void startRecording();

    ProgramState m_state;
    std::unique_ptr<Clock> m_clock;
    std::unique_ptr<Beeper> m_beeper;
    std::unique_ptr<Prompts> m_prompts;
    std::unique_ptr<PrinterProvider> m_printers;
    std::unique_ptr<SerialLink> m_link;
    Panel* m_panel = nullptr;
    std::unique_ptr<DataFileHandle> m_dataFile;
    std::unique_ptr<RecorderLabels> m_recorderLabels;
    ListWindows* m_lists = nullptr;
    Recorder* m_recorder = nullptr;
    ToolbarCommands* m_commands = nullptr;
};
