#include "recordfile.h"

#include <QFileInfo>

#include <cstring>

bool RecordFile::open(const QString& path)
{
    m_file.close();
    m_buffer.clear();
    m_pos = 0;
    m_afterCr = false;
    m_lineNumber = 0;
    m_records = 0;
    m_error.clear();
    m_warning.clear();
    const QFileInfo info(path);
    if (!info.exists()) {
        m_error = QStringLiteral("no such file");
        return false;
    }
    // A device or a pipe would never end or block: only regular files are read.
    if (!info.isFile()) {
        m_error = QStringLiteral("not a regular file");
        return false;
    }
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly)) {
        m_error = m_file.errorString();
        return false;
    }
    return true;
}

bool RecordFile::refill()
{
    if (m_buffer.size() != kChunkBytes)
        m_buffer.resize(kChunkBytes);
    const qint64 got = m_file.read(m_buffer.data(), kChunkBytes);
    m_buffer.resize(got < 0 ? 0 : got);
    m_pos = 0;
    if (got < 0)
        m_error = m_file.errorString();
    return got > 0;
}

RecordFile::Line RecordFile::readLine()
{
    m_line.clear();
    m_hasN = false;
    m_long = false;
    bool started = false;
    for (;;) {
        if (m_pos >= m_buffer.size()) {
            if (!m_file.isOpen() || !refill()) {
                if (!m_error.isEmpty())
                    return Line::Error;
                return started ? Line::Last : Line::End;
            }
        }
        const char* begin = m_buffer.constData() + m_pos;
        qsizetype available = m_buffer.size() - m_pos;
        // The LF of a CR LF pair, possibly at the start of a new chunk.
        if (m_afterCr) {
            m_afterCr = false;
            if (*begin == '\n') {
                ++m_pos;
                continue;
            }
        }
        started = true;
        qsizetype length = 0;
        while (length < available && begin[length] != '\n' && begin[length] != '\r')
            ++length;
        if (!m_hasN && std::memchr(begin, 'N', length))
            m_hasN = true;
        const qsizetype room = kMaxLineBytes - m_line.size();
        if (length > room)
            m_long = true;
        if (room > 0)
            m_line.append(begin, std::min(length, room));
        m_pos += length;
        if (length < available) {
            m_afterCr = begin[length] == '\r';
            ++m_pos;
            ++m_lineNumber;
            return Line::Whole;
        }
    }
}

RecordFile::Result RecordFile::next(ReportRecord* record)
{
    for (;;) {
        const Line line = readLine();
        if (line == Line::End)
            return Result::End;
        if (line == Line::Error)
            return Result::Error;
        if (line == Line::Last)
            ++m_lineNumber;
        if (m_hasN)
            continue;
        QByteArrayView text(m_line);
        while (!text.isEmpty() && text.front() == ' ')
            text = text.sliced(1);
        if (text.isEmpty() && !m_long)
            continue;
        QString reason;
        if (m_long)
            reason = QStringLiteral("the line is too long for a record");
        else if (ReadRecordFields(text, m_fahrenheit, record, &reason)) {
            ++m_records;
            return Result::Record;
        }
        // Only a short last line after records is a record cut off as it was written.
        if (line == Line::Last && m_records > 0 && !m_long) {
            m_warning = QStringLiteral("line %1, the last, is unfinished and left out (%2)")
                            .arg(m_lineNumber)
                            .arg(reason);
            return Result::End;
        }
        m_error = QStringLiteral("line %1: %2").arg(m_lineNumber).arg(reason);
        return Result::Error;
    }
}
