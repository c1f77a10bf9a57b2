#include "application.h"
#include "applicationsetup.h"
#include "meter/protocol.h"
#include "platform/systemclock.h"
#include "platform/systemports.h"
#include "portlisting.h"

#include <QApplication>
#include <QTextStream>

#include <cstring>

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
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--list-ports") == 0)
            return ListPorts(argc, argv);
    }
    QApplication qtApp(argc, argv);
    SetUpNimbrelApplication();
    Application nimbrel;
    nimbrel.start();
    return QApplication::exec();
}
