#include "tracebatches.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace
{

// How far a segment's pixels may reach beyond the box of its two points, in logical pixels: half
// the pen and the rounding to whole pixels (together at most 1), with room to spare.
constexpr double kReach = 1.5;

} // namespace

const QPen& TracePen(Trace trace)
{
    static const std::array<QPen, kTraceCount> pens = [] {
        std::array<QPen, kTraceCount> made;
        for (int t = 0; t < kTraceCount; ++t)
            made[t] = QPen(TraceColour(static_cast<Trace>(t)), 1, Qt::SolidLine, Qt::FlatCap);
        return made;
    }();
    return pens[static_cast<size_t>(trace)];
}

TraceBatches::TraceBatches(QPainter& painter, double clientWidth)
    : m_painter(painter)
    , m_direct(painter)
    , m_wide(painter)
    , m_empty(painter.deviceTransform())
    , m_columns(std::max(1, static_cast<int>(std::ceil(clientWidth)) + 1))
{
    for (int t = 0; t < kTraceCount; ++t)
        m_colours[static_cast<size_t>(t)] = TraceColour(static_cast<Trace>(t)).rgb();
    if (!m_direct.direct() && !m_wide.direct())
        m_bands.assign(static_cast<size_t>(m_columns) * kTraceCount, kEmptyBand);
    m_firstTouched.fill(m_columns);
    m_lastTouched.fill(-1);
}

void TraceBatches::add(Trace trace, const QLineF& segment)
{
    if (m_direct.direct()) {
        m_direct.draw(segment, m_colours[static_cast<size_t>(trace)]);
        return;
    }
    if (m_empty.paintsNothing(segment))
        return;
    if (m_wide.direct()) {
        m_wide.draw(segment, m_colours[static_cast<size_t>(trace)]);
        return;
    }
    const QPointF from = segment.p1();
    const QPointF to = segment.p2();
    const double left = std::min(from.x(), to.x()) - kReach;
    const double right = std::max(from.x(), to.x()) + kReach;
    const auto column = [this](double x) {
        if (!(x > 0)) // also NaN
            return 0;
        return x >= m_columns - 1 ? m_columns - 1 : static_cast<int>(x);
    };
    const int first = column(left);
    const int last = column(right);
    const float top = static_cast<float>(std::min(from.y(), to.y()) - kReach);
    const float bottom = static_cast<float>(std::max(from.y(), to.y()) + kReach);
    const int t = static_cast<int>(trace);

    if (!std::isfinite(top) || !std::isfinite(bottom)) {
        // No box to compare (a coordinate that is no number): drawn on its own, in its turn.
        flush();
        m_painter.setPen(TracePen(trace));
        m_painter.drawLine(segment);
        return;
    }
    // The other traces whose pending segments this one comes near.
    const unsigned others = m_pendingTraces & ~(1u << t);
    unsigned near = 0;
    if (others != 0) {
        for (int c = first; c <= last; ++c) {
            const Band* bands = &m_bands[static_cast<size_t>(c) * kTraceCount];
            for (int u = 0; u < kTraceCount; ++u) {
                if ((others >> u & 1u) && bands[u].top <= bottom && top <= bands[u].bottom)
                    near |= 1u << u;
            }
        }
    }
    if (near != 0)
        flushTraces(near);

    m_pending[t].push_back(segment);
    m_pendingTraces |= 1u << t;

    for (int c = first; c <= last; ++c) {
        Band& band = m_bands[static_cast<size_t>(c) * kTraceCount + t];
        band.top = std::min(band.top, top);
        band.bottom = std::max(band.bottom, bottom);
    }
    m_firstTouched[t] = std::min(m_firstTouched[t], first);
    m_lastTouched[t] = std::max(m_lastTouched[t], last);
}

void TraceBatches::flush()
{
    flushTraces(m_pendingTraces);
}

void TraceBatches::flushTraces(unsigned traces)
{
    // Qt draws a one-pixel line (no scaling to device pixels) with a stroker that carries the end
    // of one line into the next line of the same call, adding a pixel where it sees a bend that
    // the lines drawn on their own do not have: those lines go one to a call. Wider lines (a
    // pixel ratio of 2) are filled each on its own whatever the call.
    const bool oneToACall = m_painter.deviceTransform().isIdentity();
    for (int t = 0; t < kTraceCount; ++t) {
        if (!(traces >> t & 1u))
            continue;
        std::vector<QLineF>& lines = m_pending[static_cast<size_t>(t)];
        if (!lines.empty()) {
            m_painter.setPen(TracePen(static_cast<Trace>(t)));
            if (oneToACall) {
                for (const QLineF& line : lines)
                    m_painter.drawLine(line);
            } else {
                m_painter.drawLines(lines.data(), static_cast<int>(lines.size()));
            }
            lines.clear();
        }
        for (int c = m_firstTouched[t]; c <= m_lastTouched[t]; ++c)
            m_bands[static_cast<size_t>(c) * kTraceCount + static_cast<size_t>(t)] = kEmptyBand;
        m_firstTouched[t] = m_columns;
        m_lastTouched[t] = -1;
    }
    m_pendingTraces &= ~traces;
}
