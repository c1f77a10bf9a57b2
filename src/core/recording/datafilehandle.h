#pragma once

#include <QString>

#include <memory>

class DataFileWriter;

// The one data file open for recording. Lines are given as text and written as single-byte text
// with CR LF, each one flushed as it is written.
class DataFileHandle
{
public:
    // Writes through a file on disk.
    DataFileHandle();
    // Writes through the given writer (tests pass one that fails).
    explicit DataFileHandle(std::unique_ptr<DataFileWriter> writer);
    ~DataFileHandle();
    DataFileHandle(const DataFileHandle&) = delete;
    DataFileHandle& operator=(const DataFileHandle&) = delete;

    // Closes what was open, then creates or empties path.
    bool open(const QString& path);
    // False when the line could not be written whole; then nothing of it is in the file.
    bool writeLine(const QString& line);
    void close();
    bool isOpen() const;
    // Why the last open or write failed.
    QString errorString() const;
    // Lines written since the file was opened.
    qint64 linesWritten() const { return m_lines; }

private:
    std::unique_ptr<DataFileWriter> m_writer;
    qint64 m_lines = 0;
};
