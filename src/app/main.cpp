#include "application.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Nimbrel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Nimbrel"));
    QIcon icon;
    for (const char* size : { "32", "64", "256" })
        icon.addFile(
            QStringLiteral(":/icons/nimbrel-") + QLatin1String(size) + QStringLiteral(".png"));
    QApplication::setWindowIcon(icon);
    Application nimbrel;
    nimbrel.start();
    return QApplication::exec();
}
