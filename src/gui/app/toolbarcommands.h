#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class Clock;
class ListWindows;
class MeterSession;
class Panel;
class Prompts;
struct RecordingState;

// The interval a "Sample" answer sets: the number rounded to a whole number (halves to the even
// neighbour) and held to 1..86400; nothing for an answer that is not a number.
std::optional<int> SamplingSecondsFromAnswer(const QString& answer);
// The input box's prompt, with its CR LF and trailing blank.
QString SamplingPrompt();

// The main toolbar's commands "Save" (start or stop recording), "Open", "List", "Sample" and
// "CF". It also gives the toolbar its images; button "Save" takes the look of "Stop" while
// recording and of "As" while idle.
struct SaveButtonLook {
    QIcon icon;
    QString text;
    QString toolTip;
};

class ToolbarCommands final : public QObject
{
    Q_OBJECT
public:
    ToolbarCommands(Panel& panel, MeterSession& session, Prompts& prompts, ListWindows& lists,
        Clock& clock, QObject* parent = nullptr);

    // Dispatches on the key, compared exactly; keys without a command here do nothing.
    void run(const QString& key);

    void saveCommand();
    void openCommand();
    void listCommand();
    void sampleCommand();

    // The commands of other subsystems: "Graph" opens the real-time graph, "Alarm" the alarm
    // limits dialog.
    void setGraphCommand(std::function<void()> command) { m_graphCommand = std::move(command); }
    void setAlarmCommand(std::function<void()> command) { m_alarmCommand = std::move(command); }

    // The look of button "Save" while recording ("Stop") or idle ("As").
    const SaveButtonLook& saveButtonLook(bool recording) const
    {
        return recording ? m_stopLook : m_asLook;
    }

private:
    void startRecording();
    void stopRecording();
    void showSaveButtonAs(bool recording);

    Panel& m_panel;
    MeterSession& m_session;
    RecordingState& m_state;
    SaveButtonLook m_stopLook;
    SaveButtonLook m_asLook;
    Prompts& m_prompts;
    ListWindows& m_lists;
    Clock& m_clock;
    std::function<void()> m_graphCommand;
    std::function<void()> m_alarmCommand;
};
