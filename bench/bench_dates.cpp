// What the dates of a recording cost: the recorder's tick writing a record with and without the
// dates keeper following it (between events the keeper should cost nothing), and one rewrite of
// the dates file at an event.
#include "recording/datafileformat.h"
#include "recording/datafilehandle.h"
#include "recording/dateskeeper.h"
#include "recording/recorder.h"
#include "recording/recordingdates.h"
#include "recording/recordingstate.h"
#include "support/fakeclock.h"
#include "support/recorderfakes.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace
{

const QStringList kTexts = { "415", "23.4", "12.1", "16.2", "48.9", "74.1", "53.7", "61.1" };

// One recorder tick recording a record every second, range(0): 1 with the dates keeper.
void BM_RecorderTick(benchmark::State& bench)
{
    const bool keeping = bench.range(0) == 1;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("run.nblg"));
    FakeClock clock(QDateTime(QDate(2026, 12, 8), QTime(7, 0, 0)));
    clock.setUtcOffset(3600);
    RecordingState state;
    state.SamplingSeconds = 1;
    DataFileHandle file;
    NoRecorderLabels labels;
    NoLiveList list;
    Recorder recorder(
        state, clock, file, [] { return kTexts; }, labels, list);
    DatesKeeper keeper(state, clock);
    if (keeping)
        recorder.setHooks(&keeper);
    recorder.start();
    state.DataFileName = path;
    file.open(path);
    file.writeLine(HeaderLine());
    state.Recording = true;
    keeper.recordingStarted(path);
    for (auto _ : bench) {
        // The meter answers between the records, as it does while recording.
        keeper.readingTaken();
        clock.advance(Recorder::kTickMs);
        // A part of 34,800 records is as far as one file goes.
        if (state.RecordCount >= Recorder::kSplitSize - 1) {
            bench.PauseTiming();
            file.open(path);
            file.writeLine(HeaderLine());
            state.RecordCount = 0;
            keeper.recordingStarted(path);
            bench.ResumeTiming();
        }
    }
    bench.SetItemsProcessed(bench.iterations());
}
BENCHMARK(BM_RecorderTick)->Arg(0)->Arg(1)->ArgName("keeper");

// One event's rewrite of the dates file (new file, then rename), with range(0) events in it.
void BM_DatesRewrite(benchmark::State& bench)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("run.nblg"));
    RecordingDates dates;
    dates.firstAt = QDateTime(QDate(2026, 12, 8), QTime(7, 0, 0), Qt::OffsetFromUTC, 3600);
    dates.interval = 1;
    dates.port = QStringLiteral("COM1");
    for (int i = 0; i < bench.range(0); ++i) {
        DatesEvent event;
        event.kind = i % 2 == 0 ? DatesEvent::Kind::MeterSilent : DatesEvent::Kind::Reconnected;
        event.record = 1 + i * 100;
        event.at = dates.firstAt.addSecs(i * 100);
        dates.events.push_back(event);
    }
    QString error;
    for (auto _ : bench) {
        if (!WriteDatesFile(path, dates, &error)) {
            bench.SkipWithError(qPrintable(error));
            break;
        }
    }
}
BENCHMARK(BM_DatesRewrite)->Arg(2)->Arg(50)->Arg(1000)->ArgName("events");

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
