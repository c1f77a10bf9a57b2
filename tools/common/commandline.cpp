#include "commandline.h"

#include "nimbrelversion.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

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

bool ParseCommandLine(QCommandLineParser& parser, const HelpAndVersion& common,
    const QString& program, const QStringList& arguments, bool* help, bool* version, QString* error)
{
    if (!parser.parse(QStringList { program } + arguments)) {
        *error = parser.errorText();
        return false;
    }
    *help = parser.isSet(common.help);
    *version = parser.isSet(common.version);
    return true;
}

int AnswerCommandLine(bool read, const QString& error, bool help, bool version,
    const QString& helpText, int badOptionStatus)
{
    if (!read) {
        Say(error);
        std::fprintf(stderr, "\n%s", qPrintable(helpText));
        return badOptionStatus;
    }
    if (help) {
        std::fputs(qPrintable(helpText), stdout);
        return 0;
    }
    if (version)
        return PrintVersion(qPrintable(QCoreApplication::applicationName()));
    return -1;
}

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
