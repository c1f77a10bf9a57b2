#pragma once

// The whole program on fakes for the beeper, the prompts and the printer (its pages go to
// print.pdf in folder), its port set to COM1, for the tests that open its panel (they link
// nimbrel_app).

#include "app/application.h"
#include "platform/clock.h"
#include "support/fakeclock.h"
#include "support/fakes.h"

#include <memory>

struct ApplicationRig {
    ApplicationRig(std::unique_ptr<Clock> clock, const QString& folder)
        : prompts(new FakePrompts)
        , app(std::move(clock), std::make_unique<FakeBeeper>(), std::unique_ptr<Prompts>(prompts),
              std::make_unique<FakePrinterProvider>(folder + QStringLiteral("/print.pdf")))
    {
        app.state().PortNumber = 1;
    }
    // On the test's clock the panel talks over a fake serial line that the test feeds: link,
    // once the panel is open.
    ApplicationRig(FakeClock* clock, const QString& folder)
        : ApplicationRig(std::unique_ptr<Clock>(clock), folder)
    {
        app.setLinkFactory([this](int, Clock&) {
            auto made = std::make_unique<FakeSerialLink>();
            link = made.get();
            return made;
        });
    }
    ApplicationRig(const ApplicationRig&) = delete;
    ApplicationRig& operator=(const ApplicationRig&) = delete;

    FakePrompts* prompts; // owned by app
    FakeSerialLink* link = nullptr; // owned by app's panel
    Application app;
};
