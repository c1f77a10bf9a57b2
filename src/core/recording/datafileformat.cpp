#include "datafileformat.h"

#include <algorithm>
#include <cstring>

const QStringList& ColumnCaptions()
{
    static const QStringList captions = {
        QStringLiteral("No.s"),
        QStringLiteral("Time"),
        QStringLiteral("ppm"),
        QStringLiteral("\u00B0C"),
        QStringLiteral("Dew\u00B0C"),
        QStringLiteral("Wet\u00B0C"),
        QStringLiteral("RH%"),
        QStringLiteral("\u00B0F"),
        QStringLiteral("Dew\u00B0F"),
        QStringLiteral("Wet\u00B0F"),
    };
    return captions;
}

QString HeaderLine()
{
    return ColumnCaptions().join(QLatin1Char('\t'));
}

bool ReadTimeOfDay(QByteArrayView text, int* secondsOfDay)
{
    if (text.size() != 8 || text[2] != ':' || text[5] != ':')
        return false;
    int parts[3];
    for (int p = 0; p < 3; ++p) {
        const char high = text[3 * p];
        const char low = text[3 * p + 1];
        if (high < '0' || high > '9' || low < '0' || low > '9')
            return false;
        parts[p] = (high - '0') * 10 + (low - '0');
    }
    if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59)
        return false;
    *secondsOfDay = parts[0] * 3600 + parts[1] * 60 + parts[2];
    return true;
}

bool ReadTimeOfDay(QStringView text, int* secondsOfDay)
{
    if (text.size() != 8)
        return false;
    // Anything beyond ASCII is neither a digit nor the colon.
    char bytes[8];
    for (int i = 0; i < 8; ++i)
        bytes[i] = text[i].unicode() < 0x80 ? static_cast<char>(text[i].unicode()) : '?';
    return ReadTimeOfDay(QByteArrayView(bytes, 8), secondsOfDay);
}

std::optional<QByteArrayView> RecordLineText(
    QByteArrayView line, bool hasUpperN, BlankLine blankLine)
{
    if (hasUpperN)
        return std::nullopt;
    while (!line.isEmpty() && line.front() == ' ')
        line = line.sliced(1);
    if (line.isEmpty() && blankLine == BlankLine::Skipped)
        return std::nullopt;
    return line;
}

QString RecorderRecordLine(qint64 number, const QString& recordText)
{
    return QString::number(number) + QLatin1Char('\t') + recordText;
}

void AppendGridRowLine(QByteArray& out, QByteArrayView tabbedRow)
{
    // Plain ASCII, as nearly every row is, goes straight through.
    bool ascii = true;
    int tabs = 0;
    for (const char c : tabbedRow) {
        if (static_cast<unsigned char>(c) >= 0x80)
            ascii = false;
        else if (c == '\t')
            ++tabs;
    }
    if (!ascii) {
        out += QString::fromUtf8(tabbedRow).toLatin1();
    } else {
        out += tabbedRow;
    }
    out.append(kGridColumns - tabs, '\t');
    out += "\r\n";
}

QString GridRowLine(const QStringList& cells)
{
    QByteArray line;
    AppendGridRowLine(line, cells.join(QLatin1Char('\t')).toUtf8());
    line.chop(2);
    return QString::fromLatin1(line);
}

QByteArray FileLineBytes(const QString& line)
{
    QByteArray bytes = line.toLatin1();
    bytes += "\r\n";
    return bytes;
}

bool IsValidUtf8(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int more = 0;
        unsigned int code = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
            code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        if (i + more >= n)
            return false;
        for (int k = 1; k <= more; ++k) {
            const unsigned char d = p[i + k];
            if ((d & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (d & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
        if ((more == 2 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF)))
            || (more == 3 && (code < 0x10000 || code > 0x10FFFF)))
            return false;
        i += more + 1;
    }
    return true;
}

bool IsAscii(QByteArrayView bytes)
{
    // Eight bytes at a time.
    const char* p = bytes.data();
    qsizetype n = bytes.size();
    quint64 high = 0;
    for (; n >= 8; n -= 8, p += 8) {
        quint64 word;
        std::memcpy(&word, p, 8);
        high |= word;
    }
    for (; n > 0; --n, ++p)
        high |= static_cast<unsigned char>(*p);
    return (high & 0x8080808080808080ULL) == 0;
}

QByteArray LineToUtf8(QByteArrayView line)
{
    if (IsAscii(line) || IsValidUtf8(line))
        return line.toByteArray();
    return QString::fromLatin1(line).toUtf8();
}

QString SplitPartName(const QString& dataFileName, qint64 filePart)
{
    const QString number = QLatin1Char('-') + QString::number(filePart);
    // The file's own name starts after the last folder separator; a "." in a folder name must
    // not move the part into another folder.
    qsizetype nameStart = dataFileName.lastIndexOf(QLatin1Char('/')) + 1;
#ifdef Q_OS_WIN
    nameStart = std::max(nameStart, dataFileName.lastIndexOf(QLatin1Char('\\')) + 1);
#endif
    const qsizetype dot = dataFileName.indexOf(QLatin1Char('.'), nameStart);
    if (dot < 0)
        return dataFileName + number;
    return dataFileName.left(dot) + number + dataFileName.mid(dot);
}

QString DumpFileName(const QDate& date, const QTime& time)
{
    return date.toString(QStringLiteral("MMdd")) + time.toString(QStringLiteral("hhmmss"))
        + QStringLiteral(".nblg");
}
