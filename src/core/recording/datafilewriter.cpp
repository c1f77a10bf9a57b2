#include "datafilewriter.h"

bool FileDataWriter::open(const QString& path)
{
    m_file.close();
    m_file.setFileName(path);
    if (m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return true;
    m_error = m_file.errorString();
    return false;
}

bool FileDataWriter::write(const QByteArray& bytes)
{
    if (!m_file.isOpen()) {
        m_error = QStringLiteral("the file is not open");
        return false;
    }
    const qint64 before = m_file.pos();
    // A write that stops short says nothing of why; the next one, for the rest, fails with the
    // reason (or, if there is room again, completes the line).
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = m_file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0)
            break;
        written += n;
    }
    if (written == bytes.size())
        return true;
    // Taken before cutting back, which clears it.
    m_error = m_file.error() == QFileDevice::NoError ? QStringLiteral("the line was cut short")
                                                     : m_file.errorString();
    if (!m_file.isSequential()) {
        if (written != 0)
            m_file.resize(before);
        m_file.seek(before);
    }
    return false;
}
