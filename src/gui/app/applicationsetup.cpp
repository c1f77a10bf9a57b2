#include "applicationsetup.h"

#include "nimbrelversion.h"

#include <QApplication>
#include <QIcon>

void SetUpNimbrelApplication()
{
    QApplication::setApplicationName(QStringLiteral("Nimbrel"));
    QApplication::setApplicationVersion(QStringLiteral(NIMBREL_VERSION));
    // No display name: the platform would add it to every title bar. The desktop entry ties
    // the windows to the menu entry and its icon instead.
    QApplication::setDesktopFileName(QStringLiteral("nimbrel"));
    QIcon icon;
    for (const char* size : { "32", "64", "256" })
        icon.addFile(
            QStringLiteral(":/icons/nimbrel-") + QLatin1String(size) + QStringLiteral(".png"));
    QApplication::setWindowIcon(icon);
}
