#pragma once

#include <QtGlobal>

// The meter's side of the serial line in numbers, for the program, the virtual meter, the tests
// and the fuzz targets alike.

// The link: 28800 baud, 8 data bits, no parity, 1 stop bit; a byte takes ten bits on the wire.
constexpr int kMeterBaudRate = 28800;
constexpr int kWireBitsPerByte = 10;
constexpr int kWireBytesPerSecond = kMeterBaudRate / kWireBitsPerByte;

// The acquisition tick (Timer1) and what it waits for before it looks at the bytes.
constexpr int kAcquisitionTickMs = 150;
constexpr int kBytesForAFrame = 15;

// The live frame: 02, status, CO2, humidity and temperature pairs, 03.
constexpr int kLiveFrameLength = 9;
constexpr char kLiveFrameStart = 0x02;
constexpr char kLiveFrameEnd = 0x03;

// The logger signature that opens a dump: AA 55 AA 55 AA 55 AA 55 AA 55 AA, then the set count
// N and the three bytes of the write address A, big-endian.
constexpr int kSignatureMarkLength = 11;
constexpr int kSignatureLength = 15;

// The logger's memory: sets stored back to back from address 1280 upward, 129536 bytes in all;
// each set an 8-byte header and then 8 bytes a record.
constexpr quint32 kLoggerFirstAddress = 1280;
constexpr qint64 kLoggerCapacityBytes = 129536;
constexpr int kSetHeaderBytes = 8;
constexpr int kRecordBytes = 8;
