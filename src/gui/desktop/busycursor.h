#pragma once

#include "platform/busypointer.h"

#include <QCursor>
#include <QGuiApplication>

// The busy mouse pointer for as long as the object lives, also when the work ends early.
class BusyCursor
{
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// Gives the core's long operations (the counting captions) the desktop's busy pointer.
inline void InstallBusyPointer()
{
    BusyPointer::install([](bool busy) {
        if (busy)
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        else
            QGuiApplication::restoreOverrideCursor();
    });
}
