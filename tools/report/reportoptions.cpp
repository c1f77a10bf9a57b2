#include "reportoptions.h"

#include "common/commandline.h"
#include "report/listreport.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QDir>

namespace
{
// What a list option takes: "a whole number", "3 whole numbers separated by commas", "2 numbers
// separated by commas (one decimal at most)".
QString NumbersWanted(int count, bool tenths)
{
    const QString kind = tenths ? QStringLiteral("number") : QStringLiteral("whole number");
    QString text = count == 1 ? QStringLiteral("a %1").arg(kind)
                              : QStringLiteral("%1 %2s separated by commas").arg(count).arg(kind);
    if (tenths)
        text += QStringLiteral(" (one decimal at most)");
    return text;
}

struct Parser {
    QCommandLineParser parser;
    QCommandLineOption output { { QStringLiteral("o"), QStringLiteral("output") },
        QStringLiteral(
            "Write the PDF to NAME (default: the first file's name with \" report.pdf\"). "
            "A NAME without an extension gets \".pdf\"; another extension, a data "
            "file or one of the FILEs is refused."),
        QStringLiteral("NAME") };
    QCommandLineOption json { QStringLiteral("json"),
        QStringLiteral(
            "Write the report's figures as JSON instead of a PDF: to standard output, or to the "
            "file -o names (\".json\" is added to a NAME without an extension).") };
    QCommandLineOption csv { QStringLiteral("csv"),
        QStringLiteral(
            "Write the records as CSV for a spreadsheet instead of a report, one row per record "
            "with its date-time and the eight values: to standard output, or to the file -o "
            "names (\".csv\" is added to a NAME without an extension).") };
    QCommandLineOption title { QStringLiteral("title"),
        QStringLiteral("The report's title (default: the first file's name)."),
        QStringLiteral("TEXT") };
    QCommandLineOption start { QStringLiteral("start"),
        QStringLiteral("The date (and time) of the first record, \"yyyy-MM-dd[ hh:mm:ss]\" "
                       "(default: walked back from the last file's last-write time)."),
        QStringLiteral("DATE") };
    QCommandLineOption limits { QStringLiteral("co2-limits"),
        QStringLiteral("The three CO2 band limits in ppm (default 800,1000,1400)."),
        QStringLiteral("A,B,C") };
    QCommandLineOption outdoor { QStringLiteral("outdoor"),
        QStringLiteral("The outdoor CO2 in ppm (default 420)."), QStringLiteral("PPM") };
    QCommandLineOption comfortTemp { QStringLiteral("comfort-temp"),
        QStringLiteral("The comfortable temperature range in the unit shown (default 20,26 °C "
                       "or 68,78.8 °F)."),
        QStringLiteral("LOW,HIGH") };
    QCommandLineOption comfortRh { QStringLiteral("comfort-rh"),
        QStringLiteral("The comfortable relative-humidity range in % (default 30,60)."),
        QStringLiteral("LOW,HIGH") };
    QCommandLineOption fahrenheit { QStringLiteral("fahrenheit"),
        QStringLiteral("Temperatures in °F (default °C).") };
    HelpAndVersion common;

    Parser()
    {
        parser.setApplicationDescription(QStringLiteral(
            "Makes an indoor-air report (PDF) from data files. Several files are one recording, "
            "in the order given (run.nblg run-1.nblg ...); the parts of one recording given out "
            "of order (run*.nblg) are read in the order of their record numbers.\n"
            "Exit status: 0 done, 2 bad option or a PDF name that is refused, 3 a file that "
            "cannot be read, is not a data file or holds no records, 1 the PDF cannot be "
            "written."));
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.addOptions({ output, json, csv, title, start, limits, outdoor, comfortTemp,
            comfortRh, fahrenheit, common.help, common.version });
        parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("Data files (.nblg)."),
            QStringLiteral("FILE..."));
    }
};
} // namespace

bool ReadReportOptions(const QStringList& arguments, ReportOptions* options, QString* error)
{
    Parser p;
    ReportOptions& o = *options;
    if (!ParseCommandLine(p.parser, p.common, QStringLiteral("nimbrel-report"), arguments, &o.help,
            &o.version, error))
        return false;
    if (o.help || o.version)
        return true;
    o.json = p.parser.isSet(p.json);
    o.csv = p.parser.isSet(p.csv);
    if (o.json && o.csv) {
        *error = QStringLiteral("--json and --csv cannot be given together");
        return false;
    }
    o.output = p.parser.value(p.output);
    o.settings.fahrenheit = p.parser.isSet(p.fahrenheit);
    o.settings.comfortTemp = ReportSettings::defaultComfortTemp(o.settings.fahrenheit);
    o.titleGiven = p.parser.isSet(p.title);
    o.settings.title = p.parser.value(p.title);

    const auto list
        = [&](const QCommandLineOption& option, int count, bool tenths, qint32* values) {
              if (!p.parser.isSet(option)
                  || ReadNumberList(p.parser.value(option), count, tenths, values))
                  return true;
              *error = QStringLiteral("--%1 wants %2, not \"%3\"")
                           .arg(option.names().constLast(), NumbersWanted(count, tenths),
                               p.parser.value(option));
              return false;
          };
    if (!list(p.limits, 3, false, o.settings.co2Limits.data())
        || !list(p.outdoor, 1, false, &o.settings.outdoorPpm)
        || !list(p.comfortTemp, 2, true, o.settings.comfortTemp.data())
        || !list(p.comfortRh, 2, true, o.settings.comfortHumidity.data()))
        return false;

    if (p.parser.isSet(p.start)) {
        const QString text = p.parser.value(p.start).trimmed();
        const QDateTime withTime
            = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        const QDate date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
        if (withTime.isValid()) {
            o.settings.firstDate = withTime.date();
            o.startSecondsOfDay = withTime.time().msecsSinceStartOfDay() / 1000;
        } else if (date.isValid()) {
            o.settings.firstDate = date;
        } else {
            *error = QStringLiteral(
                "--start wants \"yyyy-MM-dd\" or \"yyyy-MM-dd hh:mm:ss\", not \"%1\"")
                         .arg(text);
            return false;
        }
        o.startGiven = true;
    }
    // The date is checked once it is known.
    ReportSettings check = o.settings;
    check.firstDate = QDate(2000, 1, 1);
    const QString problem = SettingsProblem(check);
    if (!problem.isEmpty()) {
        *error = problem;
        return false;
    }
    o.files = p.parser.positionalArguments();
    if (o.files.isEmpty()) {
        *error = QStringLiteral("no data file given");
        return false;
    }
    return true;
}

QString ReportHelpText()
{
    Parser p;
    return HelpText(p.parser);
}

QString DefaultPdfName(const QString& firstFile)
{
    return ReportPdfName(firstFile, QString());
}
