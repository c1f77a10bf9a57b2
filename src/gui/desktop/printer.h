#pragma once

#include <QString>

#include <memory>

class QPrinter;

// Where printouts go. The system's default printer; on a system without any printer, a PDF in
// the current folder named after the window and the date and time, so a print always lands
// somewhere.
class PrinterProvider
{
public:
    virtual ~PrinterProvider() = default;
    // A printer ready for QPainter::begin(), or null when there is nowhere to print.
    virtual std::unique_ptr<QPrinter> createPrinter(const QString& windowTitle) = 0;
    // The PDF file a printer of createPrinter() writes because there is no printer; empty when
    // it prints on a printer.
    virtual QString fallbackPdf(const QPrinter& printer) const = 0;
};

class SystemPrinterProvider final : public PrinterProvider
{
public:
    std::unique_ptr<QPrinter> createPrinter(const QString& windowTitle) override;
    QString fallbackPdf(const QPrinter& printer) const override;
};

// What the user is told once a printout has gone to the PDF at path instead of a printer.
QString FallbackPdfMessage(const QString& path);

// The PDF file name used when there is no printer: "Real Time List 1207143005.pdf".
QString FallbackPdfName(const QString& windowTitle, const class QDateTime& when);
