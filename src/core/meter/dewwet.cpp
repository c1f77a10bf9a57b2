#include "dewwet.h"

#include "fahrenheit.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{

constexpr double kG0 = -2991.2729;
constexpr double kG1 = -6017.0128;
constexpr double kG2 = 18.87643854;
constexpr double kG3 = -0.028354721;
constexpr double kG4 = 1.7838301e-5;
constexpr double kG5 = -8.4150417e-10;
constexpr double kG6 = 4.4412543e-13;
constexpr double kG7 = 2.858487;

constexpr double kPsychrometer = 0.000662; // per kelvin
constexpr double kPressure = 101325.0; // Pa
constexpr double kStep = 0.01;

// The search subtracts 0.01 from d until the temperature passes absolute zero; the hottest
// decodable reading (1638.3 C) needs a little over 191,000 steps.
constexpr int kMaxSteps = 200000;

// d after k passes, made by the same repeated subtraction as the search.
const std::vector<double>& StepTable()
{
    static const std::vector<double> table = [] {
        std::vector<double> d(kMaxSteps + 1);
        double value = 0.0;
        for (double& entry : d) {
            entry = value;
            value = value - kStep;
        }
        return d;
    }();
    return table;
}

double ActualPressure(double humidity, double saturation)
{
    return humidity * saturation * 0.01;
}

// The two pressures of one pass of the search at offset d.
struct Pass {
    bool ok = false;
    double e1 = 0.0;
    double e2 = 0.0;
};

Pass EvaluatePass(double kelvin, double d)
{
    Pass pass;
    const Pressure upper = SaturationPressure(kelvin + d);
    if (!upper.ok)
        return pass;
    const Pressure lower = SaturationPressure(kelvin + d - 0.1);
    if (!lower.ok)
        return pass;
    pass.e1 = upper.pa + kPsychrometer * kPressure * d;
    pass.e2 = lower.pa + kPsychrometer * kPressure * (d - 0.1);
    pass.ok = std::isfinite(pass.e1) && std::isfinite(pass.e2);
    return pass;
}

bool Stops(const Pass& pass, double e)
{
    return pass.e1 == e || (e - pass.e1) * (e - pass.e2) <= 0;
}

DewWetResult WetResult(double celsius, double dAfterLastPass)
{
    DewWetResult result;
    result.celsius = celsius + dAfterLastPass + 0.01;
    result.fahrenheit = DewWetFahrenheit(result.celsius);
    result.ok = std::isfinite(result.celsius) && std::isfinite(result.fahrenheit);
    return result;
}

// The air's absolute temperature and actual vapour pressure, where both searches begin.
struct SearchStart {
    bool ok = false;
    double kelvin = 0.0;
    double e = 0.0;
};

SearchStart StartSearch(double celsius, double humidity)
{
    SearchStart start;
    start.kelvin = celsius + 273.15;
    const Pressure es = SaturationPressure(start.kelvin);
    if (!es.ok)
        return start;
    start.e = ActualPressure(humidity, es.pa);
    start.ok = std::isfinite(start.e);
    return start;
}

// Where the search will stop, to start looking there: the offset d at which the lower pressure
// of a pass equals e, by Newton's method on the same formula and its slope. Both fall as d
// falls and bend the same way, so a few steps come within a step of the search; the search's
// own passes then decide. False where the guess goes astray.
bool GuessStop(double kelvin, double e, double* d)
{
    double x = 0;
    for (int i = 0; i < 8; ++i) {
        const double T = kelvin + x - 0.1;
        const Pressure p = SaturationPressure(T);
        if (!p.ok)
            return false;
        const double slope = p.pa
                * (-2 * kG0 / (T * T * T) - kG1 / (T * T) + kG3 + 2 * kG4 * T + 3 * kG5 * T * T
                    + 4 * kG6 * T * T * T + kG7 / T)
            + kPsychrometer * kPressure;
        const double f = p.pa + kPsychrometer * kPressure * (x - 0.1) - e;
        if (!(slope > 0) || !std::isfinite(f))
            return false;
        const double step = f / slope;
        x -= step;
        if (std::fabs(step) < 0.001)
            break;
    }
    *d = x;
    return std::isfinite(x);
}

} // namespace

Pressure SaturationPressure(double T)
{
    Pressure p;
    if (!(T > 0) || !std::isfinite(T))
        return p;
    const double exponent = kG0 / std::pow(T, 2) + kG1 / T + kG2 + kG3 * T + kG4 * std::pow(T, 2)
        + kG5 * std::pow(T, 3) + kG6 * std::pow(T, 4) + kG7 * std::log(T);
    p.pa = std::exp(exponent);
    p.ok = std::isfinite(p.pa);
    return p;
}

DewWetResult DewPoint(double celsius, double humidity)
{
    DewWetResult result;
    const Pressure es = SaturationPressure(celsius + 273.15);
    if (!es.ok)
        return result;
    const double e = ActualPressure(humidity, es.pa);
    const double ratio = e / 611.2;
    if (!(ratio > 0) || !std::isfinite(ratio))
        return result;
    const double x = std::log(ratio);
    const double denominator = 17.62 - x;
    if (denominator == 0)
        return result;
    result.celsius = 243.12 * x / denominator;
    result.fahrenheit = DewWetFahrenheit(result.celsius);
    result.ok = std::isfinite(result.celsius) && std::isfinite(result.fahrenheit);
    return result;
}

DewWetResult WetBulbByStepping(double celsius, double humidity)
{
    const SearchStart start = StartSearch(celsius, humidity);
    if (!start.ok)
        return {};
    const double kelvin = start.kelvin;
    const double e = start.e;
    double d = 0;
    for (;;) {
        const Pass pass = EvaluatePass(kelvin, d);
        if (!pass.ok)
            return {};
        d = d - kStep;
        if (Stops(pass, e))
            return WetResult(celsius, d);
    }
}

DewWetResult WetBulb(double celsius, double humidity)
{
    const SearchStart start = StartSearch(celsius, humidity);
    if (!start.ok)
        return {};
    const double kelvin = start.kelvin;
    const double e = start.e;
    const std::vector<double>& d = StepTable();

    // The first pass that fails: the lower temperature of the pass reaches absolute zero.
    // Temperatures fall with every pass, so a bisection over the table finds it.
    auto fails = [&](int k) { return !(kelvin + d[k] - 0.1 > 0); };
    int failing = kMaxSteps;
    if (fails(kMaxSteps)) {
        int lo = 0, hi = kMaxSteps;
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            if (fails(mid))
                hi = mid;
            else
                lo = mid + 1;
        }
        failing = lo;
    } else {
        return WetBulbByStepping(celsius, humidity); // beyond the table: step it out
    }

    // Both pressures of a pass fall as d falls and the upper one always exceeds the lower, so
    // the search stops at the first pass whose lower pressure is at or below e. The last few
    // passes looked at are kept, as the confirmation below looks at them again.
    struct Seen {
        int k = -1;
        Pass pass;
    } seen[4];
    int seenNext = 0;
    auto passAt = [&](int k) {
        for (const Seen& s : seen)
            if (s.k == k)
                return s.pass;
        seen[seenNext] = { k, EvaluatePass(kelvin, d[k]) };
        const Pass pass = seen[seenNext].pass;
        seenNext = (seenNext + 1) % 4;
        return pass;
    };
    // Passes from `failing` on count as reached: the search never gets past them.
    auto reached = [&](int k) {
        if (k >= failing)
            return true;
        const Pass pass = passAt(k);
        return !pass.ok || pass.e2 <= e;
    };
    // The first pass reached: walked to from the guess when it is close, else by bisection.
    int lo = -1;
    double guess = 0;
    if (GuessStop(kelvin, e, &guess)) {
        constexpr int kWalk = 8;
        int k
            = static_cast<int>(std::min<double>(failing, std::max(0.0, std::ceil(-guess / kStep))));
        if (reached(k)) {
            for (int walked = 0; walked < kWalk && k > 0 && reached(k - 1); ++walked)
                --k;
            if (k == 0 || !reached(k - 1))
                lo = k;
        } else {
            for (int walked = 0; walked < kWalk && !reached(k); ++walked)
                ++k;
            if (reached(k))
                lo = k;
        }
    }
    if (lo < 0) {
        lo = 0;
        int hi = failing;
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            if (reached(mid))
                hi = mid;
            else
                lo = mid + 1;
        }
    }
    if (lo >= failing)
        return {}; // the stepping search would have run into absolute zero
    // Confirm with the stepping search's own test on the pass found and the one before it.
    const Pass found = passAt(lo);
    const bool previousStops = lo > 0 && Stops(passAt(lo - 1), e);
    if (!found.ok || !Stops(found, e) || previousStops)
        return WetBulbByStepping(celsius, humidity);
    return WetResult(celsius, d[lo + 1]);
}
