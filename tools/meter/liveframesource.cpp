#include "liveframesource.h"

LiveFrameSource::LiveFrameSource(std::uint64_t seed)
    : m_drift(seed)
{
}

void LiveFrameSource::setFileFrames(std::vector<QByteArray> frames)
{
    m_fileFrames = std::move(frames);
    m_fileIndex = 0;
}

void LiveFrameSource::setOutOfStep(int count)
{
    m_outOfStepLeft = count > 0 ? count : 0;
    m_outOfStepSent = 0;
}

void LiveFrameSource::setMarkers(std::vector<FrameMarker> markers)
{
    m_markers = std::move(markers);
    m_markerTurn = 0;
}

QByteArray LiveFrameSource::outOfStepFrame(const QByteArray& frame, int index)
{
    if (frame.size() != RawReading::kLiveFrameSize)
        return frame;
    if (index % 2 == 0) {
        QByteArray broken = frame;
        broken[RawReading::kLiveFrameSize - 1] = char(0x00);
        return broken;
    }
    // Starts at the humidity pair, as a receiver that joined mid-frame would see it.
    return frame.mid(4) + frame.left(4);
}

QByteArray LiveFrameSource::nextFrame()
{
    if (!m_fileFrames.empty()) {
        const QByteArray frame = m_fileFrames[m_fileIndex];
        m_fileIndex = (m_fileIndex + 1) % m_fileFrames.size();
        return frame;
    }
    ++m_generated;
    RawReading reading = m_drift.next();
    if (!m_markers.empty() && m_generated % kMarkerEvery == 0) {
        // Marked frames alternate between odd and even numbers, and the program decodes every
        // other frame (it waits for 15 bytes, almost two frames, and then empties the buffer).
        // Taken strictly in turn, an even number of markers would always land the same ones on
        // the same parity; so after every two rounds of the list the turn moves on by one, and
        // each marker comes on frames of both parities.
        const std::size_t count = m_markers.size();
        const std::size_t index = (m_markerTurn + m_markerTurn / (2 * count)) % count;
        reading = reading.withMarker(m_markers[index]);
        ++m_markerTurn;
    }
    const QByteArray frame = reading.liveFrame();
    if (m_outOfStepLeft > 0) {
        --m_outOfStepLeft;
        return outOfStepFrame(frame, m_outOfStepSent++);
    }
    return frame;
}
