// The indoor-air report: a recording part of 34,800 records to PDF and to JSON, and a week at
// one sample a second (604,800 records in 18 files) to PDF. The files are made in a temporary
// folder first.
#include "report/reportbuilder.h"
#include "report/reportjson.h"
#include "report/reportpages.h"
#include "report/reportsources.h"
#include "reportdata.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace
{
QTemporaryDir* g_dir = nullptr;
QStringList g_part;
QStringList g_week;

ReportFigures Figures(const QStringList& paths)
{
    ReportSettings settings;
    settings.title = QStringLiteral("Bench");
    settings.firstDate = QDate(2026, 12, 7);
    ReportBuilder builder(settings);
    QString error;
    if (!ReadDataFiles(paths, false, builder, &error))
        qFatal("%s", qPrintable(error));
    return builder.finish();
}

void Pdf(benchmark::State& state, const QStringList& paths)
{
    const QString pdf = g_dir->filePath(QStringLiteral("bench.pdf"));
    for (auto _ : state) {
        const ReportFigures figures = Figures(paths);
        QString error;
        if (!WriteReportPdf(figures, pdf, &error))
            qFatal("%s", qPrintable(error));
    }
    state.counters["records"] = double(Figures(paths).records);
}

void BM_PartToPdf(benchmark::State& state)
{
    Pdf(state, g_part);
}
BENCHMARK(BM_PartToPdf)->Unit(benchmark::kMillisecond);

void BM_PartToJson(benchmark::State& state)
{
    for (auto _ : state) {
        const QByteArray json = ReportJson(Figures(g_part));
        benchmark::DoNotOptimize(json.constData());
    }
}
BENCHMARK(BM_PartToJson)->Unit(benchmark::kMillisecond);

void BM_WeekToPdf(benchmark::State& state)
{
    Pdf(state, g_week);
}
BENCHMARK(BM_WeekToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    g_dir = &dir;
    g_part = WriteRecording(dir.path(), QStringLiteral("part"), 34800);
    g_week = WriteRecording(dir.path(), QStringLiteral("week"), 604800);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
