#pragma once

#include "pixelline.h"
#include "plotgeometry.h"
#include "wideline.h"

#include <QLineF>

#include <array>
#include <vector>

class QPainter;
class QPen;

// The pen of a trace: its colour, one pixel wide, flat ends.
const QPen& TracePen(Trace trace);

// The segments of the five traces, gathered per trace and drawn with one pen change per batch
// (and at a pixel ratio above 1 in one call) instead of a pen change and a call per segment. A
// polyline would not do: it joins its segments, and so paints pixels (at the joins, and more at a
// pixel ratio of 2) that the segments drawn one by one leave white. Drawn one by one in record
// order, each segment paints over what earlier segments of other traces painted; gathered per
// trace, a later trace would paint over an earlier one whatever their records. So a segment joins
// its trace's batch only while it keeps clear of every other trace's pending segments (per pixel
// column, the band of rows each trace has pending); where it would come near some, the batches of
// those traces are drawn first. The batches pending at any time keep clear of one another, so the
// order in which they are drawn does not matter. The pixels are therefore those of drawing every
// segment on its own, in record order.
//
// A segment that paints no pixel at all (EmptyLines) is left out: it neither joins a batch
// nor makes one be drawn.
//
// Where the painter paints a 32-bit image at a pixel ratio of 1 or 2, a segment instead goes
// straight into the image as it comes (PixelLines, WideLines, which leave to the painter, in
// their turn, the segments they are not sure of), which is record order already: nothing is
// gathered.
class TraceBatches
{
public:
    // clientWidth: the logical width of what the painter draws on.
    TraceBatches(QPainter& painter, double clientWidth);

    // The segment from one point of a trace to its next one, with the trace's pen.
    void add(Trace trace, const QLineF& segment);
    // Draws everything pending: before anything else is drawn over the plot, and at the end.
    void flush();

private:
    // Draws the batches of the traces in the mask (bit t: trace t).
    void flushTraces(unsigned traces);

    struct Band {
        float top;
        float bottom;
    };
    static constexpr Band kEmptyBand { 1e30f, -1e30f };

    QPainter& m_painter;
    PixelLines m_direct;
    WideLines m_wide;
    EmptyLines m_empty;
    std::array<QRgb, kTraceCount> m_colours {};
    int m_columns = 0;
    std::array<std::vector<QLineF>, kTraceCount> m_pending;
    // Per pixel column, each trace's band (column-major: column c, trace t at c x 5 + t).
    std::vector<Band> m_bands;
    unsigned m_pendingTraces = 0; // bit t: trace t has segments pending
    // Per trace, the columns whose bands hold something.
    std::array<int, kTraceCount> m_firstTouched {};
    std::array<int, kTraceCount> m_lastTouched {};
};
