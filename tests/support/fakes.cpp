#include "fakes.h"

#include <QPrinter>

bool FakeSerialLink::open()
{
    m_open = !failOpen;
    return m_open;
}

QByteArray FakeSerialLink::readAll()
{
    ++readCount;
    QByteArray bytes;
    bytes.swap(m_pending);
    return bytes;
}

qint64 FakeSerialLink::write(const QByteArray& bytes)
{
    if (!m_open)
        return -1;
    written += bytes;
    if (onWrite)
        onWrite(bytes);
    return bytes.size();
}

void FakeSerialLink::feed(const QByteArray& bytes)
{
    if (!m_open)
        return;
    m_pending += bytes;
    Q_EMIT readyRead();
}

void FakeSerialLink::loseLink()
{
    m_open = false;
    m_pending.clear();
    Q_EMIT linkLost();
}

void FakeSerialLink::restoreLink()
{
    m_open = true;
    Q_EMIT linkRestored();
}

QString FakePrompts::inputBox(
    QWidget*, const QString& prompt, const QString& title, const QString& defaultAnswer)
{
    lastPrompt = prompt;
    lastTitle = title;
    lastDefault = defaultAnswer;
    return inputAnswers.isEmpty() ? QString() : inputAnswers.dequeue();
}

QString FakePrompts::openFileName(QWidget*, const QString& filter)
{
    lastFilter = filter;
    return openAnswers.isEmpty() ? QString() : openAnswers.dequeue();
}

QString FakePrompts::saveFileName(QWidget*, const QString& filter, QString* chosenFilter)
{
    lastFilter = filter;
    if (chosenFilter) {
        *chosenFilter = chosenSaveFilter.isEmpty() ? filter.section(QStringLiteral(";;"), 0, 0)
                                                   : chosenSaveFilter;
    }
    return saveAnswers.isEmpty() ? QString() : saveAnswers.dequeue();
}

QString FakePrinterProvider::fallbackPdf(const QPrinter& printer) const
{
    return noPrinter ? printer.outputFileName() : QString();
}

bool FakePrompts::ask(QWidget*, const QString& text)
{
    questions.append(text);
    return !askAnswers.isEmpty() && askAnswers.dequeue();
}

std::unique_ptr<QPrinter> FakePrinterProvider::createPrinter(const QString& windowTitle)
{
    lastTitle = windowTitle;
    if (!available)
        return nullptr;
    ++jobs;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(m_path);
    return printer;
}
