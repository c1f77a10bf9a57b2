#include "headlessmessages.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

namespace
{
QtMessageHandler g_qtMessages = nullptr;

void QuietMessages(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtWarningMsg && text.startsWith(QLatin1String("QStandardPaths:")))
        return;
    g_qtMessages(type, context, text);
}
} // namespace

void Say(const QString& text)
{
    const QString line
        = QCoreApplication::applicationName() + QStringLiteral(": ") + text + QLatin1Char('\n');
    std::fputs(line.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

void QuietQtRemarks()
{
    g_qtMessages = qInstallMessageHandler(QuietMessages);
}

QString HelpText(const QCommandLineParser& parser)
{
    QString text = parser.helpText();
    // Qt names the program as it was started, folder and all: the name is enough.
    const QStringList arguments = QCoreApplication::arguments();
    const QString started = arguments.isEmpty() ? QString() : arguments.first();
    const QString usage = QStringLiteral("Usage: ") + started;
    if (!started.isEmpty() && text.startsWith(usage))
        text.replace(0, usage.size(), QStringLiteral("Usage: ") + QFileInfo(started).fileName());
    return text;
}
