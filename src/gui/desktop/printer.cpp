#include "printer.h"

#include <QDateTime>
#include <QDir>
#include <QPrinter>
#include <QPrinterInfo>

QString FallbackPdfName(const QString& windowTitle, const QDateTime& when)
{
    QString title = windowTitle.trimmed();
    // A window title could hold a path separator; keep the name inside the current folder.
    title.replace(QLatin1Char('/'), QLatin1Char('_'));
    title.replace(QLatin1Char('\\'), QLatin1Char('_'));
    if (title.isEmpty())
        title = QStringLiteral("Nimbrel");
    return title + QLatin1Char(' ') + when.toString(QStringLiteral("MMddhhmmss"))
        + QStringLiteral(".pdf");
}

QString FallbackPdfMessage(const QString& path)
{
    return QStringLiteral("There is no printer: the printout was saved as\n%1")
        .arg(QDir::toNativeSeparators(path));
}

QString SystemPrinterProvider::fallbackPdf(const QPrinter& printer) const
{
    // A printer of the system prints in its own format; only the stand-in writes a PDF.
    return printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : QString();
}

std::unique_ptr<QPrinter> SystemPrinterProvider::createPrinter(const QString& windowTitle)
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (!info.isNull()) {
        auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        printer->setDocName(windowTitle);
        return printer;
    }
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setDocName(windowTitle);
    printer->setOutputFileName(QDir::current().absoluteFilePath(
        FallbackPdfName(windowTitle, QDateTime::currentDateTime())));
    return printer;
}
