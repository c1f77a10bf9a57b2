// nimbrel-report: the indoor-air report from data files, without a display.
#include "nimbrelversion.h"
#include "reportcommand.h"
#include "reportoptions.h"

#include <QGuiApplication>

#include <cstdio>

namespace
{
QtMessageHandler g_qtMessages = nullptr;

// Qt's remark that it chose a runtime folder says nothing to a user of this program.
void QuietMessages(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtWarningMsg && text.startsWith(QLatin1String("QStandardPaths:")))
        return;
    g_qtMessages(type, context, text);
}
} // namespace

int main(int argc, char* argv[])
{
    // No display needed: without one, draw offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    g_qtMessages = qInstallMessageHandler(QuietMessages);
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("nimbrel-report"));
    QGuiApplication::setApplicationVersion(QStringLiteral(NIMBREL_VERSION));

    ReportOptions options;
    QString error;
    if (!ReadReportOptions(app.arguments().mid(1), &options, &error)) {
        std::fprintf(
            stderr, "nimbrel-report: %s\n\n%s", qPrintable(error), qPrintable(ReportHelpText()));
        return kExitBadOption;
    }
    if (options.help) {
        std::fputs(qPrintable(ReportHelpText()), stdout);
        return kExitDone;
    }
    if (options.version)
        return PrintVersion("nimbrel-report");
    return RunReport(options, stdout, stderr);
}
