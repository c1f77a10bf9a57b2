#include "toolbarcommands.h"

#include "acquisition/metersession.h"
#include "acquisition/sessionstate.h"
#include "desktop/prompts.h"
#include "lists/datafileopen.h"
#include "lists/filelist.h"
#include "lists/gridmodel.h"
#include "lists/gridsave.h"
#include "lists/listwindows.h"
#include "panel.h"
#include "recording/datafileformat.h"
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

ToolbarCommands::ToolbarCommands(Panel& panel, MeterSession& session, Prompts& prompts,
    ListWindows& lists, Clock& clock, QObject* parent)
    : QObject(parent)
    , m_panel(panel)
    , m_session(session)
    , m_state(session.state().Rec)
    , m_stopLook { ToolbarIcon(QStringLiteral("Stop")), QStringLiteral("Stop"),
        QStringLiteral("Stop Recording") }
    , m_asLook { ToolbarIcon(QStringLiteral("As")), QStringLiteral("Save"),
        QStringLiteral("Save As") }
    , m_prompts(prompts)
    , m_lists(lists)
    , m_clock(clock)
{
    for (QAction* action : m_panel.toolbar()->actions()) {
        const QIcon icon = ToolbarIcon(action->objectName());
        if (!icon.isNull())
            action->setIcon(icon);
    }
    showSaveButtonAs(m_state.Recording);
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

void ToolbarCommands::showSaveButtonAs(bool recording)
{
    QAction* save = m_panel.toolbarButton(QStringLiteral("Save"));
    if (!save)
        return;
    const SaveButtonLook& look = saveButtonLook(recording);
    save->setIcon(look.icon);
    save->setText(look.text);
    save->setToolTip(look.toolTip);
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
    if (!m_session.startRecording(m_state.DataFileName))
        return;
    showSaveButtonAs(true);
}

void ToolbarCommands::stopRecording()
{
    m_session.stopRecording();
    showSaveButtonAs(false);
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
