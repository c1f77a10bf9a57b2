#pragma once

// Dew point and wet-bulb temperature from air temperature (degrees Celsius) and relative
// humidity (percent, below 100). ok is false when a step fails: the logarithm of zero for a
// humidity of 0, a temperature at or below absolute zero.
struct DewWetResult {
    bool ok = false;
    double celsius = 0.0;
    double fahrenheit = 0.0;
};

// Saturation vapour pressure over water in Pa at absolute temperature kelvin (Wexler);
// ok false outside the formula's domain.
struct Pressure {
    bool ok = false;
    double pa = 0.0;
};
Pressure SaturationPressure(double kelvin);

// Inverted Magnus formula on the actual vapour pressure.
DewWetResult DewPoint(double celsius, double humidity);

// The wet bulb as the psychrometer search defines it: stepping d down from 0 by repeated
// subtraction of 0.01 until the actual vapour pressure lies between the pressures that wet
// bulbs at t + d and t + d - 0.1 imply; the answer is t + d + 0.01 after the last pass.
// This finds the same pass by bisection over the step index, with the d values made by that
// same subtraction, so it needs a few dozen evaluations instead of thousands.
DewWetResult WetBulb(double celsius, double humidity);

// The step-by-step search itself, pass by pass; kept as the reference the fast one must equal.
DewWetResult WetBulbByStepping(double celsius, double humidity);
