// A whole program that records from the meter on a port into a file, for tests that kill it or
// starve it of disk. It waits for the first live reading, starts recording every second through
// the toolbar's "Save", and prints "recording" and then, after every sample, the count the main
// window shows ("count N", flushed at once). With --samples it ends by itself after that many
// samples (each message the user was shown as "message TEXT", then "done"); with --fsize-limit the
// process may not grow a file beyond that many bytes (a full disk: writes fail with EFBIG instead
// of killing the process).
//
//   nimbrel-recording-helper --port N --file PATH [--samples N] [--fsize-limit BYTES]
#include "acquisition/acquisitioncycle.h"
#include "acquisition/metersession.h"
#include "app/application.h"
#include "app/panel.h"
#include "app/toolbarcommands.h"
#include "platform/systemclock.h"
#include "recording/recorder.h"
#include "support/fakes.h"

#include <QApplication>
#include <QLabel>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>

namespace
{

void Say(const QByteArray& line)
{
    std::fputs(line.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    auto option = [&args](const char* name) {
        const qsizetype at = args.indexOf(QLatin1String(name));
        return at > 0 && at + 1 < args.size() ? args.at(at + 1) : QString();
    };
    const int port = option("--port").toInt();
    const QString path = option("--file");
    const int samplesWanted = option("--samples").toInt();
    const qint64 sizeLimit = option("--fsize-limit").toLongLong();
    if (port < 1 || port > 8 || path.isEmpty()) {
        Say("usage: --port N --file PATH [--samples N] [--fsize-limit BYTES]");
        return 2;
    }
    if (sizeLimit > 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit { rlim_t(sizeLimit), rlim_t(sizeLimit) };
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            Say("setrlimit failed");
            return 2;
        }
    }

    auto* prompts = new FakePrompts;
    Application app(std::make_unique<SystemClock>(), std::make_unique<FakeBeeper>(),
        std::unique_ptr<Prompts>(prompts),
        std::make_unique<FakePrinterProvider>(path + QStringLiteral(".pdf")));
    app.state().PortNumber = port;
    if (!app.openPanel()) {
        Say("no port");
        return 3;
    }
    Panel& panel = *app.panel();
    app.state().Rec.SamplingSeconds = 1;
    app.state().Rec.SampleTicks = 0;

    int samples = 0;
    QObject::connect(app.recorder(), &Recorder::sampled, &qapp, [&] {
        if (!app.state().Rec.Recording)
            return;
        Say("count " + panel.label("LblCount")->text().toLatin1());
        if (samplesWanted > 0 && ++samples >= samplesWanted) {
            for (const FakePrompts::Shown& shown : prompts->messages)
                Say("message " + shown.text.toUtf8());
            Say("done");
            QCoreApplication::exit(0);
        }
    });
    QMetaObject::Connection first;
    first = QObject::connect(
        &app.session()->acquisition(), &AcquisitionCycle::readingDecoded, &qapp, [&] {
            QObject::disconnect(first);
            prompts->saveAnswers.enqueue(path);
            app.commands()->run(QStringLiteral("Save"));
            if (!app.state().Rec.Recording) {
                Say("not recording");
                QCoreApplication::exit(4);
                return;
            }
            Say("recording");
        });
    return QCoreApplication::exec();
}
