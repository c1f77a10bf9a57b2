#pragma once

// The computer's beep, behind an interface so that tests can count beeps; the windows' program
// gives the desktop's (SystemBeeper), a program without windows a silent one.
class Beeper
{
public:
    virtual ~Beeper() = default;
    virtual void beep() = 0;
};

class SilentBeeper final : public Beeper
{
public:
    void beep() override { }
};
