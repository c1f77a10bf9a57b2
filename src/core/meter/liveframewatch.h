#pragma once

#include <QByteArray>

// Watches the bytes of a logger dump for live reading frames. A meter that has gone back to
// streaming its readings sends 02, seven bytes, 03, back to back, whether it is asked or not;
// logged records are 8 bytes long, so five such frames in a row would need a record byte that
// goes from 02 to 03 from one record to the next in five neighbouring places, among them the
// temperature's high byte (above 51 degrees) or the status or unused byte. Five frames in a row
// are therefore taken as live readings.
class LiveFrameWatch
{
public:
    static constexpr int kFramesInARow = 5;

    void reset();
    // Takes the next bytes off the line, in order; true once the last kFramesInARow frames'
    // worth of bytes were live frames.
    bool take(const QByteArray& bytes);

private:
    static constexpr int kWindow = 9 * kFramesInARow;
    bool windowIsLiveFrames() const;

    unsigned char m_window[kWindow] = {};
    int m_filled = 0; // bytes in the window, up to kWindow
    int m_next = 0; // where the next byte goes (the oldest byte once the window is full)
    bool m_seen = false;
};
