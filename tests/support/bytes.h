#pragma once

#include <QByteArray>

#include <initializer_list>

// Bytes written as numbers: Bytes({ 0x00, 0x02, 0x12 }).
inline QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int v : values)
        bytes.append(char(v));
    return bytes;
}
