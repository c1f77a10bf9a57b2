#pragma once

// The computer's beep, behind an interface so that tests can count beeps.
class Beeper
{
public:
    virtual ~Beeper() = default;
    virtual void beep() = 0;
};

class SystemBeeper final : public Beeper
{
public:
    void beep() override;
};
