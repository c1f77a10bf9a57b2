#include "datafilereader.h"

#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace
{

constexpr int kFields = 10;

// What a byte means to the reader.
enum ByteKind : unsigned char { kPlain, kLineEnd, kUpperN, kTab, kHigh };

constexpr std::array<unsigned char, 256> MakeByteKinds()
{
    std::array<unsigned char, 256> kinds {};
    for (int c = 0x80; c < 0x100; ++c)
        kinds[c] = kHigh;
    kinds['\r'] = kLineEnd;
    kinds['\n'] = kLineEnd;
    kinds['N'] = kUpperN;
    kinds['\t'] = kTab;
    return kinds;
}
constexpr std::array<unsigned char, 256> kByteKinds = MakeByteKinds();

// One pass over a piece of a line: where it ends, and what it holds on the way.
struct LineScan {
    qsizetype length = 0; // bytes before the line end, or all of them when there is none
    bool ended = false;
    bool hasN = false;
    bool high = false;
    qsizetype fieldsLength = -1; // up to the tenth tab; -1 when there are fewer
};

constexpr quint64 Repeated(unsigned char byte)
{
    return 0x0101010101010101ULL * byte;
}

// 0x80 in every byte of word that is zero, and nothing elsewhere.
constexpr quint64 ZeroBytes(quint64 word)
{
    constexpr quint64 k7F = Repeated(0x7F);
    return ~(((word & k7F) + k7F) | word | k7F);
}

LineScan ScanLine(const char* begin, qsizetype available)
{
    LineScan scan;
    const auto* p = reinterpret_cast<const unsigned char*>(begin);
    const auto* const end = p + available;
    int tabs = 0;
    // Eight bytes at a time while they hold no line end and the tenth tab is not near; the rest
    // byte by byte.
    quint64 seen = 0;
    quint64 upperN = 0;
    for (; end - p >= 8; p += 8) {
        quint64 word;
        std::memcpy(&word, p, 8);
        if (ZeroBytes(word ^ Repeated('\n')) | ZeroBytes(word ^ Repeated('\r')))
            break;
        // The tabs counted by adding up a 1 for each of them in the top byte.
        const int wordTabs = int(((ZeroBytes(word ^ Repeated('\t')) >> 7) * Repeated(1)) >> 56);
        if (tabs + wordTabs >= kFields)
            break;
        tabs += wordTabs;
        seen |= word;
        upperN |= ZeroBytes(word ^ Repeated('N'));
    }
    scan.high = (seen & Repeated(0x80)) != 0;
    scan.hasN = upperN != 0;
    for (; p < end; ++p) {
        const unsigned char kind = kByteKinds[*p];
        if (kind == kPlain)
            continue;
        if (kind == kLineEnd) {
            scan.ended = true;
            break;
        }
        if (kind == kTab) {
            if (++tabs == kFields)
                scan.fieldsLength = reinterpret_cast<const char*>(p) - begin;
        } else if (kind == kUpperN) {
            scan.hasN = true;
        } else {
            scan.high = true;
        }
    }
    scan.length = reinterpret_cast<const char*>(p) - begin;
    return scan;
}

} // namespace

bool DataFileReader::NotRegularFile(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isFile();
}

bool DataFileReader::open(const QString& path)
{
    if (!openFile(path))
        return false;
    // Most files are small: a buffer the size of the file, not of a chunk.
    m_chunkBytes
        = static_cast<qsizetype>(std::clamp<qint64>(m_file.size(), kMinChunkBytes, kChunkBytes));
    return true;
}

bool DataFileReader::openFile(const QString& path)
{
    m_file.close();
    m_buffer.clear();
    m_pos = 0;
    m_view = {};
    m_failed = false;
    m_notRegular = false;
    m_afterCr = false;
    m_lineNumber = 0;
    m_error.clear();
    // Look before opening, so that no device is opened at all.
    if (NotRegularFile(path)) {
        m_notRegular = true;
        m_error = QStringLiteral("not a regular file");
        return false;
    }
#ifdef Q_OS_UNIX
    // Then look at what was opened, in case the name was replaced in between. Opening without
    // waiting keeps a pipe with no writer from holding the window.
    const QByteArray name = QFile::encodeName(path);
    struct stat info {
    };
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        m_error = qt_error_string(errno);
        return false;
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        m_notRegular = true;
        m_error = QStringLiteral("not a regular file");
        ::close(fd);
        return false;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    // The reader keeps its own chunks: no second buffer in the file object.
    if (!m_file.open(
            fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        m_error = m_file.errorString();
        ::close(fd);
        return false;
    }
    return true;
#else
    m_file.setFileName(path);
    if (m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return true;
    m_error = m_file.errorString();
    return false;
#endif
}

bool DataFileReader::refill()
{
    if (m_buffer.size() != m_chunkBytes)
        m_buffer.resize(m_chunkBytes);
    const qint64 got = m_file.read(m_buffer.data(), m_chunkBytes);
    if (got < 0) {
        m_failed = true;
        m_error = m_file.errorString();
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
    m_ascii = true;
    m_fieldsLength = 0;
    m_ended = false;
    bool started = false;
    bool gathering = false;
    for (;;) {
        if (m_pos >= m_buffer.size()) {
            if (!m_file.isOpen() || !refill()) {
                if (m_failed)
                    return Result::Error;
                keepGathered();
                if (!started)
                    return Result::End;
                ++m_lineNumber;
                return Result::Line;
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
        const LineScan scan = ScanLine(begin, m_buffer.size() - m_pos);
        const qsizetype length = scan.length;
        m_hasN = m_hasN || scan.hasN;
        m_pos += length;
        if (scan.ended && !gathering && length <= kMaxKeptLineBytes) {
            // The whole line lies in the chunk.
            m_view = QByteArrayView(begin, length);
            m_ascii = !scan.high;
            m_fieldsLength = scan.fieldsLength < 0 ? length : scan.fieldsLength;
        } else {
            gathering = true;
            const qsizetype room = kMaxKeptLineBytes - m_line.size();
            if (length > room)
                m_cut = true;
            if (room > 0)
                m_line.append(begin, std::min(length, room));
            keepGathered();
        }
        if (scan.ended) {
            m_afterCr = m_buffer.at(m_pos) == '\r';
            ++m_pos;
            m_ended = true;
            ++m_lineNumber;
            return Result::Line;
        }
    }
}

void DataFileReader::keepGathered()
{
    m_view = m_line;
    const LineScan kept = ScanLine(m_line.constData(), m_line.size());
    m_ascii = !kept.high;
    m_fieldsLength = kept.fieldsLength < 0 ? m_line.size() : kept.fieldsLength;
}
