#pragma once

#include "desktop/printer.h"
#include "desktop/prompts.h"
#include "platform/beeper.h"
#include "platform/seriallink.h"

#include <QByteArray>
#include <QQueue>
#include <QString>
#include <QStringList>

#include <functional>

// A serial link the test feeds by hand and that records what the program sent.
class FakeSerialLink final : public SerialLink
{
    Q_OBJECT
public:
    using SerialLink::SerialLink;

    bool open() override;
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    qint64 bytesAvailable() const override { return m_pending.size(); }
    QByteArray readAll() override;
    qint64 write(const QByteArray& bytes) override;

    // Bytes arriving from the meter; emits readyRead like a port does.
    void feed(const QByteArray& bytes);
    // Simulate the device going away and coming back.
    void loseLink();
    void restoreLink();

    bool failOpen = false;
    // Why a failed open failed.
    PortProblem problem;
    PortProblem openProblem() const override { return failOpen ? problem : PortProblem(); }
    QByteArray written;
    int readCount = 0;
    // Called after every write, so a scripted meter can answer.
    std::function<void(const QByteArray&)> onWrite;

private:
    bool m_open = false;
    QByteArray m_pending;
};

class FakeBeeper final : public Beeper
{
public:
    void beep() override { ++beeps; }
    int beeps = 0;
};

// Answers the program's questions from queues; records every message shown.
class FakePrompts final : public Prompts
{
public:
    struct Shown {
        Icon icon;
        QString text;
        QString detail;
    };
    void message(QWidget*, Icon icon, const QString& text) override
    {
        messages.append({ icon, text, QString() });
        if (onMessage)
            onMessage();
    }
    void message(QWidget*, Icon icon, const QString& text, const QString& detail) override
    {
        messages.append({ icon, text, detail });
        if (onMessage)
            onMessage();
    }
    QString inputBox(QWidget*, const QString& prompt, const QString& title,
        const QString& defaultAnswer) override;
    QString openFileName(QWidget*, const QString& filter) override;
    QString saveFileName(QWidget*, const QString& filter, QString* chosenFilter = nullptr) override;
    // Answers from askAnswers, No when it is empty.
    bool ask(QWidget*, const QString& text) override;

    QList<Shown> messages;
    // Called while a message is up, as the user would see it.
    std::function<void()> onMessage;
    QQueue<QString> inputAnswers;
    QQueue<QString> openAnswers;
    QQueue<QString> saveAnswers;
    // The filter the user picks in a save dialog; empty: the first of the list, as the dialog
    // starts. Answers are handed out as queued, without an extension added.
    QString chosenSaveFilter;
    QQueue<bool> askAnswers;
    QStringList questions; // every question asked
    QString lastPrompt, lastTitle, lastDefault, lastFilter;
};

// Prints into a PDF file the test chooses.
class FakePrinterProvider final : public PrinterProvider
{
public:
    explicit FakePrinterProvider(QString pdfPath)
        : m_path(std::move(pdfPath))
    {
    }
    std::unique_ptr<QPrinter> createPrinter(const QString& windowTitle) override;
    QString fallbackPdf(const QPrinter& printer) const override;
    bool available = true;
    // The system has no printer: the PDF is the stand-in the user must be told about.
    bool noPrinter = false;
    int jobs = 0;
    QString lastTitle;

private:
    QString m_path;
};
