#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

// Reads a data file line by line, each line whole (a comma or a double quote is ordinary text).
// A line ends at CR LF, at LF or at a lone CR; the last line needs none. Memory stays bounded
// whatever the file holds: the file is read in chunks, and of a very long line only the first
// kMaxKeptLineBytes are kept while the rest is still searched for the line end and for "N".
//
// Only a regular file is read. A device, a pipe or a folder is refused when it is opened, and
// opening never waits for a writer, so the window is never held by a read that does not end.
class DataFileReader
{
public:
    static constexpr qsizetype kChunkBytes = 256 * 1024;
    // A file smaller than a chunk is read in one piece its size (but no smaller than this).
    static constexpr qsizetype kMinChunkBytes = 4096;
    static constexpr qsizetype kMaxKeptLineBytes = 4096;

    enum class Result { Line, End, Error };

    // Something is there under path that is not a regular file (a device, a pipe, a folder).
    static bool NotRegularFile(const QString& path);
    // False when the file could not be opened or is not a regular file (then notRegular()).
    bool open(const QString& path);
    void close() { m_file.close(); }
    bool notRegular() const { return m_notRegular; }
    // Why the file could not be opened or read, in the system's words.
    const QString& errorString() const { return m_error; }
    // The size of the open file in bytes, and how far it has been read (a chunk at a time).
    qint64 size() const { return m_file.size(); }
    qint64 position() const { return m_file.pos(); }

    // Reads the next line. On Line, lineView() holds it without its line end until the next call.
    Result next();
    QByteArrayView lineView() const { return m_view; }
    // The same line as a byte array of its own.
    QByteArray line() const { return m_view.toByteArray(); }
    // The number of the line read, counting from 1 at the start of the file.
    qint64 lineNumber() const { return m_lineNumber; }
    // The line had a line end; only the last line of a file may have none.
    bool lineEnded() const { return m_ended; }
    // The line held an upper-case "N" somewhere, also in a part that was not kept.
    bool lineHasUpperN() const { return m_hasN; }
    // The line was longer than what was kept.
    bool lineCut() const { return m_cut; }
    // The kept part holds no byte of 0x80 or above.
    bool lineIsAscii() const { return m_ascii; }
    // The length of the kept part up to its tenth tab (the ten fields a list shows), or its
    // whole length when it holds fewer tabs.
    qsizetype tenFieldsLength() const { return m_fieldsLength; }
    // Bytes held in the chunk buffer; never more than kChunkBytes, no more than a small file
    // needs.
    qsizetype bufferCapacity() const { return m_buffer.capacity(); }

private:
    bool openFile(const QString& path);
    bool refill();
    // The line gathered in m_line is the line read.
    void keepGathered();

    QFile m_file;
    QByteArray m_buffer;
    qsizetype m_chunkBytes = kChunkBytes;
    qsizetype m_pos = 0;
    // A line that spans chunks, or is cut, is gathered here; others are viewed in the chunk.
    QByteArray m_line;
    QByteArrayView m_view;
    bool m_hasN = false;
    bool m_cut = false;
    bool m_ascii = true;
    qsizetype m_fieldsLength = 0;
    bool m_ended = false;
    qint64 m_lineNumber = 0;
    bool m_failed = false;
    QString m_error;
    bool m_notRegular = false;
    // The last line ended at a CR: an LF right after it belongs to the same line end.
    bool m_afterCr = false;
};
