#include "application.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Nimbrel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Nimbrel"));
    Application nimbrel;
    nimbrel.start();
    return QApplication::exec();
}
