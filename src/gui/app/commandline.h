#pragma once

#include <QString>
#include <QStringList>

// What nimbrel's command line asks for. Only these options are the program's own; any other
// argument is Qt's (-platform, -style, ...) or ignored, and the windows open as without it.
enum class ProgramCommand {
    OpenWindows,
    ListPorts, // --list-ports
    ShowHelp, // -h, --help
    ShowVersion, // -v, --version
};

// The first of the program's own options decides. The arguments come without the program's name.
ProgramCommand ReadProgramCommand(const QStringList& arguments);
// What --help prints.
QString ProgramHelpText();
