#include "frames.h"

namespace
{
uint8_t ByteAt(const QByteArray& bytes, int index)
{
    return static_cast<uint8_t>(bytes.at(index));
}
} // namespace

FrameKind ClassifyFrame(const QByteArray& bytes)
{
    if (bytes.size() >= kSignatureMarkLength) {
        bool signature = true;
        for (int i = 0; i < kSignatureMarkLength && signature; ++i)
            signature = ByteAt(bytes, i) == (i % 2 == 0 ? 0xAA : 0x55);
        if (signature)
            return FrameKind::Signature;
    }
    if (bytes.size() >= kLiveFrameLength && bytes.at(0) == kLiveFrameStart
        && bytes.at(kLiveFrameLength - 1) == kLiveFrameEnd)
        return FrameKind::LiveReading;
    return FrameKind::OutOfStep;
}

SignatureInfo ParseSignature(const QByteArray& bytes)
{
    SignatureInfo info;
    // The tick reads at least 15 bytes, so N and A are always there; a short text reads as 0.
    if (bytes.size() >= 12)
        info.setCount = ByteAt(bytes, 11);
    if (bytes.size() >= kSignatureLength)
        info.writeAddress = (quint32(ByteAt(bytes, 12)) << 16) | (quint32(ByteAt(bytes, 13)) << 8)
            | ByteAt(bytes, 14);
    return info;
}

ReadingFields LiveFrameFields(const QByteArray& bytes)
{
    ReadingFields f;
    f.status = ByteAt(bytes, 1);
    f.co2High = ByteAt(bytes, 2);
    f.co2Low = ByteAt(bytes, 3);
    f.humidityHigh = ByteAt(bytes, 4);
    f.humidityLow = ByteAt(bytes, 5);
    f.temperatureHigh = ByteAt(bytes, 6);
    f.temperatureLow = ByteAt(bytes, 7);
    return f;
}
