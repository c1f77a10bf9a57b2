#include "recordoptions.h"

#include "common/headlessmessages.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace
{
constexpr int kShortestInterval = 1;
constexpr int kLongestInterval = 86400;

struct Parser {
    QCommandLineParser parser;
    QCommandLineOption port { QStringLiteral("port"),
        QStringLiteral("The meter's port: COM1 to COM8 (as the program maps them) or a device "
                       "path. Left out, every port is listened to and the one meter heard is "
                       "taken."),
        QStringLiteral("COMn|DEVICE") };
    QCommandLineOption interval { QStringLiteral("interval"),
        QStringLiteral("Seconds between records, 1 to 86400 (default 2)."),
        QStringLiteral("SECONDS") };
    QCommandLineOption duration { QStringLiteral("for"),
        QStringLiteral("Stop after DURATION: a whole number with s, m, h or d (\"90s\", "
                       "\"12h\", \"7d\"). Left out, it records until stopped (SIGTERM, "
                       "SIGINT)."),
        QStringLiteral("DURATION") };
    QCommandLineOption loggerDir { QStringLiteral("logger-dir"),
        QStringLiteral("A logger dump that arrives while recording (the meter's dump key) is "
                       "downloaded and each set written to DIR/set-N.nblg as the data list "
                       "saves it; recording goes on after the dump."),
        QStringLiteral("DIR") };
    HelpAndVersion common;

    Parser()
    {
        parser.setApplicationDescription(QStringLiteral(
            "Records the meter's readings to a data file without a display, as the program's "
            "\"Save\" records them: the header line, one record every interval, flushed as it "
            "is written, a new part FILE-1, FILE-2 ... every 34,800 records. A FILE that "
            "exists and is not empty is never written over. An unplugged "
            "meter is waited for and reopened. On a terminal one status line is kept up to "
            "date; otherwise each start, change of state and stop is a line on standard "
            "error.\n"
            "Exit status: 0 done, or stopped by SIGTERM or SIGINT after the record in "
            "progress; 2 bad option; 3 the port cannot be used, or no single meter was heard; "
            "4 the file (or a set file) cannot be written."));
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.addOptions({ port, interval, duration, loggerDir, common.help, common.version });
        parser.addPositionalArgument(
            QStringLiteral("FILE"), QStringLiteral("The data file to record to (.nblg)."));
    }
};
} // namespace

bool ReadDuration(const QString& text, qint64* seconds)
{
    static const QRegularExpression form(QStringLiteral("^([0-9]{1,9})([smhd])$"));
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch())
        return false;
    const qint64 count = match.captured(1).toLongLong();
    const QChar unit = match.captured(2).at(0);
    const qint64 scale = unit == QLatin1Char('s') ? 1
        : unit == QLatin1Char('m')                ? 60
        : unit == QLatin1Char('h')                ? 3600
                                                  : 86400;
    const qint64 total = count * scale;
    if (count == 0 || total > kLongestRunSeconds)
        return false;
    *seconds = total;
    return true;
}

bool ReadRecordOptions(const QStringList& arguments, RecordOptions* options, QString* error)
{
    Parser p;
    RecordOptions& o = *options;
    if (!ParseCommandLine(p.parser, p.common, QStringLiteral("nimbrel-record"), arguments, &o.help,
            &o.version, error))
        return false;
    if (o.help || o.version)
        return true;
    if (p.parser.isSet(p.port)) {
        if (!ReadPortArgument(p.parser.value(p.port).trimmed(), &o.port, error))
            return false;
        o.portGiven = true;
    }
    if (p.parser.isSet(p.interval)) {
        bool ok = false;
        const QString text = p.parser.value(p.interval);
        const int seconds = text.trimmed().toInt(&ok);
        if (!ok || seconds < kShortestInterval || seconds > kLongestInterval) {
            *error = QStringLiteral("--interval wants a whole number of seconds from %1 to %2, "
                                    "not \"%3\"")
                         .arg(kShortestInterval)
                         .arg(kLongestInterval)
                         .arg(text);
            return false;
        }
        o.intervalSeconds = seconds;
    }
    if (p.parser.isSet(p.duration) && !ReadDuration(p.parser.value(p.duration), &o.forSeconds)) {
        *error = QStringLiteral("--for wants a whole number with s, m, h or d (at most %1 "
                                "days), not \"%2\"")
                     .arg(kLongestRunSeconds / 86400)
                     .arg(p.parser.value(p.duration));
        return false;
    }
    if (p.parser.isSet(p.loggerDir)) {
        o.loggerDir = p.parser.value(p.loggerDir);
        if (o.loggerDir.isEmpty()) {
            *error = QStringLiteral("--logger-dir wants a folder");
            return false;
        }
    }
    const QStringList files = p.parser.positionalArguments();
    if (files.isEmpty()) {
        *error = QStringLiteral("no data file given");
        return false;
    }
    if (files.size() > 1) {
        *error = QStringLiteral("one data file only, not %1").arg(files.size());
        return false;
    }
    o.file = files.first();
    return true;
}

QString RecordHelpText()
{
    Parser p;
    return HelpText(p.parser);
}
