#include "liveframewatch.h"

#include "frames.h"

void LiveFrameWatch::reset()
{
    m_filled = 0;
    m_next = 0;
    m_seen = false;
}

bool LiveFrameWatch::take(const QByteArray& bytes)
{
    for (const char c : bytes) {
        if (m_seen)
            break;
        m_window[m_next] = static_cast<unsigned char>(c);
        m_next = (m_next + 1) % kWindow;
        if (m_filled < kWindow)
            ++m_filled;
        // Only a window that starts with 02 can hold frames from its first byte on.
        if (m_filled == kWindow && m_window[m_next] == 0x02)
            m_seen = windowIsLiveFrames();
    }
    return m_seen;
}

bool LiveFrameWatch::windowIsLiveFrames() const
{
    for (int frame = 0; frame < kFramesInARow; ++frame) {
        const int first = (m_next + frame * kLiveFrameLength) % kWindow;
        const int last = (first + kLiveFrameLength - 1) % kWindow;
        if (m_window[first] != 0x02 || m_window[last] != 0x03)
            return false;
    }
    return true;
}
