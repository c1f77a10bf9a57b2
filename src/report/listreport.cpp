#include "listreport.h"

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
    const QFileInfo file(sourcePath);
    if (!sourcePath.isEmpty() && file.exists()) {
        ReportBuilder builder(settings);
        QString error;
        if (ReadGridRows(rows, fahrenheit, builder, &error)) {
            const ReportFigures figures = builder.finish();
            if (figures.records > 0)
                settings.firstDate = FirstDateFromLastWrite(file.lastModified(), figures.last);
        }
    }
    return settings;
}

bool ListReportFigures(
    const GridRows& rows, const ReportSettings& settings, ReportFigures* figures, QString* error)
{
    ReportBuilder builder(settings);
    builder.beginSource(settings.title);
    if (!ReadGridRows(rows, settings.fahrenheit, builder, error))
        return false;
    *figures = builder.finish();
    if (figures->records == 0) {
        *error = QStringLiteral("The list holds no records: there is nothing to report.");
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
