#include "hexframefile.h"

#include <QFile>
#include <QList>

namespace
{

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Parses one line without its comment; returns an empty string on success, else the reason.
QString parseLine(const QByteArray& line, QByteArray* frame)
{
    int i = 0;
    const int n = int(line.size());
    while (i < n) {
        if (isBlank(line[i])) {
            ++i;
            continue;
        }
        // A token is a run of hex digits; it must hold whole bytes.
        const int start = i;
        while (i < n && !isBlank(line[i])) {
            if (hexDigit(line[i]) < 0)
                return QStringLiteral("\"%1\" is not a hex digit").arg(QChar::fromLatin1(line[i]));
            ++i;
        }
        if ((i - start) % 2 != 0)
            return QStringLiteral("\"%1\" has an odd number of hex digits")
                .arg(QString::fromLatin1(line.mid(start, i - start)));
        for (int k = start; k < i; k += 2)
            frame->append(char(hexDigit(line[k]) * 16 + hexDigit(line[k + 1])));
        if (frame->size() > HexFrameFile::kMaxFrameBytes)
            return QStringLiteral("a frame holds at most %1 bytes")
                .arg(HexFrameFile::kMaxFrameBytes);
    }
    return QString();
}

} // namespace

bool HexFrameFile::parse(const QByteArray& text)
{
    m_frames.clear();
    m_error.clear();
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype index = 0; index < lines.size(); ++index) {
        QByteArray line = lines[index];
        const qsizetype hash = line.indexOf('#');
        if (hash >= 0)
            line.truncate(hash);
        QByteArray frame;
        const QString problem = parseLine(line, &frame);
        if (!problem.isEmpty()) {
            m_error = QStringLiteral("line %1: %2").arg(index + 1).arg(problem);
            m_frames.clear();
            return false;
        }
        if (!frame.isEmpty())
            m_frames.push_back(frame);
    }
    if (m_frames.empty()) {
        m_error = QStringLiteral("no frames in the file");
        return false;
    }
    return true;
}

bool HexFrameFile::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_frames.clear();
        m_error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    if (file.size() > kMaxFileBytes) {
        m_frames.clear();
        m_error = QStringLiteral("%1: larger than %2 bytes").arg(path).arg(kMaxFileBytes);
        return false;
    }
    const QByteArray text = file.read(kMaxFileBytes + 1);
    if (!parse(text)) {
        m_error = QStringLiteral("%1: %2").arg(path, m_error);
        return false;
    }
    return true;
}
