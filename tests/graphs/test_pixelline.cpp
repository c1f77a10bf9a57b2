#include "graphs/pixelline.h"
#include "graphs/wideline.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <random>

namespace
{

constexpr int kWidth = 392;
constexpr int kHeight = 383;

// Segments of one kind, from a fixed seed.
QList<QLineF> MakeSegments(const QString& kind, int count)
{
    std::mt19937 random(7);
    const auto uniform = [&random](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    // The graphs hand over float coordinates.
    const auto single = [](double v) { return static_cast<double>(static_cast<float>(v)); };
    QList<QLineF> segments;
    for (int i = 0; i < count; ++i) {
        const double x = uniform(0, kWidth - 1);
        const double y = uniform(0, kHeight - 1);
        QLineF s;
        if (kind == "file graph steps") {
            const double step = 300.0 / 34800 * (1 + i % 3);
            s = QLineF(single(x), single(y), single(x + step), single(y + uniform(-4, 4)));
        } else if (kind == "slow file graph steps") {
            const double step = 300.0 / 34800;
            s = QLineF(single(x), single(y), single(x + step), single(y + uniform(-0.4, 0.4)));
        } else if (kind == "flat steps") {
            const double step = uniform(0, 1.5);
            s = QLineF(single(x), single(y), single(x + step), single(y + uniform(-0.05, 0.05)));
        } else if (kind == "steep and flat, any direction") {
            const double angle = uniform(0, 2 * M_PI);
            const double length = uniform(0, 40);
            s = QLineF(x, y, x + length * std::cos(angle), y + length * std::sin(angle));
        } else if (kind == "long, any direction") {
            s = QLineF(x, y, uniform(0, kWidth - 1), uniform(0, kHeight - 1));
        } else if (kind == "whole, half and 1/64 pixels") {
            const auto grid = [&](double v, double unit) { return std::floor(v / unit) * unit; };
            const double unit = i % 3 == 0 ? 1.0 : i % 3 == 1 ? 0.5 : 1.0 / 64;
            s = QLineF(grid(x, unit), grid(y, unit), grid(x + uniform(-6, 6), unit),
                grid(y + uniform(-6, 6), unit));
        } else if (kind == "shorter than 1/64 and zero length") {
            const double d = i % 4 == 0 ? 0 : uniform(-1.0 / 64, 1.0 / 64);
            s = QLineF(x, y, x + d, y + (i % 2 ? d : -d));
        } else if (kind == "diagonals") {
            const double d = uniform(-20, 20);
            s = QLineF(x, y, x + d, y + (i % 2 ? d : -d));
        } else if (kind == "along the edges") {
            const double edgeX = i % 2 ? 0 : kWidth - 1;
            const double edgeY = i % 3 ? 0 : kHeight - 1;
            s = i % 4 < 2 ? QLineF(edgeX, y, edgeX + uniform(-3, 3), y + uniform(-20, 20))
                          : QLineF(x, edgeY, x + uniform(-20, 20), edgeY + uniform(-3, 3));
        } else if (kind == "narrow window steps") {
            const double step = 200.0 / 34800;
            s = QLineF(single(x), single(y), single(x + step), single(y + uniform(-3, 3)));
        } else if (kind == "level and upright") {
            const double d = uniform(-8, 8);
            const double near = i % 3 == 0 ? 0 : uniform(-1.0 / 100, 1.0 / 100);
            s = i % 2 ? QLineF(x, y, x + d, y + near) : QLineF(x, y, x + near, y + d);
        } else if (kind == "leaving the image") {
            s = QLineF(x, y, uniform(-50, kWidth + 50), uniform(-50, kHeight + 50));
        }
        // Outside the image a line is clipped to it; keep the other kinds' ends inside.
        if (kind != "leaving the image") {
            s.setP2(QPointF(std::clamp(s.x2(), 0.0, double(kWidth - 1)),
                std::clamp(s.y2(), 0.0, double(kHeight - 1))));
        }
        segments << s;
    }
    return segments;
}

QString Described(const QLineF& s, int x, int y)
{
    return QStringLiteral("(%1, %2)-(%3, %4), pixel %5, %6")
        .arg(s.x1(), 0, 'g', 17)
        .arg(s.y1(), 0, 'g', 17)
        .arg(s.x2(), 0, 'g', 17)
        .arg(s.y2(), 0, 'g', 17)
        .arg(x)
        .arg(y);
}

QImage White(qreal ratio)
{
    QImage image(QSize(kWidth, kHeight) * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    return image;
}

} // namespace

class TestPixelLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void linesHaveThePaintersPixels_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("ratio");
        for (const char* kind : { "file graph steps", "flat steps", "steep and flat, any direction",
                 "long, any direction", "whole, half and 1/64 pixels",
                 "shorter than 1/64 and zero length", "diagonals", "along the edges",
                 "leaving the image" })
            QTest::newRow(kind) << QString::fromLatin1(kind) << 1;
        QTest::newRow("slow file graph steps") << QStringLiteral("slow file graph steps") << 1;
        QTest::newRow("pixel ratio 2 (drawn by the painter)")
            << QStringLiteral("steep and flat, any direction") << 2;
    }
    void linesHaveThePaintersPixels()
    {
        QFETCH(QString, kind);
        QFETCH(int, ratio);
        const QRgb colour = qRgb(255, 0, 255);
        QImage painted = White(ratio);
        QImage written = White(ratio);
        QPainter painter(&painted);
        painter.setPen(QPen(QColor::fromRgb(colour), 1, Qt::SolidLine, Qt::FlatCap));
        QPainter writer(&written);
        PixelLines lines(writer);
        QCOMPARE(lines.direct(), ratio == 1);

        int inked = 0;
        for (const QLineF& segment : MakeSegments(kind, 3000)) {
            painter.drawLine(segment);
            lines.draw(segment, colour);
            // Each line on its own, so a later line cannot hide a difference.
            const QRect box = QRectF(segment.p1() * ratio, segment.p2() * ratio)
                                  .normalized()
                                  .toAlignedRect()
                                  .adjusted(-3, -3, 3, 3)
                                  .intersected(painted.rect());
            for (int y = box.top(); y <= box.bottom(); ++y) {
                const auto* a = reinterpret_cast<const QRgb*>(painted.constScanLine(y));
                const auto* b = reinterpret_cast<const QRgb*>(written.constScanLine(y));
                for (int x = box.left(); x <= box.right(); ++x) {
                    if (a[x] != b[x])
                        QFAIL(qPrintable(Described(segment, x, y)));
                    inked += a[x] != qRgb(255, 255, 255);
                }
            }
            painter.fillRect(QRectF(box.topLeft() / ratio, box.size() / ratio), Qt::white);
            writer.fillRect(QRectF(box.topLeft() / ratio, box.size() / ratio), Qt::white);
        }
        QVERIFY(inked > 0);
    }

    // At a pixel ratio of 2, lines written straight (or left to the painter) have the pixels of
    // the painter drawing each on its own.
    void wideLinesHaveThePaintersPixels_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<double>("writtenShare"); // at least this share goes straight
        // The lines left to the painter are those near the edges of the image, and those of
        // whose pixels the rule is not sure (more of them the longer the line).
        const std::pair<const char*, double> kinds[] = { { "file graph steps", 0.95 },
            { "slow file graph steps", 0.95 }, { "narrow window steps", 0.95 },
            { "flat steps", 0.95 }, { "level and upright", 0.9 },
            { "steep and flat, any direction", 0.9 }, { "long, any direction", 0.3 },
            { "whole, half and 1/64 pixels", 0.9 }, { "shorter than 1/64 and zero length", 0.7 },
            { "diagonals", 0.9 }, { "along the edges", 0.3 }, { "leaving the image", 0.15 } };
        for (const auto& [kind, share] : kinds)
            QTest::newRow(kind) << QString::fromLatin1(kind) << share;
    }
    void wideLinesHaveThePaintersPixels()
    {
        QFETCH(QString, kind);
        QFETCH(double, writtenShare);
        const QRgb colour = qRgb(0, 128, 255);
        QImage painted = White(2);
        QImage written = White(2);
        QPainter painter(&painted);
        painter.setPen(QPen(QColor::fromRgb(colour), 1, Qt::SolidLine, Qt::FlatCap));
        QPainter writer(&written);
        WideLines lines(writer);
        QVERIFY(lines.direct());
        const QList<QLineF> segments = MakeSegments(kind, 8000);
        for (const QLineF& segment : segments) {
            painter.drawLine(segment);
            lines.draw(segment, colour);
            const QRect box = QRectF(segment.p1() * 2, segment.p2() * 2)
                                  .normalized()
                                  .toAlignedRect()
                                  .adjusted(-4, -4, 4, 4)
                                  .intersected(painted.rect());
            for (int y = box.top(); y <= box.bottom(); ++y) {
                const auto* a = reinterpret_cast<const QRgb*>(painted.constScanLine(y));
                const auto* b = reinterpret_cast<const QRgb*>(written.constScanLine(y));
                for (int x = box.left(); x <= box.right(); ++x) {
                    if (a[x] != b[x])
                        QFAIL(qPrintable(Described(segment, x, y)));
                }
            }
            painter.fillRect(QRectF(box.topLeft() / 2, box.size() / 2), Qt::white);
            writer.fillRect(QRectF(box.topLeft() / 2, box.size() / 2), Qt::white);
        }
        QVERIFY2(lines.writtenStraight() >= writtenShare * segments.size(),
            qPrintable(QString::number(lines.writtenStraight())));
    }

    // A segment left out as painting nothing must paint nothing when the painter draws it.
    void linesLeftOutPaintNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<double>("ratio");
        for (double ratio : { 1.0, 1.5, 2.0, 3.0 }) {
            for (const char* kind : { "file graph steps", "slow file graph steps", "flat steps",
                     "whole, half and 1/64 pixels", "shorter than 1/64 and zero length",
                     "steep and flat, any direction" })
                QTest::addRow("%s, pixel ratio %g", kind, ratio)
                    << QString::fromLatin1(kind) << ratio;
        }
    }
    void linesLeftOutPaintNothing()
    {
        QFETCH(QString, kind);
        QFETCH(double, ratio);
        QImage image = White(ratio);
        QPainter painter(&image);
        painter.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::FlatCap));
        const EmptyLines empty(painter.deviceTransform());
        int leftOut = 0;
        const QList<QLineF> segments = MakeSegments(kind, 3000);
        for (const QLineF& segment : segments) {
            if (!empty.paintsNothing(segment))
                continue;
            ++leftOut;
            painter.drawLine(segment);
            const QRect box = QRectF(segment.p1() * ratio, segment.p2() * ratio)
                                  .normalized()
                                  .toAlignedRect()
                                  .adjusted(-4, -4, 4, 4)
                                  .intersected(image.rect());
            for (int y = box.top(); y <= box.bottom(); ++y) {
                const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
                for (int x = box.left(); x <= box.right(); ++x) {
                    if (line[x] != qRgb(255, 255, 255))
                        QFAIL(qPrintable(Described(segment, x, y)));
                }
            }
        }
        // At a pixel ratio of 1 nothing is left out; above it, tiny segments are.
        if (ratio == 1.0)
            QCOMPARE(leftOut, 0);
        else if (kind != "steep and flat, any direction")
            QVERIFY(leftOut > 0);
        if (kind == "slow file graph steps" && ratio == 2.0)
            QVERIFY2(leftOut > segments.size() / 5, qPrintable(QString::number(leftOut)));
    }
};

QTEST_MAIN(TestPixelLine)
#include "test_pixelline.moc"
