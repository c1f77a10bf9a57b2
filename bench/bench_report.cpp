// The indoor-air report: a recording part of 34,800 records to PDF and to JSON, and a week at
// one sample a second (604,800 records in 18 files) to PDF, without and with a dates file beside
// each part. The files are made in a temporary folder first.
#include "recording/recordingdates.h"
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
QStringList g_datedWeek;

// A dates file beside each part of a week from 2026-12-07 08:00:00 at one record a second, as
// the recorder writes them: the part's first record, and in the third part the meter silent for
// a minute.
void WriteWeekDates(const QStringList& parts, qint64 perFile = 34800)
{
    const QDateTime start(QDate(2026, 12, 7), QTime(8, 0), Qt::OffsetFromUTC, 3600);
    for (qsizetype p = 0; p < parts.size(); ++p) {
        RecordingDates dates;
        dates.firstRecord = 1 + p * perFile;
        dates.firstAt = start.addSecs(p * perFile);
        dates.interval = 1;
        dates.port = QStringLiteral("COM1");
        const auto event = [&](DatesEvent::Kind kind, qint64 record) {
            dates.events.push_back({ kind, record, start.addSecs(record - 1), 0, 0 });
        };
        event(
            p == 0 ? DatesEvent::Kind::Started : DatesEvent::Kind::PartStarted, dates.firstRecord);
        if (p == 2) {
            event(DatesEvent::Kind::MeterSilent, dates.firstRecord + 1000);
            event(DatesEvent::Kind::Reconnected, dates.firstRecord + 1060);
        }
        QString error;
        if (!WriteDatesFile(parts[p], dates, &error))
            qFatal("%s", qPrintable(error));
    }
}

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

void BM_DatedWeekToPdf(benchmark::State& state)
{
    Pdf(state, g_datedWeek);
}
BENCHMARK(BM_DatedWeekToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);
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
    g_datedWeek = WriteRecording(dir.path(), QStringLiteral("dated"), 604800);
    WriteWeekDates(g_datedWeek);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
