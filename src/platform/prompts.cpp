#include "prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

void WidgetPrompts::message(QWidget* parent, Icon icon, const QString& text)
{
    message(parent, icon, text, QString());
}

void WidgetPrompts::message(QWidget* parent, Icon icon, const QString& text, const QString& detail)
{
    QMessageBox box(icon == Icon::Critical ? QMessageBox::Critical : QMessageBox::Information,
        QApplication::applicationDisplayName(), text, QMessageBox::Ok, parent);
    box.setInformativeText(detail);
    box.exec();
}

QString WidgetPrompts::inputBox(
    QWidget* parent, const QString& prompt, const QString& title, const QString& defaultAnswer)
{
    bool ok = false;
    const QString answer
        = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, defaultAnswer, &ok);
    return ok ? answer : QString();
}

QString WidgetPrompts::openFileName(QWidget* parent, const QString& filter)
{
    return QFileDialog::getOpenFileName(
        parent, QString(), QString(), filter, nullptr, QFileDialog::DontUseNativeDialog);
}

QString WidgetPrompts::saveFileName(QWidget* parent, const QString& filter)
{
    return QFileDialog::getSaveFileName(
        parent, QString(), QString(), filter, nullptr, QFileDialog::DontUseNativeDialog);
}

bool WidgetPrompts::ask(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), text,
        QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}
