// The logger download against a meter that answers each space with its reply whole, cut in
// two, late, with bytes to spare or with nothing at all, while time passes in steps of any size
// and stray bytes arrive. The store checks what the exchange files (checkingstore.h); every
// download must end once the meter answers promptly or falls silent (no byte for the quiet time
// ends it), and when the meter answered every space promptly and whole with sets that fit the
// logger memory, every set must arrive exactly as sent, whatever write address it reported.

#include "checkingstore.h"
#include "fuzzinput.h"

#include "meter/loggerdownload.h"
#include "meter/protocol.h"
#include "support/fakeclock.h"
#include "support/fakes.h"

#include <algorithm>
#include <cstdio>

namespace
{

// A meter with a few sets in its memory, its replies and how it gives them.
struct FuzzMeter {
    FuzzedDataProvider& in;
    FakeSerialLink& link;
    QList<QByteArray> sets; // header + record bytes of each set
    QList<QByteArray> replies;
    int spaces = 0;
    QByteArray late; // bytes of a reply the meter has yet to send
    bool clean = true; // every reply so far came whole and at once, and nothing else came

    static constexpr int kMaxRecords = 70000;

    void build(int setCount)
    {
        int totalRecords = 0;
        for (int s = 0; s < setCount; ++s) {
            QByteArray header = TakeBytes(in, 8).leftJustified(8, '\0');
            // Now and then a big set, up to a full one and beyond, but a few memories' worth in
            // all.
            int records = in.ConsumeProbability<float>() < 0.95f
                ? in.ConsumeIntegralInRange<int>(0, 70)
                : in.ConsumeIntegralInRange<int>(0, 65535);
            records = std::min(records, std::max(0, kMaxRecords - totalRecords));
            totalRecords += records;
            header[0] = char(records >> 8);
            header[1] = char(records & 0xFF);
            // Filled through the pointer: a checked index per byte cost more than the download.
            QByteArray records8(8 * records, Qt::Uninitialized);
            char* bytes = records8.data();
            for (int i = 0; i < records8.size(); ++i)
                bytes[i] = char((s * 37 + i * 13) & 0xFF);
            sets.append(header + records8);
            replies.append(header);
            for (int at = 0; at < records8.size(); at += 256)
                replies.append(records8.mid(at, 256));
        }
        replies.append(QByteArray()); // nothing to the final space
    }

    void onSpace(const QByteArray& written)
    {
        FUZZ_CHECK(written == QByteArray(1, ' '));
        const QByteArray reply = spaces < replies.size() ? replies.at(spaces) : QByteArray();
        ++spaces;
        // Once the input is used up the meter behaves.
        switch (in.ConsumeIntegralInRange<int>(0, 9)) {
        default: // whole, at once
            link.feed(late + reply);
            late.clear();
            return;
        case 6: { // cut in two: the rest comes later
            clean = false;
            const int cut = in.ConsumeIntegralInRange<int>(0, static_cast<int>(reply.size()));
            link.feed(late + reply.left(cut));
            late = reply.mid(cut);
            return;
        }
        case 7: // all of it later
            clean = false;
            late += reply;
            return;
        case 8: // with bytes to spare
            clean = false;
            link.feed(late + reply + TakeBytes(in, 12));
            late.clear();
            return;
        case 9: // something else entirely
            clean = false;
            late.clear();
            link.feed(TakeBytes(in, 300));
            return;
        }
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EnsureFuzzApplication();
    FuzzedDataProvider in(data, size);

    FakeClock clock;
    FakeSerialLink link;
    link.open();
    FakePrompts prompts;
    static LoggerTables* tables = new LoggerTables;
    CheckingStore store(*tables);
    LoggerDownload download(link, clock, store, prompts);
    int finishedCount = 0;
    int stoppedCount = 0;
    QObject::connect(&download, &DownloadHook::finished, [&] {
        ++finishedCount;
        store.finished();
    });
    // Why it stopped is said once, after the download is over.
    QObject::connect(&download, &LoggerDownload::stopped, [&](const QString& message) {
        FUZZ_CHECK(finishedCount == 1 && !message.isEmpty());
        ++stoppedCount;
    });

    const int setCount = in.ConsumeProbability<float>() < 0.9f
        ? in.ConsumeIntegralInRange<int>(1, 5)
        : in.ConsumeIntegralInRange<int>(0, 300);
    FuzzMeter meter { in, link, {}, {}, 0, {}, true };
    meter.build(std::min(setCount, 255));
    // The write address the signature reports: mostly just past the sets, as a meter's is;
    // sometimes any 24-bit address, or any value at all.
    qint64 used = 0;
    for (const QByteArray& set : meter.sets)
        used += set.size();
    quint32 address = static_cast<quint32>(kLoggerFirstAddress + used);
    switch (in.ConsumeIntegralInRange<int>(0, 9)) {
    case 8:
        address = in.ConsumeIntegralInRange<quint32>(0, 0xFFFFFF);
        break;
    case 9:
        address = in.ConsumeIntegral<quint32>();
        break;
    default:
        break;
    }
    // Sets that fit the logger memory: a meter that answers promptly gets them all, whatever
    // address it reported.
    const bool roomForAll = setCount <= 255
        && used - kSetHeaderBytes * qint64(meter.sets.size())
            <= LoggerDownload::kCapacityRecordBytes;
    link.onWrite = [&meter](const QByteArray& bytes) { meter.onSpace(bytes); };

    const bool verbose = qEnvironmentVariableIsSet("NIMBREL_FUZZ_VERBOSE");
    if (verbose) {
        std::fprintf(stderr, "sets %d, address %u, records:", setCount, address);
        for (const QByteArray& set : meter.sets)
            std::fprintf(stderr, " %d", (quint8(set.at(0)) << 8) | quint8(set.at(1)));
        std::fprintf(stderr, "\n");
    }
    download.begin(setCount, address);
    if (setCount <= 0) {
        FUZZ_CHECK(finishedCount == 1 && store.downloads == 0 && prompts.messages.size() == 1);
        return 0;
    }

    while (in.remaining_bytes() > 0 && finishedCount == 0) {
        switch (in.ConsumeIntegralInRange<int>(0, 4)) {
        case 0:
            clock.advance(in.ConsumeIntegralInRange<int>(0, 60));
            break;
        case 1:
            clock.advance(in.ConsumeIntegralInRange<int>(0, 3000));
            break;
        case 2: { // the meter sends some of what it still owes
            const int n = in.ConsumeIntegralInRange<int>(0, static_cast<int>(meter.late.size()));
            const QByteArray part = meter.late.left(n);
            meter.late.remove(0, n);
            link.feed(part);
            break;
        }
        case 3:
            meter.clean = false;
            link.feed(TakeBytes(in, 40));
            break;
        default:
            link.feed(QByteArray()); // a readyRead with nothing new
            break;
        }
    }

    // From now on the meter answers every space promptly (or is silent once it has nothing
    // more to say): the download keeps asking until it ends, never waiting long for nothing.
    qint64 lastSpaceAt = clock.monotonicMs();
    int spaces = meter.spaces;
    while (finishedCount == 0 && clock.monotonicMs() - lastSpaceAt < 10000) {
        clock.advance(50);
        if (meter.spaces != spaces) {
            spaces = meter.spaces;
            lastSpaceAt = clock.monotonicMs();
        }
    }
    if (verbose)
        std::fprintf(stderr,
            "at %lld ms: %d spaces of %lld replies, state %d, clean %d, sets added %d, broken in "
            "%d\n",
            clock.monotonicMs(), meter.spaces, static_cast<long long>(meter.replies.size()),
            int(download.state()), int(meter.clean), store.added(), store.broken);
    FUZZ_CHECK(finishedCount == 1);
    FUZZ_CHECK(download.state() == LoggerDownload::State::Idle);
    FUZZ_CHECK(!store.running());
    FUZZ_CHECK(prompts.messages.isEmpty());
    FUZZ_CHECK(stoppedCount == (store.broken ? 1 : 0));
    if (meter.clean && meter.late.isEmpty() && roomForAll) {
        FUZZ_CHECK(store.broken == 0 && store.added() == std::min(setCount, 255));
        for (int s = 1; s <= store.added(); ++s)
            FUZZ_CHECK(store.data.value(s) == meter.sets.at(s - 1));
        FUZZ_CHECK(meter.spaces == meter.replies.size());
    }
    // Nothing more is sent once it has ended.
    const qsizetype sent = link.written.size();
    link.feed(QByteArray(20, 'x'));
    clock.advance(5000);
    FUZZ_CHECK(link.written.size() == sent && finishedCount == 1 && stoppedCount <= 1);
    return 0;
}
