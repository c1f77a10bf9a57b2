#pragma once

// The main window on fakes, for the tests of the window and of its commands (they link
// nimbrel_app).

#include "acquisition/metersession.h"
#include "app/panel.h"
#include "app/programstate.h"
#include "support/fakeclock.h"
#include "support/fakes.h"

#include <QLabel>

struct PanelRig {
    ProgramState state;
    FakeClock clock;
    FakeSerialLink link;
    FakeBeeper beeper;
    FakePrompts prompts;
    MeterSession session { state, link, clock, beeper };
    Panel panel { state, session, prompts };

    QString text(const char* name) const { return panel.label(name)->text(); }
};
