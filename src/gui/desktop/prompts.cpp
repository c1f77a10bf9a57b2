#include "prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QRegularExpression>

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

namespace
{

// The save dialog. A name without an extension gets the one of the filter chosen when the
// name is accepted, and the overwrite question is asked about the name the file gets (the
// dialog's own question would be about the name as typed).
class SaveDialog final : public QFileDialog
{
public:
    explicit SaveDialog(QWidget* parent)
        : QFileDialog(parent)
    {
        setOption(QFileDialog::DontUseNativeDialog);
        setOption(QFileDialog::DontConfirmOverwrite);
        setAcceptMode(QFileDialog::AcceptSave);
        setFileMode(QFileDialog::AnyFile);
    }
    const QString& chosen() const { return m_chosen; }

protected:
    void accept() override
    {
        const QStringList files = selectedFiles();
        const QString path = WithFilterSuffix(files.value(0), selectedNameFilter());
        const QFileInfo info(path);
        if (!path.isEmpty() && !info.isDir() && info.exists()
            && QMessageBox::warning(this, windowTitle(),
                   tr("%1 already exists.\nDo you want to replace it?").arg(info.fileName()),
                   QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
                != QMessageBox::Yes)
            return;
        m_chosen = path;
        QFileDialog::accept(); // a folder is opened instead, and nothing is chosen yet
    }

private:
    QString m_chosen;
};

} // namespace

QString WidgetPrompts::saveFileName(QWidget* parent, const QString& filter, QString* chosenFilter)
{
    SaveDialog dialog(parent);
    dialog.setNameFilter(filter);
    if (dialog.exec() != QDialog::Accepted || dialog.chosen().isEmpty())
        return QString();
    if (chosenFilter)
        *chosenFilter = dialog.selectedNameFilter();
    return dialog.chosen();
}

QString FilterSuffix(const QString& filter)
{
    static const QRegularExpression firstPattern(QStringLiteral("\\*\\.([^\\s;)]+)"));
    const QRegularExpressionMatch match = firstPattern.match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

QString WithFilterSuffix(const QString& path, const QString& filter)
{
    const QString suffix = FilterSuffix(filter);
    const QFileInfo info(path);
    if (path.isEmpty() || suffix.isEmpty() || info.fileName().isEmpty()
        || info.fileName().contains(QLatin1Char('.')) || info.isDir()
        || (info.exists() && !info.isFile()))
        return path;
    return path + QLatin1Char('.') + suffix;
}

bool WidgetPrompts::ask(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), text,
        QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}
