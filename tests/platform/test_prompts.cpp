// The save dialog as the user meets it: a name typed without an extension gets the chosen
// filter's, and an existing file of that name is not replaced without the question.
#include "desktop/prompts.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class TestPrompts : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void filterSuffix_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("result");
        QTest::newRow("added") << "/d/rec1"
                               << "Data Files (*.nblg)"
                               << "/d/rec1.nblg";
        QTest::newRow("own kept") << "/d/rec1.txt"
                                  << "Data Files (*.nblg)"
                                  << "/d/rec1.txt";
        QTest::newRow("all files") << "/d/rec1"
                                   << "All Files (*)"
                                   << "/d/rec1";
        QTest::newRow("a dot is an extension") << "/d/rec1."
                                               << "SVG drawing (*.svg)"
                                               << "/d/rec1.";
        QTest::newRow("dot in a folder") << "/d.x/graph"
                                         << "PDF document (*.pdf)"
                                         << "/d.x/graph.pdf";
        QTest::newRow("no name") << "/d/"
                                 << "Data Files (*.nblg)"
                                 << "/d/";
        QTest::newRow("a device") << "/dev/null"
                                  << "Data Files (*.nblg)"
                                  << "/dev/null";
        QTest::newRow("cancelled") << ""
                                   << "Data Files (*.nblg)"
                                   << "";
    }
    void filterSuffix()
    {
        QFETCH(QString, path);
        QFETCH(QString, filter);
        QFETCH(QString, result);
        QCOMPARE(WithFilterSuffix(path, filter), result);
    }

    // The name typed, the filter picked (by its index), whether "<name> already exists" is
    // there, and the user's answer to the question; what the dialog hands out.
    void saveDialog_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("filterIndex");
        QTest::addColumn<QString>("existing");
        QTest::addColumn<bool>("replace");
        QTest::addColumn<QString>("question"); // the file it asks about; empty: none
        QTest::addColumn<QString>("chosen"); // empty: cancelled
        QTest::addColumn<QString>("chosenFilter");
        const QString data = QStringLiteral("Data Files (*.nblg)");
        QTest::newRow("new name") << "rec1" << 0 << "" << false << ""
                                  << "rec1.nblg" << data;
        QTest::newRow("replace asked") << "rec1" << 0 << "rec1.nblg" << true << "rec1.nblg"
                                       << "rec1.nblg" << data;
        QTest::newRow("replace refused") << "rec1" << 0 << "rec1.nblg" << false << "rec1.nblg"
                                         << "" << data;
        QTest::newRow("bare name beside") << "rec1" << 0 << "rec1" << false << ""
                                          << "rec1.nblg" << data;
        QTest::newRow("all files") << "rec1" << 1 << "rec1.nblg" << false << ""
                                   << "rec1"
                                   << "All Files (*)";
    }
    void saveDialog()
    {
        QFETCH(QString, typed);
        QFETCH(int, filterIndex);
        QFETCH(QString, existing);
        QFETCH(bool, replace);
        QFETCH(QString, question);
        QFETCH(QString, chosen);
        QFETCH(QString, chosenFilter);
        QTemporaryDir dir;
        if (!existing.isEmpty()) {
            QFile file(dir.filePath(existing));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QString asked;
        const auto answerQuestion = [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            asked = box->text();
            box->button(replace ? QMessageBox::Yes : QMessageBox::No)->click();
        };
        bool typedIn = false;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->setDirectory(dir.path());
            // Picked as the user picks it, from the box of types.
            auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            QVERIFY(types);
            types->setCurrentIndex(filterIndex);
            Q_EMIT types->activated(filterIndex);
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->setText(typed);
            typedIn = true;
            QTimer::singleShot(0, this, answerQuestion);
            QTest::keyClick(name, Qt::Key_Return);
            if (dialog->isVisible())
                dialog->reject(); // the question was answered No: the user gives up
        });
        WidgetPrompts prompts;
        QString filter;
        const QString path = prompts.saveFileName(
            nullptr, QStringLiteral("Data Files (*.nblg);;All Files (*)"), &filter);
        QVERIFY(typedIn);
        QVERIFY2(path == (chosen.isEmpty() ? QString() : dir.filePath(chosen)),
            qPrintable(path + " / " + asked));
        if (!chosen.isEmpty())
            QCOMPARE(filter, chosenFilter);
        if (question.isEmpty())
            QVERIFY2(asked.isEmpty(), qPrintable(asked));
        else
            QVERIFY2(asked.startsWith(question + " already exists"), qPrintable(asked));
    }
};

QTEST_MAIN(TestPrompts)
#include "test_prompts.moc"
