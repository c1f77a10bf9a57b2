#include "systembeeper.h"

#include <QApplication>

void SystemBeeper::beep()
{
    QApplication::beep();
}
