#include "gridrows.h"

#include <cstring>

namespace
{

const char* FindByte(const char* p, qsizetype length, char byte)
{
    return length > 0 ? static_cast<const char*>(std::memchr(p, byte, static_cast<size_t>(length)))
                      : nullptr;
}

} // namespace

void GridRows::append(const QStringList& cells)
{
    QString joined;
    const int n = std::min<int>(cells.size(), kGridColumns);
    for (int i = 0; i < n; ++i) {
        if (i > 0)
            joined += QLatin1Char('\t');
        QString cell = cells.at(i);
        for (QChar& c : cell) {
            if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
                c = QLatin1Char(' ');
        }
        joined += cell;
    }
    m_starts.push_back(m_text.size());
    m_text += joined.toUtf8();
}

void GridRows::appendTabbed(const QString& text)
{
    appendTabbed(QByteArrayView(text.toUtf8()));
}

void GridRows::appendTabbed(QByteArrayView utf8)
{
    // Keep the fields up to the tenth; a line break would end the row in a saved file.
    const char* p = utf8.data();
    qsizetype length = utf8.size();
    const char* field = p;
    const char* const end = p + length;
    for (int tabs = 0; tabs < kGridColumns; ++tabs) {
        const char* tab = FindByte(field, end - field, '\t');
        if (!tab)
            break;
        if (tabs + 1 == kGridColumns)
            length = tab - p;
        field = tab + 1;
    }
    m_starts.push_back(m_text.size());
    const qsizetype at = m_text.size();
    m_text.append(p, length);
    char* const stored = m_text.data() + at;
    char* const storedEnd = stored + length;
    for (const char lineEnd : { '\r', '\n' }) {
        for (char* c = stored; c < storedEnd; ++c) {
            c = static_cast<char*>(std::memchr(c, lineEnd, static_cast<size_t>(storedEnd - c)));
            if (!c)
                break;
            *c = ' ';
        }
    }
}

void GridRows::appendFields(QByteArrayView utf8)
{
    m_starts.push_back(m_text.size());
    m_text.append(utf8.data(), utf8.size());
}

void GridRows::appendAll(const GridRows& other)
{
    const qsizetype base = m_text.size();
    m_starts.reserve(m_starts.size() + other.m_starts.size());
    for (const qsizetype start : other.m_starts)
        m_starts.push_back(base + start);
    m_text += other.m_text;
}

void GridRows::clear()
{
    m_starts.clear();
    m_text.resize(0);
}

void GridRows::reserve(qsizetype rows, qsizetype bytes)
{
    m_starts.reserve(static_cast<size_t>(rows));
    m_text.reserve(bytes);
}

void GridRows::squeeze()
{
    // Shrinking the offsets copies them: only when far more was reserved than used.
    if (m_starts.capacity() > 2 * m_starts.size() + 1024)
        m_starts.shrink_to_fit();
    m_text.squeeze();
}

QByteArrayView GridRows::rowBytes(qsizetype row) const
{
    if (row < 0 || row >= count())
        return {};
    const qsizetype start = m_starts[static_cast<size_t>(row)];
    const qsizetype end
        = row + 1 < count() ? m_starts[static_cast<size_t>(row + 1)] : m_text.size();
    return QByteArrayView(m_text.constData() + start, end - start);
}

QString GridRows::cell(qsizetype row, int column) const
{
    if (column < 0 || column >= kGridColumns)
        return {};
    const QByteArrayView bytes = rowBytes(row);
    const char* p = bytes.data();
    qsizetype length = bytes.size();
    for (int c = 0; c < column; ++c) {
        const char* tab = FindByte(p, length, '\t');
        if (!tab)
            return {};
        length -= tab + 1 - p;
        p = tab + 1;
    }
    const char* tab = FindByte(p, length, '\t');
    return QString::fromUtf8(p, tab ? tab - p : length);
}

QStringList GridRows::row(qsizetype row) const
{
    QStringList cells;
    cells.reserve(kGridColumns);
    const QByteArrayView bytes = rowBytes(row);
    const char* p = bytes.data();
    qsizetype length = bytes.size();
    bool more = row >= 0 && row < count();
    for (int c = 0; c < kGridColumns; ++c) {
        if (!more) {
            cells.append(QString());
            continue;
        }
        const char* tab = FindByte(p, length, '\t');
        const qsizetype n = tab ? tab - p : length;
        cells.append(QString::fromUtf8(p, n));
        if (tab) {
            length -= n + 1;
            p = tab + 1;
        } else {
            more = false;
        }
    }
    return cells;
}

qsizetype GridRows::byteSize() const
{
    return m_text.capacity() + static_cast<qsizetype>(m_starts.capacity() * sizeof(qsizetype));
}
