#include "meteroptions.h"

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

bool MeterOptions::parse(const QStringList& arguments, MeterOptions* options, QString* error)
{
    MeterOptions parsed;
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };

    for (int i = 0; i < arguments.size(); ++i) {
        QString name = arguments[i];
        QString value;
        bool hasInlineValue = false;
        const qsizetype eq = name.indexOf(QLatin1Char('='));
        if (name.startsWith(QLatin1String("--")) && eq > 0) {
            value = name.mid(eq + 1);
            name = name.left(eq);
            hasInlineValue = true;
        }
        auto takeValue = [&](QString* out) {
            if (hasInlineValue) {
                *out = value;
                return true;
            }
            if (i + 1 >= arguments.size())
                return false;
            *out = arguments[++i];
            return true;
        };
        auto flag = [&]() { return !hasInlineValue; };

        QString v;
        qint64 n = 0;
        if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            parsed.help = true;
        } else if (name == QLatin1String("--port")) {
            if (!takeValue(&v) || !parsePortName(v, &parsed.port))
                return fail(QStringLiteral("--port takes COM1 to COM8"));
        } else if (name == QLatin1String("--interval")) {
            if (!takeValue(&v) || !parseInt(v, kMinIntervalMs, kMaxIntervalMs, &n))
                return fail(QStringLiteral("--interval takes milliseconds from %1 to %2")
                                .arg(kMinIntervalMs)
                                .arg(kMaxIntervalMs));
            parsed.intervalMs = int(n);
        } else if (name == QLatin1String("--seed")) {
            bool ok = false;
            if (!takeValue(&v))
                return fail(QStringLiteral("--seed takes a whole number"));
            parsed.seed = v.trimmed().toULongLong(&ok, 10);
            if (!ok)
                return fail(QStringLiteral("--seed takes a whole number"));
            parsed.seedGiven = true;
        } else if (name == QLatin1String("--frames")) {
            if (!takeValue(&v) || v.isEmpty())
                return fail(QStringLiteral("--frames takes a file name"));
            parsed.framesFile = v;
        } else if (name == QLatin1String("--silence-after")) {
            if (!takeValue(&v) || !parseSeconds(v, &parsed.silenceAfterMs))
                return fail(QStringLiteral("--silence-after takes seconds"));
        } else if (name == QLatin1String("--out-of-step")) {
            if (!takeValue(&v) || !parseInt(v, 0, 1000000, &n))
                return fail(QStringLiteral("--out-of-step takes a number of frames"));
            parsed.outOfStep = int(n);
        } else if (name == QLatin1String("--markers")) {
            QString why;
            if (!takeValue(&v))
                return fail(QStringLiteral("--markers takes a list such as tover,co2over"));
            if (!parseMarkerList(v, &parsed.markers, &why))
                return fail(QStringLiteral("--markers: %1").arg(why));
        } else if (name == QLatin1String("--no-pace") && flag()) {
            parsed.pace = false;
        } else if (name == QLatin1String("--set")) {
            LoggerSetPlan plan;
            QString why;
            if (!takeValue(&v))
                return fail(QStringLiteral(
                    "--set takes RECORDS[,START=hh:mm:ss][,INTERVAL=s][,KIND=k][,REPEAT=n]"));
            if (!LoggerSetPlan::parse(v, &plan, &why))
                return fail(QStringLiteral("--set: %1").arg(why));
            parsed.sets.push_back(plan);
        } else if (name == QLatin1String("--full-memory") && flag()) {
            parsed.fullMemory = true;
        } else if (name == QLatin1String("--empty-logger") && flag()) {
            parsed.emptyLogger = true;
        } else if (name == QLatin1String("--dump-at-start") && flag()) {
            parsed.dumpAtStart = true;
        } else if (name == QLatin1String("--fault-stop-after")) {
            if (!takeValue(&v) || !parseInt(v, 0, 1 << 24, &n))
                return fail(QStringLiteral("--fault-stop-after takes a number of bytes"));
            parsed.faults.stopAfter = int(n);
        } else if (name == QLatin1String("--fault-quiet")) {
            qint64 ms = 0;
            if (!takeValue(&v) || !parseSeconds(v, &ms))
                return fail(QStringLiteral("--fault-quiet takes seconds"));
            parsed.faults.quietMs = int(qMin<qint64>(ms, 1 << 30));
        } else if (name == QLatin1String("--fault-overshoot")) {
            if (!takeValue(&v) || !parseInt(v, 0, 1 << 20, &n))
                return fail(QStringLiteral("--fault-overshoot takes a number of bytes"));
            parsed.faults.overshoot = int(n);
        } else if (name == QLatin1String("--fault-short-header") && flag()) {
            parsed.faults.shortHeader = true;
        } else {
            return fail(QStringLiteral("unknown option \"%1\" (see --help)").arg(arguments[i]));
        }
    }

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
    return QStringLiteral(
        "Usage: nimbrel-meter [options]\n"
        "Plays the indoor-air meter on a pseudo-terminal and publishes it as\n"
        "<runtime folder>/nimbrel/COMn. The first line on standard output is\n"
        "  COMn <link path> <device path>\n"
        "\n"
        "Options:\n"
        "  --port COMn             port to publish, COM1 to COM8 (default COM1)\n"
        "  --interval MS           milliseconds between live frames (default 500)\n"
        "  --seed N                make the drifting readings and logged records repeatable\n"
        "  --frames FILE           play the frames of FILE in a cycle instead: hex bytes,\n"
        "                          one frame a line, '#' comments; sent exactly as written\n"
        "  --silence-after S       send nothing after S seconds (until 'resume')\n"
        "  --out-of-step K         the first K generated frames are out of step\n"
        "  --markers LIST          every 5th generated frame carries the next marker of\n"
        "                          LIST: tover, tunder, co2over, nodata (comma separated)\n"
        "  --no-pace               send at once instead of at 28800 baud (2880 bytes/s)\n"
        "  --set PLAN              add a logged set (repeatable); PLAN is\n"
        "                          RECORDS[,START=hh:mm:ss][,INTERVAL=s]\n"
        "                          [,KIND=normal|nodata|overload|co2over|mixed][,REPEAT=n]\n"
        "                          (defaults START=12:00:00, INTERVAL=60, KIND=normal)\n"
        "  --full-memory           eight sets filling all 129,536 bytes of logger memory\n"
        "  --empty-logger          no sets: a dump sends the signature with N = 0 only\n"
        "  --dump-at-start         start a dump at once (after the 2.5 s gap)\n"
        "  --fault-stop-after K    next dump: stop answering after K bytes (counted from\n"
        "                          the first header byte), stay quiet, then live frames\n"
        "  --fault-quiet S         seconds of that quiet (default 5)\n"
        "  --fault-overshoot K     next dump: the first record piece carries K extra bytes\n"
        "  --fault-short-header    next dump: the first set header is sent as 5 bytes,\n"
        "                          the other 3 with the next piece\n"
        "  -h, --help              show this text\n"
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
