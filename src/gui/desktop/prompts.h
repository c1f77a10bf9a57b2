#pragma once

#include <QString>

class QWidget;

// The modal questions the program asks: message boxes, the input box and the file dialogs.
// Windows ask through this interface so that tests can answer for the user.
class Prompts
{
public:
    enum class Icon { Critical, Information };

    virtual ~Prompts() = default;
    // A message box with an OK button.
    virtual void message(QWidget* parent, Icon icon, const QString& text) = 0;
    // A message box whose fixed text is followed by a longer explanation.
    virtual void message(QWidget* parent, Icon icon, const QString& text, const QString& detail)
    {
        message(parent, icon, detail.isEmpty() ? text : text + QStringLiteral("\n\n") + detail);
    }
    // An input box; returns the answer, or an empty text when the user cancels.
    virtual QString inputBox(
        QWidget* parent, const QString& prompt, const QString& title, const QString& defaultAnswer)
        = 0;
    // File dialogs; filter is in Qt's form ("Data Files (*.nblg);;All Files (*)").
    // Each returns the full path chosen, or an empty text on cancel.
    virtual QString openFileName(QWidget* parent, const QString& filter) = 0;
    // Asks before overwriting an existing file. A name typed without an extension gets the one
    // of the chosen filter (WithFilterSuffix), and the question is asked about that name. The
    // filter chosen goes to chosenFilter, when given, in the form it has in filter.
    virtual QString saveFileName(
        QWidget* parent, const QString& filter, QString* chosenFilter = nullptr)
        = 0;
    // A question with the buttons Yes and No, No the default; true for Yes.
    virtual bool ask(QWidget* parent, const QString& text) = 0;
};

// Qt's own dialogs.
class WidgetPrompts final : public Prompts
{
public:
    void message(QWidget* parent, Icon icon, const QString& text) override;
    void message(QWidget* parent, Icon icon, const QString& text, const QString& detail) override;
    QString inputBox(QWidget* parent, const QString& prompt, const QString& title,
        const QString& defaultAnswer) override;
    QString openFileName(QWidget* parent, const QString& filter) override;
    QString saveFileName(
        QWidget* parent, const QString& filter, QString* chosenFilter = nullptr) override;
    bool ask(QWidget* parent, const QString& text) override;
};

// The extension a file filter names first, without its dot: "nblg" for "Data Files (*.nblg)",
// nothing for "All Files (*)".
QString FilterSuffix(const QString& filter);
// path with the extension of filter added when its name has none (no '.' in it), as the file
// dialog decides; a folder, and a device or pipe that exists under that name, keep it.
QString WithFilterSuffix(const QString& path, const QString& filter);
