#pragma once

#include <QByteArray>
#include <QFile>

// Reads a data file line by line, each line whole (a comma or a double quote is ordinary text).
// Line ends may be CR LF or LF; the last line needs none. Memory stays bounded whatever the
// file holds: the file is read in chunks, and of a very long line only the first
// kMaxKeptLineBytes are kept while the rest is still searched for the line end and for "N".
class DataFileReader
{
public:
    static constexpr qsizetype kChunkBytes = 256 * 1024;
    static constexpr qsizetype kMaxKeptLineBytes = 4096;

    enum class Result { Line, End, Error };

    bool open(const QString& path);
    void close() { m_file.close(); }

    // Reads the next line. On Line, line() holds it without its line end.
    Result next();
    const QByteArray& line() const { return m_line; }
    // The line held an upper-case "N" somewhere, also in a part that was not kept.
    bool lineHasUpperN() const { return m_hasN; }
    // The line was longer than what was kept.
    bool lineCut() const { return m_cut; }
    // Bytes held in the chunk buffer; never more than kChunkBytes.
    qsizetype bufferCapacity() const { return m_buffer.capacity(); }

private:
    bool refill();

    QFile m_file;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    QByteArray m_line;
    bool m_hasN = false;
    bool m_cut = false;
    bool m_failed = false;
};
