#include "portlinkfolder.h"

#include <QStandardPaths>

QString PortLinkFolder()
{
    return PortLinkFolderIn(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation));
}

QString PortLinkFolderIn(const QString& runtimeFolder)
{
    return runtimeFolder + QStringLiteral("/nimbrel");
}

QString PortByIdFolderIn(const QString& linkFolder)
{
    return linkFolder + QStringLiteral("/by-id");
}
