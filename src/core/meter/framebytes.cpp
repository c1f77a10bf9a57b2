#include "framebytes.h"

#include "protocol.h"

namespace
{
void AppendWord(QByteArray& bytes, quint16 word)
{
    bytes.append(char(word >> 8));
    bytes.append(char(word & 0xFF));
}
} // namespace

QByteArray LiveFrameBytes(
    quint16 co2, quint16 humidityTenths, quint16 temperatureWord, quint8 status)
{
    QByteArray frame;
    frame.reserve(kLiveFrameLength);
    frame.append(kLiveFrameStart);
    frame.append(char(status));
    AppendWord(frame, co2);
    AppendWord(frame, humidityTenths);
    AppendWord(frame, temperatureWord);
    frame.append(kLiveFrameEnd);
    return frame;
}

QByteArray SignatureBytes(quint8 setCount, quint32 writeAddress)
{
    QByteArray frame;
    frame.reserve(kSignatureLength);
    for (int i = 0; i < kSignatureMarkLength; ++i)
        frame.append(char(i % 2 == 0 ? 0xAA : 0x55));
    frame.append(char(setCount));
    frame.append(char((writeAddress >> 16) & 0xFF));
    frame.append(char((writeAddress >> 8) & 0xFF));
    frame.append(char(writeAddress & 0xFF));
    return frame;
}
