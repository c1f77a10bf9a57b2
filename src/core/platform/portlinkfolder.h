#pragma once

#include <QString>

// Where the COMn links live, for the program and the virtual meter alike (Qt Core only, so the
// virtual meter links this alone): "<runtime folder>/nimbrel", the runtime folder being
// QStandardPaths::RuntimeLocation.
QString PortLinkFolder();
// The same folder under a given runtime folder.
QString PortLinkFolderIn(const QString& runtimeFolder);
// The folder of stable names inside a link folder ("<link folder>/by-id"), as /dev/serial/by-id
// gives a USB adapter.
QString PortByIdFolderIn(const QString& linkFolder);
