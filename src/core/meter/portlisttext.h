#pragma once

#include "portfinder.h"

#include <QStringList>

// The columns of the port list, for the port window and for nimbrel --list-ports.
QStringList PortListHeadings();
// One row: the COMn that reaches the port (or empty), its system name, description, maker,
// USB serial number, vendor:product ids, and "meter", "listening", nothing, or why it cannot
// be used.
QStringList PortListCells(const FoundPort& port);
// The whole list as tab-separated lines, headings first, for mail to support.
QString PortListReport(const QList<FoundPort>& ports);
