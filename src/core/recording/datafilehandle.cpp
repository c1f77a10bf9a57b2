#include "datafilehandle.h"

#include "datafileformat.h"
#include "datafilewriter.h"

DataFileHandle::DataFileHandle()
    : DataFileHandle(std::make_unique<FileDataWriter>())
{
}

DataFileHandle::DataFileHandle(std::unique_ptr<DataFileWriter> writer)
    : m_writer(std::move(writer))
{
}

DataFileHandle::~DataFileHandle()
{
    close();
}

bool DataFileHandle::open(const QString& path)
{
    close();
    m_lines = 0;
    return m_writer->open(path);
}

bool DataFileHandle::writeLine(const QString& line)
{
    if (!m_writer->write(FileLineBytes(line)))
        return false;
    ++m_lines;
    return true;
}

void DataFileHandle::close()
{
    if (m_writer->isOpen())
        m_writer->close();
}

bool DataFileHandle::isOpen() const
{
    return m_writer->isOpen();
}

QString DataFileHandle::errorString() const
{
    return m_writer->errorString();
}
