// The data-file reader and "Open" on arbitrary file contents: line ends of any kind, lines of
// any length (past the kept part and across read chunks), any bytes, any number of fields.

#include "fuzzinput.h"

#include "recording/datafileloading.h"
#include "recording/datafilereader.h"
#include "recording/gridmodel.h"
#include "support/fakeclock.h"

#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

namespace
{

struct ReferenceLine {
    QByteArray text; // without its line end
    bool terminated = false;
};

// The file split at its line ends: CR LF, LF, or a lone CR.
QList<ReferenceLine> SplitLines(const QByteArray& bytes)
{
    QList<ReferenceLine> lines;
    qsizetype at = 0;
    while (at < bytes.size()) {
        qsizetype end = at;
        while (end < bytes.size() && bytes.at(end) != '\n' && bytes.at(end) != '\r')
            ++end;
        ReferenceLine line;
        line.text = bytes.mid(at, end - at);
        line.terminated = end < bytes.size();
        at = end;
        if (line.terminated) {
            const bool crLf
                = bytes.at(end) == '\r' && end + 1 < bytes.size() && bytes.at(end + 1) == '\n';
            at += crLf ? 2 : 1;
        }
        lines.append(line);
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EnsureFuzzApplication();
    static QTemporaryDir* dir = new QTemporaryDir;
    static const QString path = dir->filePath(QStringLiteral("fuzz.nblg"));
    static QWidget* window = new QWidget;

    FuzzedDataProvider in(data, size);
    // Now and then the content many times over, so lines cross the reader's chunks and outgrow
    // what it keeps of a line.
    const int copies
        = in.ConsumeProbability<float>() < 0.9f ? 1 : in.ConsumeIntegralInRange<int>(2, 200);
    const std::string rest = in.ConsumeRemainingBytesAsString();
    QByteArray content;
    for (int k = 0; k < copies; ++k)
        content.append(rest.data(), static_cast<qsizetype>(rest.size()));

    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(content) == content.size());
    }

    const QList<ReferenceLine> lines = SplitLines(content);
    DataFileReader reader;
    FUZZ_CHECK(reader.open(path));
    qsizetype listed = 0;
    for (const ReferenceLine& expected : lines) {
        FUZZ_CHECK(reader.next() == DataFileReader::Result::Line);
        const QByteArray& text = expected.text;
        FUZZ_CHECK(reader.line() == text.left(DataFileReader::kMaxKeptLineBytes));
        FUZZ_CHECK(reader.lineHasUpperN() == text.contains('N'));
        if (text.size() > DataFileReader::kMaxKeptLineBytes)
            FUZZ_CHECK(reader.lineCut());
        FUZZ_CHECK(reader.bufferCapacity() <= 2 * DataFileReader::kChunkBytes); // bounded
        if (!text.contains('N'))
            ++listed;
    }
    FUZZ_CHECK(reader.next() == DataFileReader::Result::End);
    FUZZ_CHECK(reader.next() == DataFileReader::Result::End);
    reader.close();

    FakeClock clock;
    GridModel grid;
    FUZZ_CHECK(LoadDataFile(path, grid, *window, clock));
    FUZZ_CHECK(grid.rowCount() == listed);
    FUZZ_CHECK(window->windowTitle() == QStringLiteral("fuzz.nblg"));
    for (int r = 0; r < grid.rowCount(); ++r) {
        const QStringList cells = grid.row(r);
        FUZZ_CHECK(cells.size() <= GridRows::kColumns);
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
