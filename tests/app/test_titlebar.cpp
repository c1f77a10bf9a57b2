// The title bars show the captions exactly, nothing appended. Runs on a real X server (the
// test is started under xvfb-run), where the window manager's title comes from the window's
// _NET_WM_NAME and WM_NAME properties.
#include "app/applicationsetup.h"

#include <QApplication>
#include <QProcess>
#include <QWidget>
#include <QtTest>

class TestTitleBar : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server: run under xvfb-run");
        SetUpNimbrelApplication();
    }

    void titleBarShowsTheCaption_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::newRow("main window") << "Panel     V7.0";
        QTest::newRow("list") << "Data List";
        QTest::newRow("port window") << "COM Port";
    }
    void titleBarShowsTheCaption()
    {
        QFETCH(QString, caption);
        QWidget window;
        window.setWindowTitle(caption);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (const char* property : { "_NET_WM_NAME", "WM_NAME" }) {
            QProcess xprop;
            xprop.start(QStringLiteral("xprop"),
                { QStringLiteral("-id"), QString::number(window.winId()),
                    QString::fromLatin1(property) });
            QVERIFY(xprop.waitForFinished(5000));
            const QString shown = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
            QCOMPARE(shown.section(QStringLiteral(" = "), 1),
                QLatin1Char('"') + caption + QLatin1Char('"'));
        }
    }
};

QTEST_MAIN(TestTitleBar)
#include "test_titlebar.moc"
