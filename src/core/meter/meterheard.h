#pragma once

#include <QByteArray>

// What listening to a port has told about it so far.
enum class Heard {
    Nothing, // no meter frame yet (silence, a partial frame, or not enough to tell)
    Meter, // the bytes are meter frames
    Sure, // meter frames, enough of them to stop listening
    NotAMeter, // a flood of other bytes: no need to listen longer
};

// Bytes heard on a port, for at most this long at the start of listening.
constexpr int kMostBytesHeard = 4096;

// Judges the bytes heard on a port. A meter sends 9-byte live frames (02 ... 03) and nothing
// between them but the cut-off piece of a frame at the start or the end, or a logger
// signature; a line that carries other bytes, however many chance frames they hold, is no
// meter. Two clean frames, or a signature, are enough to be sure.
Heard JudgeHeardBytes(const QByteArray& bytes);
