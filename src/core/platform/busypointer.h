#pragma once

#include <functional>

// The busy mouse pointer while a long operation runs, for as long as the object lives. The core
// has no pointer of its own: the windows' program installs the desktop's (InstallBusyPointer in
// desktop/busycursor.h); without one, as in a program without windows, nothing shows.
class BusyPointer
{
public:
    BusyPointer();
    ~BusyPointer();
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

    // show(true) when a busy time begins, show(false) when it ends; an empty one shows nothing.
    static void install(std::function<void(bool busy)> show);
};
