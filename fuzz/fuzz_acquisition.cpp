// The acquisition tick fed arbitrary bytes in arbitrary chunks at arbitrary times: live frames,
// logger signatures (with the real download and a checking store behind them), replies to the
// download's spaces, noise and silence. Whatever came before, a meter that goes quiet is
// noticed, and a meter that then streams live frames is read again.

#include "checkingstore.h"
#include "fuzzinput.h"

#include "acquisition/acquisitioncycle.h"
#include "meter/currentreading.h"
#include "meter/framebytes.h"
#include "meter/loggerdownload.h"
#include "support/fakeclock.h"
#include "support/fakes.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EnsureFuzzApplication();
    FuzzedDataProvider in(data, size);

    FakeClock clock;
    FakeSerialLink link;
    link.open();
    static LoggerTables* tables = new LoggerTables;
    CheckingStore store(*tables);
    FakePrompts prompts;
    LoggerDownload download(link, clock, store);
    QObject::connect(&download, &LoggerDownload::noDataInMemory, [&] {
        prompts.message(nullptr, Prompts::Icon::Information, LoggerDownload::noDataMessage());
    });
    CurrentReading reading;
    AcquisitionCycle cycle(link, clock, reading);
    cycle.setDownloadHook(&download);

    int decoded = 0;
    bool silent = false;
    int downloadsFinished = 0;
    QObject::connect(&cycle, &AcquisitionCycle::readingDecoded, [&] {
        FUZZ_CHECK(cycle.state() == AcquisitionCycle::State::Idle);
        FUZZ_CHECK(!silent);
        ++decoded;
    });
    QObject::connect(&cycle, &AcquisitionCycle::noDataStarted, [&] {
        FUZZ_CHECK(!silent);
        FUZZ_CHECK(cycle.state() == AcquisitionCycle::State::NoData);
        silent = true;
    });
    QObject::connect(&cycle, &AcquisitionCycle::noDataEnded, [&] {
        FUZZ_CHECK(silent);
        silent = false;
    });
    QObject::connect(&cycle, &AcquisitionCycle::comLabelVisibilityChanged,
        [&](bool) { FUZZ_CHECK(silent && cycle.state() == AcquisitionCycle::State::NoData); });
    QObject::connect(&download, &DownloadHook::finished, [&] {
        ++downloadsFinished;
        store.finished();
    });
    // The program shows why a download stopped once its tick is over.
    QObject::connect(&download, &LoggerDownload::stopped, [&](const QString& message) {
        FUZZ_CHECK(cycle.state() != AcquisitionCycle::State::Downloading);
        prompts.message(nullptr, Prompts::Icon::Critical, message);
    });
    // The meter answers the download's spaces with whatever the input says.
    link.onWrite = [&](const QByteArray& bytes) {
        FUZZ_CHECK(bytes == QByteArray(1, ' '));
        FUZZ_CHECK(cycle.state() == AcquisitionCycle::State::Downloading);
        if (in.ConsumeBool())
            link.feed(TakeBytes(in, 300));
    };

    // The frame of a meter that streams its readings: made once, fed as often as it likes.
    static const QByteArray kSteadyFrame = LiveFrameBytes(415, 500, 250, 0);

    cycle.timer1().start();
    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange<int>(0, 6)) {
        case 0:
            link.feed(TakeBytes(in, 40));
            break;
        case 1:
            link.feed(LiveFrameBytes(in.ConsumeIntegral<quint16>(), in.ConsumeIntegral<quint16>(),
                in.ConsumeIntegral<quint16>(), in.ConsumeIntegral<quint8>()));
            break;
        case 2:
            link.feed(SignatureBytes(
                in.ConsumeIntegralInRange<int>(0, 3), in.ConsumeIntegral<quint32>()));
            break;
        case 3:
            clock.advance(in.ConsumeIntegralInRange<int>(0, 200));
            break;
        case 4:
            clock.advance(in.ConsumeIntegralInRange<int>(0, 9000));
            break;
        case 5: { // a streaming meter for up to a second (five frames in a row end a download)
            const int frames = in.ConsumeIntegralInRange<int>(1, 10);
            for (int k = 0; k < frames; ++k) {
                link.feed(kSteadyFrame);
                clock.advance(100);
            }
            break;
        }
        default:
            link.feed(QByteArray());
            break;
        }
        // The cycle is downloading exactly while a download runs.
        FUZZ_CHECK((cycle.state() == AcquisitionCycle::State::Downloading)
            == (download.state() != LoggerDownload::State::Idle));
    }

    // The meter falls silent: any download ends, and after four waits "No COM" blinks.
    link.onWrite = nullptr;
    clock.advance(15000);
    FUZZ_CHECK(download.state() == LoggerDownload::State::Idle);
    FUZZ_CHECK(!store.running());
    const auto shown = [&](const QString& text) {
        return std::count_if(prompts.messages.cbegin(), prompts.messages.cend(),
            [&](const FakePrompts::Shown& m) { return m.text == text; });
    };
    const qsizetype noData = shown(QStringLiteral("No Data in Memory!"));
    FUZZ_CHECK(downloadsFinished == store.downloads + noData);
    FUZZ_CHECK(prompts.messages.size() == noData + store.brokenCount);
    FUZZ_CHECK(silent && cycle.state() == AcquisitionCycle::State::NoData);

    // Then it streams live frames again: they are read within a few ticks.
    const int before = decoded;
    for (int t = 0; t < 10000 && decoded == before; t += 100) {
        link.feed(kSteadyFrame);
        clock.advance(100);
    }
    FUZZ_CHECK(decoded > before && !silent);
    FUZZ_CHECK(reading.Co2Ppm.text() == QStringLiteral("415"));
    FUZZ_CHECK(reading.TempC.text() == QStringLiteral("25"));
    return 0;
}
