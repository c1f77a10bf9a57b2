// nimbrel-record: records the meter's readings to a data file, without a display.
#include "common/headlessmessages.h"
#include "meter/protocol.h"
#include "nimbrelversion.h"
#include "platform/systemclock.h"
#include "platform/systemports.h"
#include "recordcommand.h"
#include "recordoptions.h"
#include "stopsignals.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <unistd.h>

int main(int argc, char* argv[])
{
    QuietQtRemarks();
    QCoreApplication app(argc, argv);
    // From the start: a stop before the port is open ends it as cleanly as one while recording.
    StopSignals signals;
    QCoreApplication::setApplicationName(QStringLiteral("nimbrel-record"));
    QCoreApplication::setApplicationVersion(QStringLiteral(NIMBREL_VERSION));

    RecordOptions options;
    QString error;
    const bool read = ReadRecordOptions(app.arguments().mid(1), &options, &error);
    const int answered = AnswerCommandLine(
        read, error, options.help, options.version, RecordHelpText(), kExitBadOptions);
    if (answered >= 0)
        return answered;

    SystemClock clock;
    SystemPorts ports(kMeterBaudRate);
    const auto toStandardError = [](const QByteArray& bytes) {
        std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
        std::fflush(stderr);
    };
    RecordCommand command(options, clock, ports, toStandardError, ::isatty(STDERR_FILENO) == 1);
    QObject::connect(&signals, &StopSignals::stopRequested, &command, [&command](int number) {
        command.stop(number == SIGINT ? QStringLiteral("SIGINT") : QStringLiteral("SIGTERM"));
    });
    QObject::connect(
        &command, &RecordCommand::finished, &app,
        [](int status) { QCoreApplication::exit(status); }, Qt::QueuedConnection);
    command.start();
    return QCoreApplication::exec();
}
