#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// A file of frames to play instead of generated readings: one frame per line as hex byte pairs
// (spaces between bytes optional), "#" starts a comment, blank lines are skipped. The bytes are
// kept exactly as written, so a file may hold deliberately bad frames.
class HexFrameFile
{
public:
    static constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;
    static constexpr int kMaxFrameBytes = 4096;

    // Parses the text; returns false with a message naming the first bad line.
    bool parse(const QByteArray& text);
    // Reads and parses a file; returns false with a message when it cannot.
    bool load(const QString& path);

    const std::vector<QByteArray>& frames() const { return m_frames; }
    const QString& error() const { return m_error; }

private:
    std::vector<QByteArray> m_frames;
    QString m_error;
};
