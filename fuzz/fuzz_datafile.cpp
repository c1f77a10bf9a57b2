// The data-file reader and "Open" on arbitrary file contents: line ends of any kind, lines of
// any length (past the kept part and across read chunks), any bytes, any number of fields.

#include "fuzzinput.h"

#include "lists/datafileloading.h"
#include "lists/gridmodel.h"
#include "recording/datafilereader.h"
#include "support/fakeclock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QWidget>

#include <algorithm>
#include <cstring>

namespace
{

// Where byte c next occurs in bytes at or after from; bytes.size() when nowhere.
FUZZ_HELPER qsizetype NextByte(QByteArrayView bytes, char c, qsizetype from)
{
    if (from >= bytes.size())
        return bytes.size();
    const void* found
        = std::memchr(bytes.data() + from, c, static_cast<size_t>(bytes.size() - from));
    return found ? static_cast<const char*>(found) - bytes.data() : bytes.size();
}

// The file's lines one after the other, split at their ends: CR LF, LF, or a lone CR.
class LineSplitter
{
public:
    explicit LineSplitter(QByteArrayView bytes)
        : m_bytes(bytes)
    {
    }

    // The next line without its line end; false after the last.
    FUZZ_HELPER bool next(QByteArrayView* line)
    {
        const qsizetype size = m_bytes.size();
        if (m_at >= size)
            return false;
        if (m_nextLf < m_at)
            m_nextLf = NextByte(m_bytes, '\n', m_at);
        if (m_nextCr < m_at)
            m_nextCr = NextByte(m_bytes, '\r', m_at);
        const qsizetype end = std::min(m_nextLf, m_nextCr);
        *line = m_bytes.sliced(m_at, end - m_at);
        m_at = end;
        if (end < size) {
            const bool crLf
                = m_bytes.at(end) == '\r' && end + 1 < size && m_bytes.at(end + 1) == '\n';
            m_at += crLf ? 2 : 1;
        }
        return true;
    }

private:
    QByteArrayView m_bytes;
    qsizetype m_at = 0;
    // Where the next LF and CR are, looked for again once passed.
    qsizetype m_nextLf = -1;
    qsizetype m_nextCr = -1;
};

// Bytes that are UTF-8 through and through, as Qt's own decoder reads them.
FUZZ_HELPER bool IsUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    char16_t text[DataFileReader::kMaxKeptLineBytes + 1];
    decoder.appendToBuffer(reinterpret_cast<QChar*>(text), bytes);
    return !decoder.hasError();
}

// The row "Open" makes of a line: its first ten fields of the part a reader keeps, without
// leading blanks, as UTF-8 (bytes that are no UTF-8 read as Latin-1).
FUZZ_HELPER bool IsExpectedRow(QByteArrayView row, QByteArrayView line)
{
    QByteArrayView fields = line.first(std::min(line.size(), DataFileReader::kMaxKeptLineBytes));
    qsizetype tab = -1;
    for (int tabs = 0; tabs < kGridColumns && tab < fields.size(); ++tabs)
        tab = NextByte(fields, '\t', tab + 1);
    fields = fields.first(std::min(tab, fields.size()));
    while (!fields.isEmpty() && fields.front() == ' ')
        fields = fields.sliced(1);
    if (IsUtf8(fields))
        return row == fields;
    // Latin-1: a byte from 0x80 on is two bytes of UTF-8.
    qsizetype at = 0;
    for (const char c : fields) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            if (at >= row.size() || row.at(at++) != c)
                return false;
            continue;
        }
        if (at + 1 >= row.size() || static_cast<unsigned char>(row.at(at)) != (0xC0 | (b >> 6))
            || static_cast<unsigned char>(row.at(at + 1)) != (0x80 | (b & 0x3F)))
            return false;
        at += 2;
    }
    return at == row.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EnsureFuzzApplication();
    // In memory where the system has such a folder: the file is written for every input. An
    // object, not a pointer, so the folder goes when the run ends.
    static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
            ? QStringLiteral("/dev/shm/nimbrel-fuzz-XXXXXX")
            : QDir::tempPath() + QStringLiteral("/nimbrel-fuzz-XXXXXX"));
    static const QString path = dir.filePath(QStringLiteral("fuzz.nblg"));
    static QWidget* window = new QWidget;

    FuzzedDataProvider in(data, size);
    // Now and then the content many times over, so lines cross the reader's chunks and outgrow
    // what it keeps of a line; two chunks' worth at most, which crosses a chunk end (more only
    // repeats the same reading, at the cost of all of it).
    int copies = in.ConsumeProbability<float>() < 0.9f ? 1 : in.ConsumeIntegralInRange<int>(2, 200);
    const std::string rest = in.ConsumeRemainingBytesAsString();
    if (!rest.empty()) {
        const qsizetype most
            = 2 * DataFileReader::kChunkBytes / static_cast<qsizetype>(rest.size());
        copies = static_cast<int>(std::min<qsizetype>(copies, std::max<qsizetype>(most, 2)));
    }
    QByteArray content;
    for (int k = 0; k < copies; ++k)
        content.append(rest.data(), static_cast<qsizetype>(rest.size()));

    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered));
        FUZZ_CHECK(file.write(content) == content.size());
    }

    // "Open" first, then the reader and the rows it gave line by line against a plain split.
    FakeClock clock;
    GridModel grid;
    FUZZ_CHECK(LoadDataFile(path, grid, *window, clock));
    FUZZ_CHECK(window->windowTitle() == QStringLiteral("fuzz.nblg"));

    DataFileReader reader;
    FUZZ_CHECK(reader.open(path));
    LineSplitter lines(content);
    QByteArrayView text;
    qsizetype listed = 0;
    while (lines.next(&text)) {
        FUZZ_CHECK(reader.next() == DataFileReader::Result::Line);
        FUZZ_CHECK(reader.lineView()
            == text.first(std::min(text.size(), DataFileReader::kMaxKeptLineBytes)));
        const bool hasN = text.contains('N');
        FUZZ_CHECK(reader.lineHasUpperN() == hasN);
        if (text.size() > DataFileReader::kMaxKeptLineBytes)
            FUZZ_CHECK(reader.lineCut());
        FUZZ_CHECK(reader.bufferCapacity() <= 2 * DataFileReader::kChunkBytes); // bounded
        // Every line without "N" is the next row, holding what the line does.
        if (!hasN) {
            FUZZ_CHECK(listed < grid.rowCount());
            FUZZ_CHECK(IsExpectedRow(grid.rows().rowBytes(listed), text));
            ++listed;
        }
    }
    FUZZ_CHECK(reader.next() == DataFileReader::Result::End);
    FUZZ_CHECK(reader.next() == DataFileReader::Result::End);
    reader.close();
    FUZZ_CHECK(grid.rowCount() == listed);
    // As cells: ten at most, none with a tab.
    for (const int row : { 0, grid.rowCount() - 1 }) {
        const QStringList cells = grid.row(row);
        FUZZ_CHECK(cells.size() <= kGridColumns);
        for (const QString& cell : cells)
            FUZZ_CHECK(!cell.contains(QLatin1Char('\t')));
    }

    // A limit on the rows stops the reading there.
    if (listed > 1) {
        GridModel limited;
        FUZZ_CHECK(LoadDataFile(path, limited, *window, clock, listed - 1));
        FUZZ_CHECK(limited.rowCount() == listed - 1);
    }
    return 0;
}
