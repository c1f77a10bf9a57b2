#pragma once

#include "meter/protocol.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

// A marker the meter can put into a reading in place of a value.
enum class FrameMarker {
    TempOver, // temperature word 40 00: over range
    TempUnder, // temperature word C0 00: under range
    Co2Over, // CO2 above 6000 ppm
    NoData, // status bit 7: no temperature/humidity reading
};

// One reading as the meter encodes it on the wire: the status byte and the three 16-bit fields
// that both the live frame and the logged record carry.
struct RawReading {
    std::uint8_t status = 0;
    std::uint16_t co2 = 0; // ppm
    std::uint16_t humidityTenths = 0; // tenths of a percent
    std::uint16_t temperatureWord
        = 0; // bit 15 sign, bit 14 overload, bits 13..0 tenths of a degree

    static constexpr std::uint16_t kOverloadWord = 0x4000;
    static constexpr std::uint16_t kUnderloadWord = 0xC000;
    static constexpr std::uint16_t kCo2OverPpm = 6001;
    static constexpr std::uint8_t kNoDataStatus = 0x80;
    static constexpr int kLiveFrameSize = kLiveFrameLength;
    static constexpr int kRecordSize = kRecordBytes;

    // Temperature word for a value in tenths of a degree Celsius; magnitudes beyond the 14-bit
    // field become the overload word of the same sign.
    static std::uint16_t encodeTemperature(int tenthsC);

    // The 9-byte live frame: 02, status, CO2, humidity and temperature pairs, 03.
    QByteArray liveFrame() const;
    // The 8-byte logged record: status, an unused byte, then the same three pairs.
    QByteArray loggedRecord() const;
    // The same reading carrying the given marker.
    RawReading withMarker(FrameMarker marker) const;
};

// Parses "tover,tunder,co2over,nodata" (any order, repeats allowed; "" and "none" give an empty
// list). On a bad name returns false and names it in *error.
bool parseMarkerList(const QString& text, std::vector<FrameMarker>* markers, QString* error);
QString markerName(FrameMarker marker);
