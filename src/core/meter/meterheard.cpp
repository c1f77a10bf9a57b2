#include "meterheard.h"

#include "frames.h"

namespace
{
bool LiveFrameAt(const QByteArray& bytes, int at)
{
    return at + kLiveFrameLength <= bytes.size() && quint8(bytes[at]) == 0x02
        && quint8(bytes[at + kLiveFrameLength - 1]) == 0x03;
}
} // namespace

Heard JudgeHeardBytes(const QByteArray& bytes)
{
    for (int at = 0; at + kSignatureLength <= bytes.size(); ++at) {
        if (quint8(bytes[at]) == 0xAA
            && ClassifyFrame(bytes.mid(at, kSignatureLength)) == FrameKind::Signature)
            return Heard::Sure;
    }
    int frames = 0;
    int other = 0;
    for (int at = 0; at < bytes.size();) {
        if (LiveFrameAt(bytes, at)) {
            ++frames;
            at += kLiveFrameLength;
        } else {
            ++other;
            ++at;
        }
    }
    // Allowed besides whole frames: a cut piece before the first and after the last one, and
    // a stray byte now and then.
    const bool clean = frames > 0 && other <= 2 * (kLiveFrameLength - 1) + frames;
    if (clean)
        return frames >= 2 ? Heard::Sure : Heard::Meter;
    if (bytes.size() >= kMostBytesHeard)
        return Heard::NotAMeter;
    return Heard::Nothing;
}
