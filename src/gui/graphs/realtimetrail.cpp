#include "realtimetrail.h"

#include "plotdrawing.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace
{

// Line tops closer than this are one on the image.
constexpr float kSameLineTop = 0.5f;

} // namespace

void RealTimeTrail::clear()
{
    m_points.clear();
    m_current.clear();
    m_older.clear();
    m_lineTops.clear();
    m_overflow = false;
}

void RealTimeTrail::dropCoveredBy(const TimeLabelSpan& span)
{
    const auto covered = [&span](const Label& label) {
        return label.span.left < span.right && span.left < label.span.right;
    };
    m_older.erase(std::remove_if(m_older.begin(), m_older.end(), covered), m_older.end());
    m_current.erase(std::remove_if(m_current.begin(), m_current.end(), covered), m_current.end());
}

void RealTimeTrail::add(
    const RealTimePoint& point, float sweepX, TimeMark mark, const TimeLabelSpan& label)
{
    if (sweepX == 0) {
        // A new sweep blanks the plot: the labels under it stay, the time lines keep their tops.
        for (const Label& older : m_current) {
            const bool known = std::any_of(m_lineTops.begin(), m_lineTops.end(),
                [&older](float x) { return std::fabs(x - older.x) < kSameLineTop; });
            if (!known)
                m_lineTops.push_back(older.x);
        }
        m_older.insert(m_older.end(), m_current.begin(), m_current.end());
        m_current.clear();
        m_points.clear();
        m_overflow = false;
    }
    if (m_points.size() >= kMostPoints) {
        m_overflow = true;
        return;
    }
    m_points.push_back(point);
    if (mark == TimeMark::Label) {
        dropCoveredBy(label);
        m_current.push_back({ sweepX, point.time, label });
    }
}

void RealTimeTrail::paint(
    QPainter& painter, const PlotGeometry& g, float sampleStep, int gridColour) const
{
    const float top = TimeLabelTop(g);
    for (const Label& label : m_older) {
        DrawTextAt(painter, label.time.toString(QStringLiteral("HH:mm:ss")), label.span.left, top,
            Qt::black);
    }
    // Whole, as they were drawn: the sweep's first point blanks all but their tops again.
    for (float x : m_lineTops)
        DrawTimeLine(painter, g, g.PlotLeft + x, gridColour);
    TraceSweep sweep;
    sweep.restart(sampleStep);
    for (const RealTimePoint& point : m_points)
        DrawRealTimePoint(painter, g, sweep, point, sampleStep, gridColour);
}
