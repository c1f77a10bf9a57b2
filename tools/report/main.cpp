// nimbrel-report: the indoor-air report from data files, without a display.
#include "common/commandline.h"
#include "nimbrelversion.h"
#include "reportcommand.h"
#include "reportoptions.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    // No display needed: without one, draw offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QuietQtRemarks();
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("nimbrel-report"));
    QGuiApplication::setApplicationVersion(QStringLiteral(NIMBREL_VERSION));

    ReportOptions options;
    QString error;
    const bool read = ReadReportOptions(app.arguments().mid(1), &options, &error);
    const int answered = AnswerCommandLine(
        read, error, options.help, options.version, ReportHelpText(), kExitBadOption);
    if (answered >= 0)
        return answered;
    return RunReport(options, stdout, stderr);
}
