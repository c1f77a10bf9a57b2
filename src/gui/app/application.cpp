#include "application.h"

#include "acquisition/acquisitioncycle.h"
#include "acquisition/metersession.h"
#include "alarmdialog/alarm.h"
#include "datalistsink.h"
#include "desktop/busycursor.h"
#include "desktop/printer.h"
#include "desktop/prompts.h"
#include "desktop/systembeeper.h"
#include "graphs/graphwindows.h"
#include "lists/datalist.h"
#include "lists/filelist.h"
#include "lists/gridmodel.h"
#include "lists/listwindow.h"
#include "lists/listwindows.h"
#include "logger/loggerstore.h"
#include "logger/setdates.h"
#include "loggerwindow/memory.h"
#include "loggerwindow/memorycontroller.h"
#include "meter/loggerdownload.h"
#include "meter/portchoice.h"
#include "meter/portfinder.h"
#include "meter/protocol.h"
#include "panel.h"
#include "platform/portdevice.h"
#include "platform/portsystem.h"
#include "platform/samedevice.h"
#include "platform/serialportlink.h"
#include "platform/systemclock.h"
#include "platform/systemports.h"
#include "portwindow/portwindow.h"
#include "recording/recorder.h"
#include "report/listreport.h"
#include "report/reportsources.h"
#include "reportdialog.h"
#include "toolbarcommands.h"
#include "toolbaricons.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>

Application::Application()
    : Application(std::make_unique<SystemClock>(), std::make_unique<SystemBeeper>(),
        std::make_unique<WidgetPrompts>(), std::make_unique<SystemPrinterProvider>())
{
}

Application::Application(std::unique_ptr<Clock> clock, std::unique_ptr<Beeper> beeper,
    std::unique_ptr<Prompts> prompts, std::unique_ptr<PrinterProvider> printers)
    : m_clock(std::move(clock))
    , m_beeper(std::move(beeper))
    , m_prompts(std::move(prompts))
    , m_printers(std::move(printers))
{
    InstallBusyPointer();
}

Application::~Application()
{
    // The subsystems refer to the panel: they go first.
    delete m_alarm.data();
    delete m_memory;
    delete m_graphs;
    delete m_commands;
    if (m_session)
        m_session->setLiveList(nullptr);
    delete m_lists;
    delete m_panel;
}

Recorder* Application::recorder() const
{
    return m_session ? &m_session->recorder() : nullptr;
}

void Application::setPortSystem(std::unique_ptr<PortSystem> ports)
{
    m_portSystem = std::move(ports);
}

void Application::start()
{
    if (!m_portSystem)
        m_portSystem = std::make_unique<SystemPorts>(kMeterBaudRate);
    auto* finder = new PortFinder(*m_portSystem, *m_clock, this);
    auto* port = new Port(m_state.PortNumber, *finder);
    connect(port, &Port::chosen, this, [this, finder] {
        finder->deleteLater();
        if (!openPanel())
            quit(1);
    });
    port->show();
}

bool Application::openPanel()
{
    const int portNumber = m_state.PortNumber;
    if (m_linkFactory) {
        m_link = m_linkFactory(portNumber, *m_clock);
    } else {
        auto link = std::make_unique<SerialPortLink>(
            [portNumber] { return PortDevicePath(portNumber); }, kMeterBaudRate, *m_clock);
        m_link = std::move(link);
    }
    // The port is opened before any window shows: a port that cannot be used is reported on
    // its own, and the program ends.
    if (!m_link->open()) {
        const QString detail = portNumber == 0
            ? QStringLiteral("No port was chosen: choose COM1 to COM8.")
            : PortProblemText(m_link->openProblem(),
                PortText(portNumber) + QStringLiteral(" (") + PortDevicePath(portNumber)
                    + QStringLiteral(")"));
        m_prompts->message(
            nullptr, Prompts::Icon::Critical, QStringLiteral("No device available !"), detail);
        return false;
    }
    PortEntry device;
    if (auto* serial = qobject_cast<SerialPortLink*>(m_link.get())) {
        device = followSameDevice(*serial, portNumber);
        if (device.devicePath.isEmpty())
            device.devicePath = QFileInfo(serial->portName()).canonicalFilePath();
    }
    m_session = std::make_unique<MeterSession>(m_state, *m_link, *m_clock, *m_beeper);
    m_session->setPortIdentity(device.devicePath, device.serialNumber);
    m_panel = new Panel(m_state, *m_session, *m_prompts);
    connect(m_panel, &Panel::closed, this, [this] { quit(0); });
    m_panel->show();
    if (!m_panel->load())
        return false;
    startRecording();
    startGraphs();
    startLogger();
    return true;
}

PortEntry Application::followSameDevice(SerialPortLink& link, int portNumber)
{
    if (!m_portSystem)
        m_portSystem = std::make_unique<SystemPorts>(kMeterBaudRate);
    return FollowSameDevice(link, *m_portSystem, portNumber);
}

void Application::startRecording()
{
    m_lists = new ListWindows(
        ListContext { m_state.Rec, *m_prompts, *m_printers, *m_clock, {}, ToolbarIcon }, m_panel,
        this);
    m_session->setLiveList(m_lists);
    m_lists->setLiveListDates([this](const QString& path, QString* error) {
        return m_session->writeLiveListDates(path, error);
    });
    // Printing a list stops acquisition and sampling for its duration.
    for (Timer* timer : m_session->pausableTimers())
        m_lists->context().printPausedTimers << timer;
    m_commands = new ToolbarCommands(*m_panel, *m_session, *m_prompts, *m_lists, *m_clock, this);
    connect(m_panel, &Panel::toolbarCommand, m_commands, &ToolbarCommands::run);
    // Told after the tick, so that the message box never holds a tick open.
    connect(
        m_session.get(), &MeterSession::recordingFailed, m_panel,
        [this](const QString& message) {
            m_prompts->message(m_panel, Prompts::Icon::Critical, message);
        },
        Qt::QueuedConnection);
    connect(
        m_session.get(), &MeterSession::datesFailed, m_panel,
        [this](const QString& message) {
            m_prompts->message(m_panel, Prompts::Icon::Critical, message);
        },
        Qt::QueuedConnection);
}

void Application::startGraphs()
{
    m_graphs = new GraphWindows(
        m_state.Graphs, m_state.Reading, *m_clock, *m_prompts, *m_printers, m_panel, this);
    m_graphs->setAcquisitionInterval(m_session->acquisition().timer1().interval());
    m_commands->setGraphCommand([this] { m_graphs->openRealTimeGraph(); });
    m_commands->setAlarmCommand([this] { openAlarmDialog(); });
    // The meter went silent: the real-time graph closes, then the live list.
    connect(m_session.get(), &MeterSession::meterSilent, this, [this] {
        m_graphs->closeRealTimeGraph();
        m_lists->closeLiveList();
    });
    connect(m_lists, &ListWindows::plotRequested, this, [this](ListWindow* source) {
        // The file's dates file dates the time labels; the list itself shows nothing new.
        RecordDays days;
        if (source == m_lists->fileList())
            days.starts = RowDays(source->model().rows(), source->reportSourcePath());
        m_graphs->openFileGraph(&source->model(), source == m_lists->fileList(), std::move(days));
    });
    connect(m_lists, &ListWindows::reportRequested, this, &Application::openReportDialog);
}

void Application::openReportDialog(ListWindow* source)
{
    ListReportOffer offer;
    {
        // A recording in parts is read to date its first record.
        const BusyCursor busy;
        offer = OfferListReport(source->model().rows(), source->reportSourcePath(),
            source->reportTitle(), !m_panel->celsiusDisplay(), m_clock->date());
    }
    auto* dialog = new ReportDialog(
        source->model(), offer, *m_prompts,
        [](const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); },
        source);
    dialog->open();
}

void Application::openAlarmDialog()
{
    if (!m_alarm)
        m_alarm = new Alarm(m_state.Alarms, *m_prompts, m_panel);
    m_alarm->show();
    m_alarm->raise();
    m_alarm->fill();
}

void Application::startLogger()
{
    connect(m_session.get(), &MeterSession::noDataInMemory, this, [this] {
        m_prompts->message(m_panel, Prompts::Icon::Information, LoggerDownload::noDataMessage());
    });
    // A download that ended early says so once its tick is over, so live readings go on while
    // the message is shown.
    connect(
        m_session.get(), &MeterSession::downloadStopped, this,
        [this](const QString& message) {
            m_prompts->message(m_panel, Prompts::Icon::Critical, message);
        },
        Qt::QueuedConnection);

    m_memory = new MemoryController(m_session->loggerStore(), *m_clock);
    m_memory->setAnchor(m_panel);
    m_memory->setDataListOpener([this]() -> ListingSink* {
        DataList* list = m_lists->openDataList();
        const int set = m_memory->listedSet();
        list->setReportSource({}, QStringLiteral("Logger set %1").arg(set));
        // The set's date-time as worked out when its download ended.
        list->setDatesWriter([this, set](const QString& path, QString* error) {
            return WriteSetDatesFile(path, m_state.Logger, set, error);
        });
        m_dataListSink = std::make_unique<DataListSink>(list);
        return m_dataListSink.get();
    });
    connect(m_memory, &MemoryController::timersSwitchOnRequested, this, [this] {
        for (Timer* timer : m_session->pausableTimers())
            timer->start();
    });
    connect(
        m_memory, &MemoryController::listingFailed, &m_state.Display, &DisplayState::showPortText);
}

void Application::quit(int code)
{
    // Closing the main window ends the program: every other window goes with it.
    QTimer::singleShot(0, qApp, [code] {
        QApplication::closeAllWindows();
        QApplication::exit(code);
    });
}
