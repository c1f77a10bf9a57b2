// nimbrel-logger: downloads the meter's data logger into set files, without a display.
#include "common/headlessmessages.h"
#include "loggercommand.h"
#include "loggeroptions.h"
#include "meter/protocol.h"
#include "nimbrelversion.h"
#include "platform/systemclock.h"
#include "platform/systemports.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char* argv[])
{
    QuietQtRemarks();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("nimbrel-logger"));
    QCoreApplication::setApplicationVersion(QStringLiteral(NIMBREL_VERSION));

    LoggerOptions options;
    QString error;
    const bool read = ReadLoggerOptions(app.arguments().mid(1), &options, &error);
    const int answered = AnswerCommandLine(
        read, error, options.help, options.version, LoggerHelpText(), kExitBadOptions);
    if (answered >= 0)
        return answered;

    SystemClock clock;
    SystemPorts ports(kMeterBaudRate);
    QTextStream out(stdout);
    LoggerCommand command(options, clock, ports, out);
    QObject::connect(
        &command, &LoggerCommand::finished, &app,
        [](int status) { QCoreApplication::exit(status); }, Qt::QueuedConnection);
    command.start();
    return QCoreApplication::exec();
}
