#include "canvasprobe.h"
#include "graphs/graphcanvas.h"
#include "graphs/graphsstate.h"
#include "graphs/realtime24.h"
#include "meter/currentreading.h"
#include "support/fakeclock.h"
#include "support/fakes.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

// The back buffer at twice the pixel density: the geometry stays in logical pixels and the
// buffer carries the density, so lines and text stay sharp.
class TestGraphCanvas : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void bufferCarriesThePixelDensity()
    {
        QCOMPARE(qApp->devicePixelRatio(), 2.0);
        CurrentReading reading;
        reading.TempC = TaggedValue::number(20);
        GraphsState state;
        FakeClock clock;
        QTemporaryDir dir;
        FakePrinterProvider printers(dir.filePath(QStringLiteral("hi.pdf")));
        RealTime24 graph(reading, state, clock, printers);
        graph.setAttribute(Qt::WA_DeleteOnClose, false);
        graph.show();
        QVERIFY(QTest::qWaitForWindowExposed(&graph));
        QCOMPARE(graph.canvas()->size(), QSize(392, 383));
        const QImage& image = graph.canvas()->image();
        QCOMPARE(image.size(), QSize(784, 766));
        QCOMPARE(image.devicePixelRatio(), 2.0);
        QCOMPARE(graph.geometry().PlotWidth, 210.f);
        graph.timer1()->start(150);
        clock.advance(150 * 20);
        // The temperature trace on the middle line, in device pixels at twice the place.
        const int y = qRound(2 * (356 - 283 / 2.0));
        bool black = false;
        for (int dy = -2; dy <= 2; ++dy)
            black = black || image.pixelColor(2 * 180, y + dy) == QColor(Qt::black);
        QVERIFY(black);
        QVERIFY(graph.canvas()->print(printers, graph.windowTitle()));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("hi.pdf"))).size() > 0);
    }

    void printTargetKeepsTheShape_data()
    {
        QTest::addColumn<QSize>("image");
        QTest::addColumn<QRect>("page");
        QTest::addColumn<QRect>("target");
        QTest::newRow("portrait page: full width")
            << QSize(784, 766) << QRect(0, 0, 9000, 12000) << QRect(0, 0, 9000, 8793);
        QTest::newRow("landscape page: full height")
            << QSize(392, 383) << QRect(10, 20, 12000, 9000) << QRect(10, 20, 9211, 9000);
        QTest::newRow("page smaller than the image")
            << QSize(400, 200) << QRect(0, 0, 100, 100) << QRect(0, 0, 100, 50);
    }
    void printTargetKeepsTheShape()
    {
        QFETCH(QSize, image);
        QFETCH(QRect, page);
        QFETCH(QRect, target);
        QCOMPARE(PrintTarget(image, page), target);
    }

    void printEmbedsTheWholeBuffer()
    {
        GraphCanvas canvas;
        canvas.resize(392, 383);
        canvas.show();
        QVERIFY(QTest::qWaitForWindowExposed(&canvas));
        {
            QPainter painter(&canvas.image());
            painter.fillRect(QRect(0, 0, 392, 383), Qt::red);
        }
        QTemporaryDir dir;
        FakePrinterProvider printers(dir.filePath(QStringLiteral("page.pdf")));
        QVERIFY(canvas.print(printers, QStringLiteral("Page")));
        QFile pdf(dir.filePath(QStringLiteral("page.pdf")));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.readAll().contains("/Width 784"));
    }
};

int main(int argc, char** argv)
{
    qputenv("QT_SCALE_FACTOR", "2");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestGraphCanvas test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_graphcanvas.moc"
