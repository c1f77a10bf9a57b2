// nimbrel-meter: a virtual indoor-air meter on a pseudo-terminal.
#include "meteroptions.h"
#include "nimbrelversion.h"
#include "virtualmeter.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    VirtualMeter::guardStandardStreams();
    QCoreApplication app(argc, argv);

    MeterOptions options;
    QString error;
    if (!MeterOptions::parse(app.arguments().mid(1), &options, &error)) {
        std::fprintf(stderr, "nimbrel-meter: %s\n", qPrintable(error));
        return 2;
    }
    if (options.help) {
        std::fputs(qPrintable(MeterOptions::helpText()), stdout);
        return 0;
    }
    if (options.version)
        return PrintVersion("nimbrel-meter");
    VirtualMeter meter(options);
    if (!meter.start(&error)) {
        std::fprintf(stderr, "nimbrel-meter: %s\n", qPrintable(error));
        return 1;
    }
    return app.exec();
}
