#include "busypointer.h"

#include <utility>

namespace
{
std::function<void(bool)>& Shower()
{
    static std::function<void(bool)> show;
    return show;
}
} // namespace

BusyPointer::BusyPointer()
{
    if (Shower())
        Shower()(true);
}

BusyPointer::~BusyPointer()
{
    if (Shower())
        Shower()(false);
}

void BusyPointer::install(std::function<void(bool busy)> show)
{
    Shower() = std::move(show);
}
