#include "meteroptions.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <cmath>

namespace
{

bool parseInt(const QString& text, qint64 low, qint64 high, qint64* value)
{
    bool ok = false;
    const qint64 parsed = text.trimmed().toLongLong(&ok, 10);
    if (!ok || parsed < low || parsed > high)
        return false;
    *value = parsed;
    return true;
}

// Seconds, possibly with a fraction, as milliseconds.
bool parseSeconds(const QString& text, qint64* ms)
{
    bool ok = false;
    const double seconds = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(seconds) || seconds < 0 || seconds > 1e7)
        return false;
    *ms = qint64(std::llround(seconds * 1000.0));
    return true;
}

} // namespace

bool parsePortName(const QString& text, int* port)
{
    const QString name = text.trimmed().toUpper();
    if (name.size() != 4 || !name.startsWith(QLatin1String("COM")))
        return false;
    const int digit = name.at(3).digitValue();
    if (digit < 1 || digit > 8)
        return false;
    *port = digit;
    return true;
}

namespace
{

// The options as the parser knows them and as --help lists them: names, the value's name (none
// for a flag) and the description, whose later lines --help indents under the first.
struct OptionEntry {
    QStringList names;
    QString valueName;
    QString description;
};

const std::vector<OptionEntry>& OptionTable()
{
    static const std::vector<OptionEntry> kTable {
        { { QStringLiteral("port") }, QStringLiteral("COMn"),
            QStringLiteral("port to publish, COM1 to COM8 (default COM1)") },
        { { QStringLiteral("interval") }, QStringLiteral("MS"),
            QStringLiteral("milliseconds between live frames (default 500)") },
        { { QStringLiteral("seed") }, QStringLiteral("N"),
            QStringLiteral("make the drifting readings and logged records repeatable") },
        { { QStringLiteral("frames") }, QStringLiteral("FILE"),
            QStringLiteral("play the frames of FILE in a cycle instead: hex bytes,\n"
                           "one frame a line, '#' comments; sent exactly as written") },
        { { QStringLiteral("silence-after") }, QStringLiteral("S"),
            QStringLiteral("send nothing after S seconds (until 'resume')") },
        { { QStringLiteral("out-of-step") }, QStringLiteral("K"),
            QStringLiteral("the first K generated frames are out of step") },
        { { QStringLiteral("markers") }, QStringLiteral("LIST"),
            QStringLiteral("every 5th generated frame carries the next marker of\n"
                           "LIST: tover, tunder, co2over, nodata (comma separated)") },
        { { QStringLiteral("no-pace") }, {},
            QStringLiteral("send at once instead of at 28800 baud (2880 bytes/s)") },
        { { QStringLiteral("set") }, QStringLiteral("PLAN"),
            QStringLiteral("add a logged set (repeatable); PLAN is\n"
                           "RECORDS[,START=hh:mm:ss][,INTERVAL=s]\n"
                           "[,KIND=normal|nodata|overload|co2over|mixed][,REPEAT=n]\n"
                           "(defaults START=12:00:00, INTERVAL=60, KIND=normal)") },
        { { QStringLiteral("full-memory") }, {},
            QStringLiteral("eight sets filling all 129,536 bytes of logger memory") },
        { { QStringLiteral("empty-logger") }, {},
            QStringLiteral("no sets: a dump sends the signature with N = 0 only") },
        { { QStringLiteral("dump-at-start") }, {},
            QStringLiteral("start a dump at once (after the 2.5 s gap)") },
        { { QStringLiteral("fault-stop-after") }, QStringLiteral("K"),
            QStringLiteral("next dump: stop answering after K bytes (counted from\n"
                           "the first header byte), stay quiet, then live frames") },
        { { QStringLiteral("fault-quiet") }, QStringLiteral("S"),
            QStringLiteral("seconds of that quiet (default 5)") },
        { { QStringLiteral("fault-overshoot") }, QStringLiteral("K"),
            QStringLiteral("next dump: the first record piece carries K extra bytes") },
        { { QStringLiteral("fault-short-header") }, {},
            QStringLiteral("next dump: the first set header is sent as 5 bytes,\n"
                           "the other 3 with the next piece") },
        { { QStringLiteral("h"), QStringLiteral("help") }, {}, QStringLiteral("show this text") },
        { { QStringLiteral("v"), QStringLiteral("version") }, {},
            QStringLiteral("show the program's version") },
    };
    return kTable;
}

// "  --port COMn" or "  -h, --help", the column --help shows an option's names in.
QString OptionColumn(const OptionEntry& entry)
{
    QStringList names;
    for (const QString& name : entry.names)
        names.append((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name);
    QString column = QStringLiteral("  ") + names.join(QStringLiteral(", "));
    if (!entry.valueName.isEmpty())
        column += QLatin1Char(' ') + entry.valueName;
    return column;
}

} // namespace

bool MeterOptions::parse(const QStringList& arguments, MeterOptions* options, QString* error)
{
    MeterOptions parsed;
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };

    QCommandLineParser parser;
    for (const OptionEntry& entry : OptionTable())
        parser.addOption(QCommandLineOption(entry.names, entry.description, entry.valueName));
    // The parser takes the program's name first.
    if (!parser.parse(QStringList { QStringLiteral("nimbrel-meter") } + arguments))
        return fail(parser.errorText() + QStringLiteral(" (see --help)"));
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unknown option \"%1\" (see --help)")
                        .arg(parser.positionalArguments().constFirst()));

    // The last of a repeated option counts, as with any option but --set.
    auto given = [&](const char* name, QString* value) {
        const QString option = QLatin1String(name);
        if (!parser.isSet(option))
            return false;
        *value = parser.value(option);
        return true;
    };
    QString v;
    qint64 n = 0;
    parsed.help = parser.isSet(QStringLiteral("help"));
    parsed.version = parser.isSet(QStringLiteral("version"));
    if (given("port", &v) && !parsePortName(v, &parsed.port))
        return fail(QStringLiteral("--port takes COM1 to COM8"));
    if (given("interval", &v)) {
        if (!parseInt(v, kMinIntervalMs, kMaxIntervalMs, &n))
            return fail(QStringLiteral("--interval takes milliseconds from %1 to %2")
                            .arg(kMinIntervalMs)
                            .arg(kMaxIntervalMs));
        parsed.intervalMs = int(n);
    }
    if (given("seed", &v)) {
        bool ok = false;
        parsed.seed = v.trimmed().toULongLong(&ok, 10);
        if (!ok)
            return fail(QStringLiteral("--seed takes a whole number"));
        parsed.seedGiven = true;
    }
    if (given("frames", &v)) {
        if (v.isEmpty())
            return fail(QStringLiteral("--frames takes a file name"));
        parsed.framesFile = v;
    }
    if (given("silence-after", &v) && !parseSeconds(v, &parsed.silenceAfterMs))
        return fail(QStringLiteral("--silence-after takes seconds"));
    if (given("out-of-step", &v)) {
        if (!parseInt(v, 0, 1000000, &n))
            return fail(QStringLiteral("--out-of-step takes a number of frames"));
        parsed.outOfStep = int(n);
    }
    if (given("markers", &v)) {
        QString why;
        if (!parseMarkerList(v, &parsed.markers, &why))
            return fail(QStringLiteral("--markers: %1").arg(why));
    }
    parsed.pace = !parser.isSet(QStringLiteral("no-pace"));
    for (const QString& plan : parser.values(QStringLiteral("set"))) {
        LoggerSetPlan set;
        QString why;
        if (!LoggerSetPlan::parse(plan, &set, &why))
            return fail(QStringLiteral("--set: %1").arg(why));
        parsed.sets.push_back(set);
    }
    parsed.fullMemory = parser.isSet(QStringLiteral("full-memory"));
    parsed.emptyLogger = parser.isSet(QStringLiteral("empty-logger"));
    parsed.dumpAtStart = parser.isSet(QStringLiteral("dump-at-start"));
    if (given("fault-stop-after", &v)) {
        if (!parseInt(v, 0, 1 << 24, &n))
            return fail(QStringLiteral("--fault-stop-after takes a number of bytes"));
        parsed.faults.stopAfter = int(n);
    }
    if (given("fault-quiet", &v)) {
        qint64 ms = 0;
        if (!parseSeconds(v, &ms))
            return fail(QStringLiteral("--fault-quiet takes seconds"));
        parsed.faults.quietMs = int(qMin<qint64>(ms, 1 << 30));
    }
    if (given("fault-overshoot", &v)) {
        if (!parseInt(v, 0, 1 << 20, &n))
            return fail(QStringLiteral("--fault-overshoot takes a number of bytes"));
        parsed.faults.overshoot = int(n);
    }
    parsed.faults.shortHeader = parser.isSet(QStringLiteral("fault-short-header"));

    const int layouts = (parsed.fullMemory ? 1 : 0) + (parsed.emptyLogger ? 1 : 0)
        + (parsed.sets.empty() ? 0 : 1);
    if (layouts > 1)
        return fail(QStringLiteral("choose one of --set, --full-memory and --empty-logger"));
    *options = parsed;
    return true;
}

std::vector<LoggerSetPlan> MeterOptions::loggerLayout() const
{
    if (emptyLogger)
        return {};
    if (fullMemory)
        return LoggerImage::fullMemoryLayout();
    if (!sets.empty())
        return sets;
    return LoggerImage::defaultLayout();
}

QString MeterOptions::helpText()
{
    QString text
        = QStringLiteral("Usage: nimbrel-meter [options]\n"
                         "Plays the indoor-air meter on a pseudo-terminal and publishes it as\n"
                         "<runtime folder>/nimbrel/COMn. The first line on standard output is\n"
                         "  COMn <link path> <device path>\n"
                         "\n"
                         "Options:\n");
    // Names in a column 26 wide, each line of the description beside or under it.
    const QString indent(26, QLatin1Char(' '));
    for (const OptionEntry& entry : OptionTable()) {
        const QString column = OptionColumn(entry);
        text += column.leftJustified(indent.size() - 1) + QLatin1Char(' ');
        text += QString(entry.description).replace(QLatin1Char('\n'), QLatin1Char('\n') + indent);
        text += QLatin1Char('\n');
    }
    text += QStringLiteral(
        "Without --set, --full-memory or --empty-logger the logger holds four small sets.\n"
        "\n"
        "Commands on standard input, one a line:\n"
        "  silence                 stop sending (a running dump is abandoned)\n"
        "  resume                  send live frames again\n"
        "  dump                    start a logger dump\n"
        "  unplug                  close the pseudo-terminal and remove the link\n"
        "  plug [COMn]             publish a new pseudo-terminal under the same link (or\n"
        "                          under COMn) and print a new 'COMn <link path> <device\n"
        "                          path>' line\n"
        "  outofstep K             the next K generated frames are out of step\n"
        "  markers LIST            markers for the frames to come ('markers none' clears)\n"
        "  fault-stop-after K, fault-overshoot K, fault-short-header, fault-quiet S\n"
        "                          faults for the next dump, as the options\n"
        "  help                    show this text on standard error\n"
        "  quit                    remove the link and end\n"
        "End of standard input does not end the meter; quit, SIGTERM or SIGINT do.\n");
    return text;
}

bool MeterCommand::parse(const QString& line, MeterCommand* command, QString* error)
{
    MeterCommand parsed;
    const QStringList words = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (words.isEmpty()) {
        *command = parsed;
        return true;
    }
    const QString verb = words[0].toLower();
    const QString argument = words.mid(1).join(QLatin1Char(' '));
    auto noArgument = [&](MeterCommand::Kind kind) {
        if (words.size() != 1)
            return fail(QStringLiteral("%1 takes no argument").arg(verb));
        parsed.kind = kind;
        return true;
    };
    auto numberArgument = [&](MeterCommand::Kind kind, qint64 high) {
        if (words.size() != 2 || !parseInt(argument, 0, high, &parsed.number))
            return fail(QStringLiteral("%1 takes a number from 0 to %2").arg(verb).arg(high));
        parsed.kind = kind;
        return true;
    };

    bool ok = false;
    if (verb == QLatin1String("silence"))
        ok = noArgument(Kind::Silence);
    else if (verb == QLatin1String("resume"))
        ok = noArgument(Kind::Resume);
    else if (verb == QLatin1String("quit"))
        ok = noArgument(Kind::Quit);
    else if (verb == QLatin1String("dump"))
        ok = noArgument(Kind::Dump);
    else if (verb == QLatin1String("unplug"))
        ok = noArgument(Kind::Unplug);
    else if (verb == QLatin1String("plug")) {
        // "plug COMn" plugs the meter in under another COMn, as an adapter that comes back
        // under another name.
        int port = 0;
        if (words.size() > 2 || (words.size() == 2 && !parsePortName(argument, &port)))
            return fail(QStringLiteral("plug takes nothing or COM1 to COM8"));
        parsed.kind = Kind::Plug;
        parsed.number = port;
        ok = true;
    } else if (verb == QLatin1String("help"))
        ok = noArgument(Kind::Help);
    else if (verb == QLatin1String("fault-short-header"))
        ok = noArgument(Kind::FaultShortHeader);
    else if (verb == QLatin1String("outofstep"))
        ok = numberArgument(Kind::OutOfStep, 1000000);
    else if (verb == QLatin1String("fault-stop-after"))
        ok = numberArgument(Kind::FaultStopAfter, 1 << 24);
    else if (verb == QLatin1String("fault-overshoot"))
        ok = numberArgument(Kind::FaultOvershoot, 1 << 20);
    else if (verb == QLatin1String("fault-quiet")) {
        if (words.size() != 2 || !parseSeconds(argument, &parsed.number))
            return fail(QStringLiteral("fault-quiet takes seconds"));
        parsed.kind = Kind::FaultQuiet;
        ok = true;
    } else if (verb == QLatin1String("markers")) {
        QString why;
        if (!parseMarkerList(argument, &parsed.markers, &why))
            return fail(QStringLiteral("markers: %1").arg(why));
        parsed.kind = Kind::Markers;
        ok = true;
    } else {
        return fail(QStringLiteral("unknown command \"%1\" (try help)").arg(words[0]));
    }
    if (ok)
        *command = parsed;
    return ok;
}
