#pragma once

#include "platform/beeper.h"

// The desktop's beep.
class SystemBeeper final : public Beeper
{
public:
    void beep() override;
};
