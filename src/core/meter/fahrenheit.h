#pragma once

// Celsius to Fahrenheit, in the forms the program uses. The two exact forms give the same value
// on every tenth the meter sends, but not on every dew point and wet bulb: a wet bulb of
// -15.500000000000002 C is 4.09999999999999 F by the one and 4.1 F by the other, so its
// texts, and the tenth they are cut to, differ. Each form stays with what it converts.

// The meter's temperature: C x 9 / 5 + 32.
inline double ReadingFahrenheit(double celsius)
{
    return celsius * 9 / 5 + 32;
}

// Dew point and wet bulb: C x 1.8 + 32.
inline double DewWetFahrenheit(double celsius)
{
    return celsius * 1.8 + 32;
}

// A temperature converted to the other unit and rounded down to one decimal, as the alarm
// limits and the graphs' ranges are: C x 9 / 5 + 32 and (F - 32) x 5 / 9, worked out on the
// decimal the value's 15-digit text shows, so a typed 33.8 F gives 1.0 C (binary arithmetic
// alone gives 0.99999999999999845 and so 0.9). On every tenth of a degree Celsius,
// CelsiusToFahrenheitTenth equals either exact form rounded down to one decimal.
double CelsiusToFahrenheitTenth(double celsius);
double FahrenheitToCelsiusTenth(double fahrenheit);
