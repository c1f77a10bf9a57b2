#include "datafilereader.h"

#include <cstring>

bool DataFileReader::open(const QString& path)
{
    m_file.close();
    m_file.setFileName(path);
    m_buffer.clear();
    m_pos = 0;
    m_failed = false;
    return m_file.open(QIODevice::ReadOnly);
}

bool DataFileReader::refill()
{
    if (m_buffer.size() != kChunkBytes)
        m_buffer.resize(kChunkBytes);
    const qint64 got = m_file.read(m_buffer.data(), kChunkBytes);
    if (got < 0) {
        m_failed = true;
        m_buffer.resize(0);
        m_pos = 0;
        return false;
    }
    m_buffer.resize(got);
    m_pos = 0;
    return got > 0;
}

DataFileReader::Result DataFileReader::next()
{
    m_line.clear();
    m_hasN = false;
    m_cut = false;
    bool started = false;
    for (;;) {
        if (m_pos >= m_buffer.size()) {
            if (!m_file.isOpen() || !refill()) {
                if (m_failed)
                    return Result::Error;
                return started ? Result::Line : Result::End;
            }
        }
        started = true;
        const char* begin = m_buffer.constData() + m_pos;
        const qsizetype available = m_buffer.size() - m_pos;
        const auto* newline = static_cast<const char*>(std::memchr(begin, '\n', available));
        const qsizetype length = newline ? newline - begin : available;
        if (!m_hasN && std::memchr(begin, 'N', length))
            m_hasN = true;
        const qsizetype room = kMaxKeptLineBytes - m_line.size();
        if (length > room)
            m_cut = true;
        if (room > 0)
            m_line.append(begin, std::min(length, room));
        m_pos += length;
        if (newline) {
            ++m_pos;
            if (!m_cut && m_line.endsWith('\r'))
                m_line.chop(1);
            return Result::Line;
        }
    }
}
