#pragma once

#include "rawreading.h"
#include "readingdrift.h"

#include <QByteArray>

#include <vector>

// Where the live frames come from: drifting readings, or the frames of a file played in a
// cycle. Generated frames can be sent out of step for a while, and now and then carry a marker.
class LiveFrameSource
{
public:
    // Every 5th generated frame carries a marker: the markers of the list in turn, the turn
    // moving on by one more after every two rounds, so that each marker comes on odd and even
    // frame numbers alike.
    static constexpr int kMarkerEvery = 5;

    explicit LiveFrameSource(std::uint64_t seed);

    // Plays these frames, as given, in a cycle instead of generated readings.
    void setFileFrames(std::vector<QByteArray> frames);
    // The next `count` generated frames are out of step.
    void setOutOfStep(int count);
    // Markers to spread over the generated frames, taken in turn.
    void setMarkers(std::vector<FrameMarker> markers);

    QByteArray nextFrame();

    // Out-of-step forms of a good frame, alternating: the ninth byte is not 03 (index even), or
    // the frame is shifted so that it starts in the middle (index odd).
    static QByteArray outOfStepFrame(const QByteArray& frame, int index);

    int outOfStepLeft() const { return m_outOfStepLeft; }

private:
    ReadingDrift m_drift;
    std::vector<QByteArray> m_fileFrames;
    std::size_t m_fileIndex = 0;
    std::vector<FrameMarker> m_markers;
    std::size_t m_markerTurn = 0; // marked frames so far
    int m_outOfStepLeft = 0;
    int m_outOfStepSent = 0;
    long long m_generated = 0;
};
