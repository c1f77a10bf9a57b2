#pragma once

#include <QString>

// The port number a text in the port list names: exactly "COM1" to "COM8" give 1 to 8; any
// other text (another case, COM9, blanks) gives 0, which leaves the choice as it was.
int PortNumberFromText(const QString& text);

// "COM" followed by the number.
QString PortText(int portNumber);
