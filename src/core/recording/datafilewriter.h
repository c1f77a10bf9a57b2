#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Where the recorder's lines go. Each write is all or nothing and reaches the operating system
// before it returns, so a line counted as written is in the file.
class DataFileWriter
{
public:
    virtual ~DataFileWriter() = default;
    // Creates the file, or empties it if it exists.
    virtual bool open(const QString& path) = 0;
    virtual bool write(const QByteArray& bytes) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Why the last open or write failed, in the system's words.
    virtual QString errorString() const = 0;
};

// A file on disk, written without a buffer of our own. A write that fails half way (a full disk)
// is cut back off the file, so no broken line is left for the next one to run into.
class FileDataWriter final : public DataFileWriter
{
public:
    bool open(const QString& path) override;
    bool write(const QByteArray& bytes) override;
    void close() override { m_file.close(); }
    bool isOpen() const override { return m_file.isOpen(); }
    QString errorString() const override { return m_error; }

private:
    QFile m_file;
    QString m_error;
};
