// Speed of the recording side: "Open" of a full recorder file into the file list against the
// floor of reading and splitting the same file, "Save" of a full list, one recorder tick with a
// full live list, and the resident memory of two full lists.
#include "lists/datafileloading.h"
#include "lists/datafileopen.h"
#include "lists/filelist.h"
#include "lists/gridmodel.h"
#include "lists/gridprint.h"
#include "lists/gridsave.h"
#include "lists/list.h"
#include "lists/listwindows.h"
#include "platform/systemclock.h"
#include "recording/datafileformat.h"
#include "recording/datafilehandle.h"
#include "recording/recorder.h"
#include "recording/recordingstate.h"
#include "support/fakes.h"
#include "support/recorderfakes.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstring>
#include <unistd.h>

namespace
{

constexpr int kRows = 34800;

const QStringList kTexts = { "415", "23.4", "12.1", "16.2", "48.9", "74.1", "53.7", "61.1" };

QString RecordText(int i)
{
    const QTime stamp = QTime(0, 0).addSecs(i * 2);
    return stamp.toString("hh:mm:ss") + '\t' + QString::number(400 + i % 300)
        + "\t23.4\t12.1\t16.2\t" + QString::number(40 + i % 50) + ".9\t74.1\t53.7\t61.1";
}

struct Fixture {
    QTemporaryDir dir;
    QString recorderFile;
    Fixture()
    {
        recorderFile = dir.filePath("full.nblg");
        DataFileHandle file;
        file.open(recorderFile);
        file.writeLine(HeaderLine());
        for (int i = 1; i <= kRows; ++i)
            file.writeLine(RecorderRecordLine(i, RecordText(i)));
    }
};

Fixture& SharedFixture()
{
    static Fixture fixture;
    return fixture;
}

struct Services {
    SystemClock clock;
    RecordingState state;
    FakePrompts prompts;
    FakePrinterProvider printers { QString() };
    ListWindows lists { ListContext { state, prompts, printers, clock, {}, {} } };
};

long ResidentBytes()
{
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLong() * sysconf(_SC_PAGESIZE) : 0;
}

// "Open" once the file is chosen: a fresh file list, its caption the file's title, every line
// read and listed.
void BM_OpenRecorderFile(benchmark::State& state)
{
    const QString path = SharedFixture().recorderFile;
    Services services;
    for (auto _ : state) {
        OpenDataFileIntoList(path, services.lists, services.prompts, services.clock, nullptr);
        const FileList* list = services.lists.fileList();
        if (!list || list->model().rowCount() != kRows || list->windowTitle() != "full.nblg"
            || !services.prompts.messages.isEmpty())
            state.SkipWithError("file list incomplete");
        state.PauseTiming();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}

// The floor: read the same file and split it into lines and fields, nothing kept.
void BM_ReadAndSplitFloor(benchmark::State& state)
{
    const QString path = SharedFixture().recorderFile;
    for (auto _ : state) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        const QByteArray bytes = file.readAll();
        qint64 fields = 0;
        const char* p = bytes.constData();
        const char* end = p + bytes.size();
        while (p < end) {
            const auto* nl = static_cast<const char*>(std::memchr(p, '\n', end - p));
            const char* lineEnd = nl ? nl : end;
            for (const char* f = p; f < lineEnd;) {
                const auto* tab = static_cast<const char*>(std::memchr(f, '\t', lineEnd - f));
                ++fields;
                f = tab ? tab + 1 : lineEnd;
            }
            p = lineEnd + 1;
        }
        benchmark::DoNotOptimize(fields);
    }
}

// "Save" of a list that holds 34,800 rows.
void BM_SaveFullList(benchmark::State& state)
{
    Services services;
    FileList* list = services.lists.openFileList();
    LoadDataFile(SharedFixture().recorderFile, list->model(), *list, services.clock);
    services.state.DataFileName = SharedFixture().dir.filePath("saved.nblg");
    for (auto _ : state) {
        services.state.FileChosen = true;
        if (!SaveGridToFile(*list, list->model().rows(), services.state, services.clock))
            state.SkipWithError("save failed");
    }
}

// "Print" of a list that holds 34,800 rows, into a PDF (about 390 pages).
void BM_PrintFullList(benchmark::State& state)
{
    Services services;
    FileList* list = services.lists.openFileList();
    LoadDataFile(SharedFixture().recorderFile, list->model(), *list, services.clock);
    FakePrinterProvider pdf(SharedFixture().dir.filePath("printed.pdf"));
    for (auto _ : state) {
        GridPrintJob* job = PrintGrid(*list, list->model().rows(), pdf, services.clock, {});
        if (!job) {
            state.SkipWithError("print failed");
            break;
        }
        bool done = false;
        QObject::connect(job, &GridPrintJob::finished, [&done] { done = true; });
        while (!done)
            QCoreApplication::processEvents();
    }
}

// One sampling tick with the live list at 34,800 rows (arg 1: also recording to a file).
void BM_RecorderTickFullList(benchmark::State& state)
{
    Services services;
    DataFileHandle file;
    NoRecorderLabels labels;
    Recorder recorder(
        services.state, services.clock, file, [] { return kTexts; }, labels, services.lists);
    services.state.SamplingSeconds = 1;
    List* list = services.lists.openLiveList();
    for (int i = 1; i <= kRows; ++i)
        list->addSampleRow(QString::number(i) + '\t' + RecordText(i));
    QCoreApplication::processEvents();
    services.state.ListRowCount = kRows + 1; // the next dump is 34,799 samples away
    if (state.range(0)) {
        file.open(SharedFixture().dir.filePath("recording.nblg"));
        file.writeLine(HeaderLine());
        services.state.Recording = true;
    }
    for (auto _ : state) {
        recorder.tick();
        if (services.state.ListRowCount % Recorder::kSplitSize == 0)
            state.SkipWithError("dump reached");
    }
    state.counters["rows"] = list->model().rowCount();
}

// Resident memory of a live list and a file list of 34,800 rows each, above the same two
// windows empty.
void BM_MemoryOfTwoFullLists(benchmark::State& state)
{
    for (auto _ : state) {
        Services services;
        List* live = services.lists.openLiveList();
        FileList* file = services.lists.openFileList();
        QCoreApplication::processEvents();
        live->grab();
        file->grab();
        const long before = ResidentBytes();
        for (int i = 1; i <= kRows; ++i)
            live->addSampleRow(QString::number(i) + '\t' + RecordText(i));
        LoadDataFile(SharedFixture().recorderFile, file->model(), *file, services.clock);
        QCoreApplication::processEvents();
        live->grab();
        file->grab();
        const long after = ResidentBytes();
        state.counters["MB_above_empty"] = double(after - before) / (1024.0 * 1024.0);
        state.counters["rows_held_MB"]
            = double(live->model().rows().byteSize() + file->model().rows().byteSize())
            / (1024.0 * 1024.0);
    }
}

} // namespace

BENCHMARK(BM_OpenRecorderFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAndSplitFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveFullList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintFullList)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_RecorderTickFullList)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemoryOfTwoFullLists)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
