// A full-memory logger dump from the virtual meter, paced at 28800 baud, received by the whole
// program over the pseudo-terminal: the time from the signature frame to the final space,
// against the wire time (129,536 bytes x 10 bits / 28,800) plus 0.2 s per set plus 0.5 s.
#include "acquisition/acquisitioncycle.h"
#include "acquisition/metersession.h"
#include "app/application.h"
#include "app/panel.h"
#include "logger/loggerstore.h"
#include "loggerwindow/memory.h"
#include "loggerwindow/memorycontroller.h"
#include "meter/downloadhook.h"
#include "meter/protocol.h"
#include "platform/systemclock.h"
#include "support/fakes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM",
        qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QTemporaryDir runtime;
    QFile::setPermissions(
        runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    QApplication qtApp(argc, argv);

    QProcess meter;
    meter.start(
        QStringLiteral(NIMBREL_METER_BIN), { "--port", "COM1", "--full-memory", "--seed", "5" });
    if (!meter.waitForStarted(5000) || !meter.waitForReadyRead(10000)) {
        std::fprintf(stderr, "the virtual meter did not start\n");
        return 1;
    }
    auto* prompts = new FakePrompts;
    Application app(std::make_unique<SystemClock>(), std::make_unique<FakeBeeper>(),
        std::unique_ptr<Prompts>(prompts),
        std::make_unique<FakePrinterProvider>(runtime.path() + "/print.pdf"));
    app.state().PortNumber = 1;
    if (!app.openPanel())
        return 1;

    QElapsedTimer clock;
    qint64 begun = -1;
    qint64 ended = -1;
    int sets = 0;
    QObject::connect(&app.session()->acquisition(), &AcquisitionCycle::readingDecoded, [&] {
        if (begun < 0 && sets == 0 && meter.state() == QProcess::Running
            && clock.isValid() == false) {
            clock.start();
            meter.write("dump\n");
        }
    });
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const auto state = app.session()->acquisition().state();
        if (begun < 0 && state == AcquisitionCycle::State::Downloading)
            begun = clock.elapsed();
        if (begun >= 0 && ended < 0 && state != AcquisitionCycle::State::Downloading) {
            ended = clock.elapsed();
            Memory* memory = app.memory()->memoryWindow();
            sets = memory ? memory->setRowCount() : 0;
            qtApp.quit();
        }
    });
    poll.start();
    QTimer::singleShot(120000, &qtApp, &QApplication::quit);
    qtApp.exec();
    meter.write("quit\n");
    meter.waitForFinished(3000);

    if (begun < 0 || ended < 0) {
        std::fprintf(stderr, "the dump did not complete\n");
        return 1;
    }
    const double seconds = (ended - begun) / 1000.0;
    const double wire = double(kLoggerCapacityBytes) / kWireBytesPerSecond;
    const double target = wire + 0.2 * sets + 0.5;
    std::printf(
        "full-memory dump: %d sets in %.2f s (wire %.2f s, target %.2f s): %s; messages %d\n", sets,
        seconds, wire, target, seconds <= target ? "met" : "missed", int(prompts->messages.size()));
    return 0;
}
