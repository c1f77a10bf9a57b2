#include "numbertext.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>

QString PlainText(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-Infinity") : QStringLiteral("Infinity");
    if (value == 0.0)
        return QStringLiteral("0");

    // 15 significant digits as d.dddddddddddddde+XX, then placed without an exponent; all on
    // the stack, as the decoding writes four of these texts for every frame and logged record.
    // to_chars ignores the C locale, which Qt sets from the user's settings.
    char scientific[32];
    const auto written = std::to_chars(
        scientific, scientific + sizeof scientific, value, std::chars_format::scientific, 14);
    const bool negative = scientific[0] == '-';
    const char* p = scientific + (negative ? 1 : 0);
    // The digits: one before the point, fourteen after it; then "e", a sign and the exponent.
    char digits[15];
    digits[0] = p[0];
    std::memcpy(digits + 1, p + 2, 14);
    int exponent = 0;
    for (const char* e = p + 18; e < written.ptr; ++e)
        exponent = exponent * 10 + (*e - '0');
    if (p[17] == '-')
        exponent = -exponent;
    int count = 15;
    while (count > 1 && digits[count - 1] == '0')
        --count;

    // At most a sign, "0.", 323 zeros and 15 digits (the smallest subnormal numbers).
    char text[352];
    int n = 0;
    if (negative)
        text[n++] = '-';
    if (exponent < 0) {
        std::memcpy(text + n, "0.", 2);
        std::memset(text + n + 2, '0', static_cast<size_t>(-exponent - 1));
        n += 1 - exponent;
        std::memcpy(text + n, digits, static_cast<size_t>(count));
        n += count;
    } else if (exponent + 1 >= count) {
        std::memcpy(text + n, digits, static_cast<size_t>(count));
        std::memset(text + n + count, '0', static_cast<size_t>(exponent + 1 - count));
        n += exponent + 1;
    } else {
        std::memcpy(text + n, digits, static_cast<size_t>(exponent + 1));
        text[n + exponent + 1] = '.';
        std::memcpy(text + n + exponent + 2, digits + exponent + 1,
            static_cast<size_t>(count - exponent - 1));
        n += count + 1;
    }
    return QString::fromLatin1(text, n);
}

QString OneDecimalText(const QString& text)
{
    const int comma = text.indexOf(QLatin1Char(','));
    if (comma >= 0)
        return text.left(comma) + QLatin1Char('.') + text.mid(comma + 1, 1);
    const int point = text.indexOf(QLatin1Char('.'));
    if (point >= 0)
        return text.left(point + 2);
    return text + QStringLiteral(".0");
}

double LeadingNumber(const QString& text)
{
    // Read in place (no Latin-1 copy: lists and graphs read hundreds of thousands of cells); a
    // character outside Latin-1 stops the number like any other that cannot continue it.
    const QChar* chars = text.constData();
    const qsizetype n = text.size();
    const auto s = [chars](qsizetype k) { return chars[k].unicode(); };
    const auto digit = [&](qsizetype k) { return s(k) >= u'0' && s(k) <= u'9'; };
    qsizetype i = 0;
    while (i < n && (s(i) == u' ' || s(i) == u'\t'))
        ++i;
    std::string number;
    const auto take
        = [&](std::string& into, qsizetype& k) { into.push_back(static_cast<char>(s(k++))); };
    if (i < n && (s(i) == u'+' || s(i) == u'-'))
        take(number, i);
    bool anyDigit = false;
    while (i < n && digit(i)) {
        take(number, i);
        anyDigit = true;
    }
    if (i < n && s(i) == u'.') {
        take(number, i);
        while (i < n && digit(i)) {
            take(number, i);
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return 0.0;
    if (i < n && (s(i) == u'e' || s(i) == u'E' || s(i) == u'd' || s(i) == u'D')) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < n && (s(j) == u'+' || s(j) == u'-'))
            take(exponent, j);
        bool exponentDigit = false;
        while (j < n && digit(j)) {
            take(exponent, j);
            exponentDigit = true;
        }
        if (exponentDigit)
            number += exponent;
    }
    double value = 0.0;
    const char* first = number.c_str();
    if (*first == '+')
        ++first; // from_chars takes no plus sign
    const auto parsed = std::from_chars(first, number.c_str() + number.size(), value);
    if (parsed.ec != std::errc())
        return 0.0;
    return std::isfinite(value) ? value : 0.0;
}

double ExactTenths(double value)
{
    // The text rounds value to a multiple of 10^(e-14), e being its decimal exponent, and a
    // value within 4e-16 x |value| of n tenths is well inside half of that.
    const double n = std::nearbyint(value * 10.0);
    if (std::fabs(n) < 1e12 && std::fabs(value - n / 10.0) <= 4e-16 * std::fabs(value))
        return n;
    return std::nan("");
}

double FlooredTenths(double value)
{
    const double x = value * 10.0;
    if (!std::isfinite(x))
        return x;
    // Rounding to 15 digits moves value by at most 5e-15 x |value|, so tenths far from a whole
    // number floor the same either way; only the rest need the text.
    if (std::fabs(x) < 1e12 && std::fabs(x - std::nearbyint(x)) > 1e-6)
        return std::floor(x);
    const double exact = ExactTenths(value);
    if (!std::isnan(exact))
        return exact;
    return std::floor(LeadingNumber(PlainText(value)) * 10.0);
}

double FloorToTenth(double value)
{
    return FlooredTenths(value) / 10.0;
}
