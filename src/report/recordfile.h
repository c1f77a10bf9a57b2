#pragma once

#include "reportrecord.h"

#include <QByteArray>
#include <QFile>
#include <QString>

// Reads the records of a data file with the reading rules of "Open": a line ends at CR LF, LF or
// a lone CR; a line holding an upper-case "N" anywhere (the header, a caption row) is skipped;
// leading blanks do not count. Blank lines are skipped too. Any other line must be a record.
// Memory stays bounded whatever the file holds: the file is read in chunks and of a long line
// only the first kMaxLineBytes are kept.
class RecordFile
{
public:
    static constexpr qsizetype kChunkBytes = 256 * 1024;
    static constexpr qsizetype kMaxLineBytes = 4096;

    enum class Result { Record, End, Error };

    explicit RecordFile(bool fahrenheit)
        : m_fahrenheit(fahrenheit)
    {
    }
    // False with the reason in error() when the file cannot be opened or is no regular file.
    bool open(const QString& path);
    qint64 size() const { return m_file.size(); }
    qint64 position() const { return m_file.pos(); }

    // The next record. Error: error() names the line and what is wrong with it. A short last
    // line without a line end after records, that is no record (a recording cut off while a
    // line was written), is left out with a warning.
    Result next(ReportRecord* record);
    const QString& error() const { return m_error; }
    const QString& warning() const { return m_warning; }
    qint64 lineNumber() const { return m_lineNumber; }

private:
    enum class Line { Whole, Last, End, Error };
    Line readLine();
    bool refill();

    bool m_fahrenheit;
    QFile m_file;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    bool m_afterCr = false;
    QByteArray m_line;
    bool m_hasN = false;
    bool m_long = false;
    qint64 m_lineNumber = 0;
    qint64 m_records = 0;
    QString m_error;
    QString m_warning;
};
