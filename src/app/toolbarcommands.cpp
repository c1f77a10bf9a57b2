#include "toolbarcommands.h"

#include "acquisition/displaystate.h"
#include "panel.h"
#include "platform/prompts.h"
#include "recording/datafileformat.h"
#include "recording/datafilehandle.h"
#include "recording/datafileopen.h"
#include "recording/filelist.h"
#include "recording/gridmodel.h"
#include "recording/gridsave.h"
#include "recording/listwindows.h"
#include "recording/recordingstate.h"
#include "toolbaricons.h"

#include <QAction>
#include <QFileInfo>
#include <QLocale>
#include <QToolBar>

#include <algorithm>
#include <cmath>

namespace
{
constexpr double kMinSamplingSeconds = 1;
constexpr double kMaxSamplingSeconds = 86400;
} // namespace

std::optional<int> SamplingSecondsFromAnswer(const QString& answer)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(answer.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    const double whole = std::nearbyint(value);
    return static_cast<int>(std::clamp(whole, kMinSamplingSeconds, kMaxSamplingSeconds));
}

QString SamplingPrompt()
{
    return QStringLiteral("Enter the SAMPLING TIME in seconds\r\n(1 <= t <= 86400 ) ");
}

ToolbarCommands::ToolbarCommands(Panel& panel, RecordingState& state, DataFileHandle& file,
    Prompts& prompts, ListWindows& lists, Clock& clock, QObject* parent)
    : QObject(parent)
    , m_panel(panel)
    , m_state(state)
    , m_file(file)
    , m_prompts(prompts)
    , m_lists(lists)
    , m_clock(clock)
{
    for (QAction* action : m_panel.toolbar()->actions()) {
        const QIcon icon = ToolbarIcon(action->objectName());
        if (!icon.isNull())
            action->setIcon(icon);
    }
    showSaveButtonAs(m_state.Recording ? QStringLiteral("Stop") : QStringLiteral("As"));
}

void ToolbarCommands::run(const QString& key)
{
    if (key == QLatin1String("Save"))
        saveCommand();
    else if (key == QLatin1String("Open"))
        openCommand();
    else if (key == QLatin1String("List"))
        listCommand();
    else if (key == QLatin1String("Sample"))
        sampleCommand();
    else if (key == QLatin1String("CF"))
        m_panel.switchUnit();
    else if (key == QLatin1String("Graph") && m_graphCommand)
        m_graphCommand();
    else if (key == QLatin1String("Alarm") && m_alarmCommand)
        m_alarmCommand();
}

void ToolbarCommands::showSaveButtonAs(const QString& holderKey)
{
    QAction* save = m_panel.toolbarButton(QStringLiteral("Save"));
    const QAction* holder = m_panel.toolbarButton(holderKey);
    if (!save || !holder)
        return;
    save->setIcon(holder->icon());
    save->setText(holder->text());
    save->setToolTip(holder->toolTip());
}

void ToolbarCommands::saveCommand()
{
    if (m_state.Recording)
        stopRecording();
    else
        startRecording();
}

void ToolbarCommands::startRecording()
{
    ShowSaveDialog(&m_panel, m_prompts, m_state);
    if (!m_state.FileChosen)
        return;
    // A file that cannot be created, or cannot take its header, starts nothing.
    if (!m_file.open(m_state.DataFileName) || !m_file.writeLine(HeaderLine())) {
        m_file.close();
        m_state.FileChosen = false;
        return;
    }
    m_state.FilePart = 0;
    m_state.RecordCount = 0;
    m_panel.display().setFileTitle(QFileInfo(m_state.DataFileName).fileName());
    showSaveButtonAs(QStringLiteral("Stop"));
    m_state.Recording = true;
    m_panel.display().setRecShown(true);
}

void ToolbarCommands::stopRecording()
{
    m_state.Recording = false;
    showSaveButtonAs(QStringLiteral("As"));
    DisplayState& display = m_panel.display();
    display.setRecShown(false);
    display.setRecordCount(QString());
    display.setFileTitle(QString());
    m_state.RecordCount = 0;
    m_file.close();
    m_state.FileChosen = false;
}

void ToolbarCommands::openCommand()
{
    if (m_state.Recording) {
        m_prompts.message(&m_panel, Prompts::Icon::Critical,
            QStringLiteral("Recording Mode!\n\rPlease stop recording!"));
        return;
    }
    const QString path = m_prompts.openFileName(&m_panel, DataFileFilter());
    if (path.isEmpty())
        return;
    OpenDataFileIntoList(path, m_lists, m_prompts, m_clock, &m_panel);
}

void ToolbarCommands::listCommand()
{
    m_lists.openLiveList();
}

void ToolbarCommands::sampleCommand()
{
    const QString answer = m_prompts.inputBox(&m_panel, SamplingPrompt(),
        QStringLiteral("Input Sampling Time"), QString::number(m_state.SamplingSeconds));
    if (answer.isEmpty())
        return;
    const std::optional<int> seconds = SamplingSecondsFromAnswer(answer);
    if (!seconds)
        return;
    m_state.SamplingSeconds = *seconds;
    m_state.SampleTicks = 0;
}
