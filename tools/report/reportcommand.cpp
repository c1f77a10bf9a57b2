#include "reportcommand.h"

#include "csvexport.h"
#include "report/recordingfiles.h"
#include "report/reportbuilder.h"
#include "report/reportdates.h"
#include "report/reportjson.h"
#include "report/reportoutput.h"
#include "report/reportpages.h"
#include "report/reportsources.h"
#include "report/reporttexts.h"
#include "reportoptions.h"

#include <QFileInfo>
#include <QSaveFile>

#include <unistd.h>

namespace
{
// Input this large takes long enough to show progress.
constexpr qint64 kProgressBytes = 16 * 1024 * 1024;

void Say(std::FILE* err, const QString& text)
{
    std::fprintf(err, "nimbrel-report: %s\n", qPrintable(text));
}
} // namespace

int RunReport(const ReportOptions& options, std::FILE* out, std::FILE* err)
{
    ReportSettings settings = options.settings;
    ReportBuilder builder(settings);
    // Parts of one recording given out of order (as a shell lists run-1, run-10, run) are read
    // in the order of their records; the first and the last of them then name and date the
    // report.
    QString note;
    const QStringList files = RecordingOrder(options.files, &note);
    if (!note.isEmpty())
        builder.warn(note);
    // No data file is ever written over, and nothing is read before the name is known good.
    // With --json, -o names a JSON file instead of standard output.
    // With --csv, likewise a CSV file.
    QString output;
    const bool text = options.json || options.csv;
    if (!text || !options.output.isEmpty()) {
        output = options.output.isEmpty() ? DefaultPdfName(files.first()) : options.output;
        const QString problem = options.json ? CheckReportOutputName(&output, options.files,
                                    QStringLiteral("json"), QStringLiteral("JSON"))
            : options.csv                    ? CheckReportOutputName(
                                     &output, options.files, QStringLiteral("csv"), QStringLiteral("CSV"))
                          : CheckReportPdfName(&output, options.files);
        if (!problem.isEmpty()) {
            Say(err, problem);
            return kExitBadOption;
        }
    }

    qint64 total = 0;
    for (const QString& path : files)
        total += QFileInfo(path).size();
    const bool showProgress = total >= kProgressBytes && isatty(fileno(err));
    int shown = -1;
    const auto progress = [&](qint64 done, qint64 all) {
        const int percent = all > 0 ? static_cast<int>(done * 100 / all) : 100;
        if (percent != shown) {
            shown = percent;
            std::fprintf(err, "\rReading %d %%", percent);
            std::fflush(err);
        }
    };
    QString error;
    const bool read = ReadDataFiles(files, settings.fahrenheit, builder, &error,
        showProgress ? std::function<void(qint64, qint64)>(progress) : nullptr);
    if (showProgress)
        std::fputs("\n", err);
    if (!read) {
        Say(err, error);
        return kExitBadFile;
    }
    ReportFigures figures = builder.finish();
    if (figures.records == 0) {
        Say(err,
            QStringLiteral("%1: no records, nothing to report")
                .arg(files.join(QStringLiteral(", "))));
        return kExitBadFile;
    }

    if (!options.titleGiven)
        figures.settings.title = QFileInfo(files.first()).fileName();
    if (!options.startGiven) {
        DateFromFiles(&figures, files);
    } else if (options.startSecondsOfDay >= 0
        && std::abs(options.startSecondsOfDay - figures.first) > 60) {
        figures.warnings.append(
            QStringLiteral("the first record is at %1; only the date of --start is used")
                .arg(StampText(figures.settings.firstDate, figures.first).mid(11)));
    }
    for (const QString& warning : figures.warnings)
        Say(err, QStringLiteral("warning: ") + warning);

    if (options.csv) {
        if (output.isEmpty()) {
            QFile standard;
            if (!standard.open(out, QIODevice::WriteOnly)
                || !WriteRecordsCsv(files, figures.settings.firstDate, standard, &error)
                || !standard.flush()) {
                Say(err, error.isEmpty() ? standard.errorString() : error);
                return kExitNotWritten;
            }
            return kExitDone;
        }
        // Written whole or not at all, as the JSON.
        QSaveFile file(output);
        if (!file.open(QIODevice::WriteOnly)
            || !WriteRecordsCsv(files, figures.settings.firstDate, file, &error)
            || !file.commit()) {
            Say(err,
                QStringLiteral("%1: %2").arg(output, error.isEmpty() ? file.errorString() : error));
            return kExitNotWritten;
        }
        return kExitDone;
    }
    if (options.json && output.isEmpty()) {
        const QByteArray json = ReportJson(figures);
        std::fwrite(json.constData(), 1, static_cast<size_t>(json.size()), out);
        std::fflush(out);
        return kExitDone;
    }
    if (options.json) {
        // Written whole or not at all: an earlier file stays until the new one is complete.
        QSaveFile file(output);
        if (!file.open(QIODevice::WriteOnly) || file.write(ReportJson(figures)) < 0
            || !file.commit()) {
            Say(err, QStringLiteral("%1: %2").arg(output, file.errorString()));
            return kExitNotWritten;
        }
        return kExitDone;
    }
    if (!WriteReportPdf(figures, output, &error)) {
        Say(err, QStringLiteral("%1: %2").arg(output, error));
        return kExitNotWritten;
    }
    return kExitDone;
}
