#include "fahrenheit.h"

#include "numbertext.h"

#include <QString>

namespace
{

// The decimal that value's 15-digit text shows, as digits x 10^-scale; false where it does not
// fit the conversions' whole-number arithmetic (beyond 1e16 digits or 15 decimals).
bool DecimalOf(double value, long long* digits, long long* scale)
{
    const QString text = PlainText(value);
    long long n = 0;
    long long unit = 1;
    bool point = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('-') || c == QLatin1Char('.')) {
            point = point || c == QLatin1Char('.');
            continue;
        }
        if (c < QLatin1Char('0') || c > QLatin1Char('9') || n >= 1000000000000000LL)
            return false;
        n = n * 10 + (c.unicode() - '0');
        if (point) {
            if (unit >= 1000000000000000LL)
                return false;
            unit *= 10;
        }
    }
    *digits = text.startsWith(QLatin1Char('-')) ? -n : n;
    *scale = unit;
    return true;
}

// floor(a / b) for b > 0.
long long FloorDiv(long long a, long long b)
{
    const long long q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

} // namespace

double CelsiusToFahrenheitTenth(double celsius)
{
    long long n = 0;
    long long unit = 1;
    if (!DecimalOf(celsius, &n, &unit))
        return FloorToTenth(ReadingFahrenheit(celsius));
    // 10 F = 18 C + 320, with C = n / unit.
    return static_cast<double>(FloorDiv(18 * n + 320 * unit, unit)) / 10.0;
}

double FahrenheitToCelsiusTenth(double fahrenheit)
{
    long long n = 0;
    long long unit = 1;
    if (!DecimalOf(fahrenheit, &n, &unit))
        return FloorToTenth((fahrenheit - 32) * 5 / 9);
    // 10 C = (F - 32) x 50 / 9, with F = n / unit.
    return static_cast<double>(FloorDiv((n - 32 * unit) * 50, 9 * unit)) / 10.0;
}
