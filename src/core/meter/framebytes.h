#pragma once

#include <QByteArray>
#include <QtGlobal>

// The bytes a meter sends, built the one way for the virtual meter, the tests and the fuzz
// targets.

// A live frame: 02, the status, then CO2, humidity in tenths and the temperature word, each
// big-endian, then 03.
QByteArray LiveFrameBytes(
    quint16 co2, quint16 humidityTenths, quint16 temperatureWord, quint8 status = 0);

// The logger signature: the eleven bytes AA 55 ... AA, the set count, the write address in
// three bytes big-endian.
QByteArray SignatureBytes(quint8 setCount, quint32 writeAddress);
