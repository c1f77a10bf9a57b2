#pragma once

// The virtual meter as a child process publishing COMn in a private runtime folder, for the
// tests that run over its pseudo-terminal. Needs NIMBREL_METER_BIN (set for every test when
// the meter is built).

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

class VirtualMeterProcess
{
public:
    // Points XDG_RUNTIME_DIR at a private folder, starts the meter with these options and waits
    // for its first line ("COMn <link> <device>"); false when it does not come up.
    bool start(const QStringList& options)
    {
        if (!m_runtime.isValid())
            return false;
        QFile::setPermissions(m_runtime.path(),
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.start(QStringLiteral(NIMBREL_METER_BIN), options);
        if (!process.waitForStarted(5000))
            return false;
        QDeadlineTimer deadline(10000);
        while (!process.canReadLine() && !deadline.hasExpired())
            QTest::qWait(20);
        if (!process.canReadLine())
            return false;
        firstLine = QString::fromLocal8Bit(process.readLine()).trimmed();
        return true;
    }

    // One command line on the meter's standard input.
    bool command(const QByteArray& line)
    {
        process.write(line + "\n");
        return process.waitForBytesWritten(2000);
    }

    // "quit", and whether it ended cleanly.
    bool quit()
    {
        command("quit");
        return process.waitForFinished(5000) && process.exitCode() == 0;
    }

    QString runtimePath() const { return m_runtime.path(); }

    QProcess process;
    QString firstLine;

private:
    QTemporaryDir m_runtime;
};
