#include "listreport.h"

#include "recordingfiles.h"
#include "reportbuilder.h"
#include "reportsources.h"

#include <QDir>
#include <QFileInfo>

ReportSettings ListReportDefaults(const GridRows& rows, const QString& sourcePath,
    const QString& title, bool fahrenheit, const QDate& today)
{
    ReportSettings settings;
    settings.title = title;
    settings.fahrenheit = fahrenheit;
    settings.comfortTemp = ReportSettings::defaultComfortTemp(fahrenheit);
    settings.firstDate = today;
    settings.firstDateFrom = ReportSettings::FirstDate::Today;
    const QFileInfo file(sourcePath);
    if (!sourcePath.isEmpty() && file.exists()) {
        ReportFigures figures;
        QString error;
        if (ListReportFigures(rows, settings, title, &figures, &error, sourcePath)) {
            if (figures.datedFirstDate.isValid()) {
                settings.firstDate = figures.datedFirstDate;
                settings.firstDateFrom = ReportSettings::FirstDate::Given;
            } else {
                settings.firstDate = FirstDateFromLastWrite(file.lastModified(), figures.last);
                settings.firstDateFrom = ReportSettings::FirstDate::WalkedBack;
            }
        }
    }
    return settings;
}

bool ListReportFigures(const GridRows& rows, const ReportSettings& settings,
    const QString& sourceName, ReportFigures* figures, QString* error, const QString& sourcePath)
{
    ReportBuilder builder(settings);
    QString warning;
    const std::optional<RecordingDates> dates = RowsDates(rows, sourcePath, &warning);
    if (!warning.isEmpty())
        builder.warn(warning);
    builder.beginSource(sourceName, dates ? &*dates : nullptr);
    if (!ReadGridRows(rows, settings.fahrenheit, builder, error))
        return false;
    *figures = builder.finish();
    if (figures->records == 0) {
        *error = QStringLiteral("The list holds no records: there is nothing to report.");
        return false;
    }
    return true;
}

bool FilesReportFigures(const QStringList& paths, const ReportSettings& settings,
    ReportFigures* figures, QString* error, QStringList* readOrder)
{
    ReportBuilder builder(settings);
    QString note;
    const QStringList files = RecordingOrder(paths, &note);
    if (readOrder)
        *readOrder = files;
    if (!note.isEmpty())
        builder.warn(note);
    if (!ReadDataFiles(files, settings.fahrenheit, builder, error))
        return false;
    *figures = builder.finish();
    if (figures->records == 0) {
        *error = QStringLiteral("The files hold no records: there is nothing to report.");
        return false;
    }
    return true;
}

QString ReportPdfName(const QString& sourcePath, const QString& title)
{
    if (!sourcePath.isEmpty()) {
        const QFileInfo info(sourcePath);
        QString name = info.fileName();
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        if (dot > 0)
            name.truncate(dot);
        return info.dir().filePath(name + QStringLiteral(" report.pdf"));
    }
    QString name = title;
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    return QDir::current().filePath(name + QStringLiteral(" report.pdf"));
}

ListReportOffer OfferListReport(const GridRows& rows, const QString& sourcePath,
    const QString& sourceName, bool fahrenheit, const QDate& today)
{
    ListReportOffer offer;
    offer.sourceName = sourceName;
    offer.sourcePath = sourcePath;
    offer.defaults = ListReportDefaults(rows, sourcePath, sourceName, fahrenheit, today);
    offer.pdfName = ReportPdfName(sourcePath, sourceName);
    if (sourcePath.isEmpty())
        return offer;
    const QStringList parts = RecordingParts(sourcePath);
    if (parts.size() < 2)
        return offer;
    offer.parts = parts;
    offer.partsTitle = QFileInfo(parts.first()).fileName();
    offer.partsPdfName = ReportPdfName(parts.first(), sourceName);
    offer.partsFirstDate = offer.defaults.firstDate;
    ReportFigures figures;
    QString error;
    QStringList order;
    // A part that cannot be read is told when the report is made; the date stays that of the
    // rows meanwhile.
    if (FilesReportFigures(parts, offer.defaults, &figures, &error, &order))
        offer.partsFirstDate = figures.datedFirstDate.isValid()
            ? figures.datedFirstDate
            : FirstDateFromLastWrite(QFileInfo(order.last()).lastModified(), figures.last);
    return offer;
}
