#include "commandline.h"

ProgramCommand ReadProgramCommand(const QStringList& arguments)
{
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--list-ports"))
            return ProgramCommand::ListPorts;
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help"))
            return ProgramCommand::ShowHelp;
        if (argument == QLatin1String("-v") || argument == QLatin1String("--version"))
            return ProgramCommand::ShowVersion;
    }
    return ProgramCommand::OpenWindows;
}

QString ProgramHelpText()
{
    return QStringLiteral(
        "Usage: nimbrel [options]\n"
        "Shows the live readings of a hand-held indoor-air meter (CO2, temperature, relative\n"
        "humidity, dew point and wet bulb) on a serial port, records them into data files\n"
        "(.nblg), plots and prints them, and receives the meter's data logger. It starts with\n"
        "the port window, COM1 to COM8; nimbrel-meter plays a meter for trying it without one.\n"
        "\n"
        "Options:\n"
        "  --list-ports   Print the serial ports of this computer, where a meter is heard and\n"
        "                 why a port cannot be opened, and end. Needs no display.\n"
        "  -h, --help     Show this help.\n"
        "  -v, --version  Show the version.\n");
}
