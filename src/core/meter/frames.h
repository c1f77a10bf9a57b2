#pragma once

#include "decoding.h"
#include "protocol.h"

#include <QByteArray>

#include <cstdint>

// What the acquisition tick has read, told apart by its first bytes.
enum class FrameKind {
    LiveReading, // 02, status, CO2, humidity and temperature pairs, 03
    Signature, // the logger dump's opening: AA 55 AA 55 AA 55 AA 55 AA 55 AA, N, A
    OutOfStep, // anything else
};

FrameKind ClassifyFrame(const QByteArray& bytes);

struct SignatureInfo {
    int setCount = 0; // N, 0 to 255
    quint32 writeAddress = 0; // A, the first free byte of the logger memory
};
// Valid only when ClassifyFrame gave Signature.
SignatureInfo ParseSignature(const QByteArray& bytes);

// The fields of a live reading frame (valid only for LiveReading).
ReadingFields LiveFrameFields(const QByteArray& bytes);
