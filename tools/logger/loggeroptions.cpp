#include "loggeroptions.h"

#include "common/headlessmessages.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace
{
struct Parser {
    QCommandLineParser parser;
    QCommandLineOption port { QStringLiteral("port"),
        QStringLiteral("The meter's port: COM1 to COM8 (as Nimbrel maps them) or a device path. "
                       "Left out, every serial port is listened to for a moment and the one "
                       "meter heard is taken."),
        QStringLiteral("COMn|DEVICE") };
    QCommandLineOption wait { QStringLiteral("wait"),
        QStringLiteral("How long to wait for the dump to begin, 1 to 86400 seconds (default "
                       "300). A dump that has begun runs to its end."),
        QStringLiteral("SECONDS") };
    HelpAndVersion common;

    Parser()
    {
        parser.setApplicationDescription(QStringLiteral(
            "Waits for the meter's logger dump (press the meter's dump key), downloads it as "
            "Nimbrel does and writes each set to DIR/set-N.nblg as the data list's \"Save\" "
            "writes it; DIR is made when missing, a set file of the same name is replaced. "
            "Standard output gets one line per set written: the set, its start time, records, "
            "interval in seconds and file, separated by tabs.\n"
            "Exit status: 0 every set written; 2 bad option; 3 the port cannot be used, or no "
            "single meter was heard; 4 DIR or a set file cannot be written; 5 no dump within "
            "the wait; 6 \"No Data in Memory!\" (the logger holds no set); 7 the download "
            "stopped part way, or a set could not be listed in full: the sets that arrived "
            "whole are written, and standard error says which set stopped."));
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.addOptions({ port, wait, common.help, common.version });
        parser.addPositionalArgument(QStringLiteral("DIR"),
            QStringLiteral("The folder for the set files."), QStringLiteral("DIR"));
    }
};
} // namespace

bool ReadLoggerOptions(const QStringList& arguments, LoggerOptions* options, QString* error)
{
    Parser p;
    LoggerOptions& o = *options;
    if (!ParseCommandLine(p.parser, p.common, QStringLiteral("nimbrel-logger"), arguments, &o.help,
            &o.version, error))
        return false;
    if (o.help || o.version)
        return true;
    o.portGiven = p.parser.isSet(p.port);
    if (o.portGiven && !ReadPortArgument(p.parser.value(p.port), &o.port, error))
        return false;
    if (p.parser.isSet(p.wait)) {
        static const QRegularExpression digits(QStringLiteral("^\\d{1,5}$"));
        const QString text = p.parser.value(p.wait);
        const int seconds = digits.match(text).hasMatch() ? text.toInt() : 0;
        if (seconds < 1 || seconds > kMostWaitSeconds) {
            *error = QStringLiteral("--wait wants a whole number of seconds from 1 to %1, not "
                                    "\"%2\"")
                         .arg(QString::number(kMostWaitSeconds), text);
            return false;
        }
        o.waitSeconds = seconds;
    }
    const QStringList folders = p.parser.positionalArguments();
    if (folders.size() != 1) {
        *error = folders.isEmpty()
            ? QStringLiteral("no folder given for the set files")
            : QStringLiteral("one folder for the set files, not %1").arg(folders.size());
        return false;
    }
    o.folder = folders.first();
    return true;
}

QString LoggerHelpText()
{
    const Parser p;
    return HelpText(p.parser);
}
