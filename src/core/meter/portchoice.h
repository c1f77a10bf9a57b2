#pragma once

#include <QString>

#include <functional>

// The port number a text in the port list names: exactly "COM1" to "COM8" give 1 to 8; any
// other text (another case, COM9, blanks) gives 0, which leaves the choice as it was.
int PortNumberFromText(const QString& text);

// "COM" followed by the number.
QString PortText(int portNumber);

// The lowest COMn (1 to 8) that reaches no device now, which a listed device may be bound to;
// 0 when every one of them reaches a device. A COMn whose link leads nowhere (stale) is free.
int LowestFreeComNumber(const std::function<bool(int)>& reachesDevice);
