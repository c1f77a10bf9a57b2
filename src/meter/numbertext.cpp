#include "numbertext.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
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

    // 15 significant digits as d.dddddddddddddde+XX, then placed without an exponent.
    // to_chars ignores the C locale, which Qt sets from the user's settings.
    char buffer[40];
    const auto written = std::to_chars(
        buffer, buffer + sizeof buffer - 1, value, std::chars_format::scientific, 14);
    *written.ptr = '\0';
    const char* p = buffer;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    std::string digits;
    for (; *p && *p != 'e'; ++p) {
        if (*p != '.')
            digits.push_back(*p);
    }
    const int exponent = std::atoi(p + 1);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string text;
    if (exponent < 0) {
        text = "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    } else if (static_cast<size_t>(exponent) + 1 >= digits.size()) {
        text = digits + std::string(static_cast<size_t>(exponent) + 1 - digits.size(), '0');
    } else {
        text = digits.substr(0, static_cast<size_t>(exponent) + 1) + "."
            + digits.substr(static_cast<size_t>(exponent) + 1);
    }
    if (negative)
        text.insert(text.begin(), '-');
    return QString::fromLatin1(text.c_str());
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
    const QByteArray bytes = text.toLatin1();
    const char* s = bytes.constData();
    const int n = bytes.size();
    int i = 0;
    while (i < n && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    std::string number;
    if (i < n && (s[i] == '+' || s[i] == '-'))
        number.push_back(s[i++]);
    bool anyDigit = false;
    while (i < n && s[i] >= '0' && s[i] <= '9') {
        number.push_back(s[i++]);
        anyDigit = true;
    }
    if (i < n && s[i] == '.') {
        number.push_back(s[i++]);
        while (i < n && s[i] >= '0' && s[i] <= '9') {
            number.push_back(s[i++]);
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return 0.0;
    if (i < n && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        int j = i + 1;
        std::string exponent = "e";
        if (j < n && (s[j] == '+' || s[j] == '-'))
            exponent.push_back(s[j++]);
        bool exponentDigit = false;
        while (j < n && s[j] >= '0' && s[j] <= '9') {
            exponent.push_back(s[j++]);
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

double FloorToTenth(double value)
{
    return std::floor(value * 10.0) / 10.0;
}
