// The virtual meter's full-memory dump: how long it keeps the wire busy at 28800 baud (as a
// counter, on a simulated clock stepped like the meter's pacing timer: every millisecond, and
// to the microsecond for the last byte queued, against a program that asks for each piece the
// moment the previous one has arrived), and what producing it costs.
#include "dumpsession.h"
#include "loggerimage.h"
#include "pacer.h"

#include <benchmark/benchmark.h>

#include <algorithm>

namespace
{

constexpr qint64 kTickUs = 1000;

LoggerImage fullMemory()
{
    LoggerImage image;
    QString error;
    image.build(LoggerImage::fullMemoryLayout(), 1, &error);
    return image;
}

struct DumpRun {
    qint64 wireUs = 0; // from the signature's first byte to the final space
    qint64 bytes = 0;
};

DumpRun runDump(const LoggerImage& image, int bytesPerSecond)
{
    DumpSession session;
    Pacer pacer(bytesPerSecond);
    session.start(image, DumpFaults(), 0);
    qint64 now = DumpSession::kGapMs * 1000;
    session.advance(now / 1000);
    const qint64 signatureAt = now;
    pacer.enqueue(session.takeOutput(), now);
    DumpRun run;
    while (session.isActive()) {
        while (!pacer.isEmpty()) {
            now = std::max(pacer.nextDueUs(), std::min(now + kTickUs, pacer.lastDueUs()));
            const QByteArray chunk = pacer.due(now);
            pacer.consumed(int(chunk.size()), int(chunk.size()), now);
            run.bytes += chunk.size();
        }
        session.receive(QByteArray(1, DumpSession::kSpace), now / 1000);
        pacer.enqueue(session.takeOutput(), now);
    }
    run.wireUs = now - signatureAt;
    return run;
}

void FullMemoryDumpPaced(benchmark::State& state)
{
    const LoggerImage image = fullMemory();
    DumpRun run;
    for (auto _ : state)
        benchmark::DoNotOptimize(run = runDump(image, Pacer::kWireBytesPerSecond));
    state.counters["wire_s"] = double(run.wireUs) / 1e6;
    state.counters["ideal_s"] = double(run.bytes) / Pacer::kWireBytesPerSecond;
    state.SetBytesProcessed(state.iterations() * run.bytes);
}

void FullMemoryDumpUnpaced(benchmark::State& state)
{
    const LoggerImage image = fullMemory();
    DumpRun run;
    for (auto _ : state)
        benchmark::DoNotOptimize(run = runDump(image, 0));
    state.SetBytesProcessed(state.iterations() * run.bytes);
}

void BuildFullMemoryImage(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(fullMemory().usedBytes());
}

} // namespace

BENCHMARK(FullMemoryDumpPaced)->Unit(benchmark::kMillisecond);
BENCHMARK(FullMemoryDumpUnpaced)->Unit(benchmark::kMillisecond);
BENCHMARK(BuildFullMemoryImage)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
