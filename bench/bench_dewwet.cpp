// Time per dew-point/wet-bulb computation: the bisecting search the program uses against the
// step-by-step search it must equal.
#include "meter/currentreading.h"
#include "meter/decoding.h"
#include "meter/dewwet.h"

#include <benchmark/benchmark.h>

namespace
{

void Fast(benchmark::State& state, double t, double h)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(WetBulb(t, h));
}

void Stepping(benchmark::State& state, double t, double h)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(WetBulbByStepping(t, h));
}

void WholeComputeDewWet(benchmark::State& state, double t, double h)
{
    CurrentReading reading;
    reading.TempC = TaggedValue::number(t);
    reading.TempF = TaggedValue::number(t * 9 / 5 + 32);
    reading.HumidityPct = TaggedValue::number(h);
    for (auto _ : state) {
        ComputeDewWet(reading);
        benchmark::DoNotOptimize(reading.WetC);
    }
}

} // namespace

BENCHMARK_CAPTURE(Fast, t25_h50, 25.0, 50.0);
BENCHMARK_CAPTURE(Stepping, t25_h50, 25.0, 50.0);
BENCHMARK_CAPTURE(Fast, t50_h5, 50.0, 5.0);
BENCHMARK_CAPTURE(Stepping, t50_h5, 50.0, 5.0);
BENCHMARK_CAPTURE(WholeComputeDewWet, t25_h50, 25.0, 50.0);
BENCHMARK_CAPTURE(WholeComputeDewWet, t50_h5, 50.0, 5.0);

BENCHMARK_MAIN();
