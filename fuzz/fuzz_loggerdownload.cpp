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

// Record byte i (from 0) of set s (from 0): it changes from piece to piece, so a piece filed
// twice or in another's place shows.
FUZZ_HELPER char RecordByte(int s, int i)
{
    return char((s * 37 + i * 13 + (i >> 8) * 101) & 0xFF);
}

// A meter with a few sets in its memory, its replies and how it gives them. A reply's bytes are
// made when the space that asks for it comes, so a download that ends early costs no more than
// what it asked for.
struct FuzzMeter {
    struct Set {
        QByteArray header;
        int records = 0;
        int replies() const { return 1 + (kRecordBytes * records + 255) / 256; }
    };

    FuzzMeter(FuzzedDataProvider& input, FakeSerialLink& serialLink)
        : in(input)
        , link(serialLink)
    {
    }

    FuzzedDataProvider& in;
    FakeSerialLink& link;
    QList<Set> sets;
    int replyCount = 1; // one for each set's header and piece, and the final space
    int spaces = 0;
    QByteArray late; // bytes of a reply the meter has yet to send
    bool clean = true; // every reply so far came whole and at once, and nothing else came
    // The set the last reply came from and the space that asked for its header.
    int replySet = 0;
    int replySetFirst = 0;

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
            sets.append(Set { header, records });
            replyCount += sets.last().replies();
        }
    }

    // The bytes of all sets as the memory holds them.
    qint64 usedBytes() const
    {
        qint64 used = 0;
        for (const Set& set : sets)
            used += kSetHeaderBytes + qint64(kRecordBytes) * set.records;
        return used;
    }

    // What space k (from 0) brings: a set's header, the next piece of its record bytes, nothing
    // to the final space and after it. Spaces come in order, so the set is found walking on.
    FUZZ_HELPER QByteArray replyBytes(int k)
    {
        while (replySet < sets.size() && k >= replySetFirst + sets.at(replySet).replies()) {
            replySetFirst += sets.at(replySet).replies();
            ++replySet;
        }
        if (replySet == sets.size())
            return {};
        const Set& set = sets.at(replySet);
        if (k == replySetFirst)
            return set.header;
        const int from = 256 * (k - replySetFirst - 1);
        QByteArray bytes(std::min(256, kRecordBytes * set.records - from), Qt::Uninitialized);
        char* to = bytes.data();
        for (int i = 0; i < bytes.size(); ++i)
            to[i] = RecordByte(replySet, from + i);
        return bytes;
    }

    // Set s (from 0) exactly as the meter holds it: its header and every record byte.
    FUZZ_HELPER bool holds(const QByteArray& data, int s) const
    {
        const Set& set = sets.at(s);
        const int recordBytes = kRecordBytes * set.records;
        if (data.size() != kSetHeaderBytes + recordBytes || !data.startsWith(set.header))
            return false;
        const char* bytes = data.constData() + kSetHeaderBytes;
        for (int i = 0; i < recordBytes; ++i) {
            if (bytes[i] != RecordByte(s, i))
                return false;
        }
        return true;
    }

    void onSpace(const QByteArray& written)
    {
        FUZZ_CHECK(written == QByteArray(1, ' '));
        const QByteArray reply = replyBytes(spaces);
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
    static LoggerTables* tables = new LoggerTables;
    CheckingStore store(*tables);
    FakePrompts prompts;
    LoggerDownload download(link, clock, store);
    QObject::connect(&download, &LoggerDownload::noDataInMemory, [&] {
        prompts.message(nullptr, Prompts::Icon::Information, LoggerDownload::noDataMessage());
    });
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
    FuzzMeter meter(in, link);
    meter.build(std::min(setCount, 255));
    // The write address the signature reports: mostly just past the sets, as a meter's is;
    // sometimes any 24-bit address, or any value at all.
    const qint64 used = meter.usedBytes();
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
        for (const FuzzMeter::Set& set : meter.sets)
            std::fprintf(stderr, " %d", set.records);
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
            clock.monotonicMs(), meter.spaces, static_cast<long long>(meter.replyCount),
            int(download.state()), int(meter.clean), store.added(), store.broken);
    FUZZ_CHECK(finishedCount == 1);
    FUZZ_CHECK(download.state() == LoggerDownload::State::Idle);
    FUZZ_CHECK(!store.running());
    FUZZ_CHECK(prompts.messages.isEmpty());
    FUZZ_CHECK(stoppedCount == (store.broken ? 1 : 0));
    if (meter.clean && meter.late.isEmpty() && roomForAll) {
        FUZZ_CHECK(store.broken == 0 && store.added() == std::min(setCount, 255));
        for (int s = 1; s <= store.added(); ++s)
            FUZZ_CHECK(meter.holds(store.data.value(s), s - 1));
        FUZZ_CHECK(meter.spaces == meter.replyCount);
    }
    // Nothing more is sent once it has ended.
    const qsizetype sent = link.written.size();
    link.feed(QByteArray(20, 'x'));
    clock.advance(5000);
    FUZZ_CHECK(link.written.size() == sent && finishedCount == 1 && stoppedCount <= 1);
    return 0;
}
