#pragma once

// What every fuzz target shares: one application object for the whole run (offscreen, so no
// display is needed) and a check that stops the run with a message when an invariant fails.

#include <QApplication>
#include <QByteArray>
#include <QtGlobal>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>

// Made once, on the first input; Qt objects need it for signals, cursors and widgets.
inline void EnsureFuzzApplication()
{
    static QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
        static int argc = 1;
        static char name[] = "nimbrel-fuzz";
        static char* argv[] = { name, nullptr };
        return new QApplication(argc, argv);
    }();
    Q_UNUSED(app);
}

// An invariant that must hold; a failure is reported as a crash with its input saved.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(                                                                          \
                stderr, "FUZZ_CHECK failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__);        \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

// A helper of the target itself (a meter's bytes, a reference answer): its branches say nothing
// about the program, so libFuzzer does not follow them, and its loops cost no coverage calls.
#if defined(__clang__)
#define FUZZ_HELPER __attribute__((no_sanitize("coverage")))
#else
#define FUZZ_HELPER
#endif

inline QByteArray TakeBytes(FuzzedDataProvider& in, size_t maxBytes)
{
    const std::string s = in.ConsumeBytesAsString(in.ConsumeIntegralInRange<size_t>(0, maxBytes));
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}
