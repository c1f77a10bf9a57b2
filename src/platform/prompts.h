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
    // Asks before overwriting an existing file.
    virtual QString saveFileName(QWidget* parent, const QString& filter) = 0;
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
    QString saveFileName(QWidget* parent, const QString& filter) override;
    bool ask(QWidget* parent, const QString& text) override;
};
