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
    m_markerIndex = 0;
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
        reading = reading.withMarker(m_markers[m_markerIndex]);
        m_markerIndex = (m_markerIndex + 1) % m_markers.size();
    }
    const QByteArray frame = reading.liveFrame();
    if (m_outOfStepLeft > 0) {
        --m_outOfStepLeft;
        return outOfStepFrame(frame, m_outOfStepSent++);
    }
    return frame;
}
