#include "datafilereader.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace
{

// The first CR or LF in [begin, begin + length), or null.
const char* FindLineEnd(const char* begin, qsizetype length)
{
    const auto* lf = static_cast<const char*>(std::memchr(begin, '\n', size_t(length)));
    const qsizetype before = lf ? lf - begin : length;
    const auto* cr = static_cast<const char*>(std::memchr(begin, '\r', size_t(before)));
    return cr ? cr : lf;
}

} // namespace

bool DataFileReader::NotRegularFile(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isFile();
}

bool DataFileReader::open(const QString& path)
{
    m_file.close();
    m_buffer.clear();
    m_pos = 0;
    m_view = {};
    m_failed = false;
    m_notRegular = false;
    m_afterCr = false;
    // Look before opening, so that no device is opened at all.
    if (NotRegularFile(path)) {
        m_notRegular = true;
        return false;
    }
#ifdef Q_OS_UNIX
    // Then look at what was opened, in case the name was replaced in between. Opening without
    // waiting keeps a pipe with no writer from holding the window.
    const QByteArray name = QFile::encodeName(path);
    struct stat info {
    };
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        m_notRegular = true;
        ::close(fd);
        return false;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (!m_file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
#else
    m_file.setFileName(path);
    return m_file.open(QIODevice::ReadOnly);
#endif
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
    m_line.resize(0);
    m_view = {};
    m_hasN = false;
    m_cut = false;
    bool started = false;
    bool gathering = false;
    for (;;) {
        if (m_pos >= m_buffer.size()) {
            if (!m_file.isOpen() || !refill()) {
                if (m_failed)
                    return Result::Error;
                m_view = m_line;
                return started ? Result::Line : Result::End;
            }
        }
        if (m_afterCr) {
            m_afterCr = false;
            if (m_buffer.at(m_pos) == '\n') {
                ++m_pos;
                continue;
            }
        }
        started = true;
        const char* begin = m_buffer.constData() + m_pos;
        const qsizetype available = m_buffer.size() - m_pos;
        const char* end = FindLineEnd(begin, available);
        const qsizetype length = end ? end - begin : available;
        if (!m_hasN && std::memchr(begin, 'N', size_t(length)))
            m_hasN = true;
        m_pos += length;
        if (end && !gathering && length <= kMaxKeptLineBytes) {
            // The whole line lies in the chunk.
            m_view = QByteArrayView(begin, length);
        } else {
            gathering = true;
            const qsizetype room = kMaxKeptLineBytes - m_line.size();
            if (length > room)
                m_cut = true;
            if (room > 0)
                m_line.append(begin, std::min(length, room));
            m_view = m_line;
        }
        if (end) {
            ++m_pos;
            m_afterCr = *end == '\r';
            return Result::Line;
        }
    }
}
