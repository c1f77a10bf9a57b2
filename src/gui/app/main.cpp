#include "application.h"
#include "applicationsetup.h"
#include "commandline.h"
#include "meter/portlisting.h"
#include "meter/protocol.h"
#include "nimbrelversion.h"
#include "platform/systemclock.h"
#include "platform/systemports.h"

#include <QApplication>
#include <QTextStream>

#include <cstdio>

namespace
{
// nimbrel --list-ports: the serial ports and where a meter is heard, for a mail to support.
// Needs no display.
int ListPorts(int argc, char* argv[])
{
    QCoreApplication qtApp(argc, argv);
    SystemClock clock;
    SystemPorts ports(kMeterBaudRate);
    QTextStream out(stdout);
    PortListing listing(ports, clock, out);
    QObject::connect(
        &listing, &PortListing::done, &qtApp, [] { QCoreApplication::exit(0); },
        Qt::QueuedConnection);
    listing.start();
    return QCoreApplication::exec();
}
} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    switch (ReadProgramCommand(arguments)) {
    case ProgramCommand::ListPorts:
        return ListPorts(argc, argv);
    case ProgramCommand::ShowHelp:
        std::fputs(qPrintable(ProgramHelpText()), stdout);
        return 0;
    case ProgramCommand::ShowVersion:
        return PrintVersion("nimbrel");
    case ProgramCommand::OpenWindows:
        break;
    }
    QApplication qtApp(argc, argv);
    SetUpNimbrelApplication();
    Application nimbrel;
    nimbrel.start();
    return QApplication::exec();
}
