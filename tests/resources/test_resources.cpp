// The compiled-in resources at the paths and sizes the viewer opens them by.
#include "ombrix_resources.h"
#include "thermal.h"

#include <QApplication>
#include <QFile>
#include <QImageReader>
#include <QMovie>
#include <QPushButton>
#include <QtTest>

#include <cmath>
#include <set>

namespace {

QString previewPath(int n)
{
    return QStringLiteral(":/colormaps/images/colormaps/map_%1.png").arg(n, 2, 10, QLatin1Char('0'));
}

QtMessageHandler g_previousHandler = nullptr;
QStringList g_warnings;

void collectWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg)
        g_warnings << message;
    g_previousHandler(type, context, message);
}

}  // namespace

class TestResources : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { ombrix_init_resources(); }

    void initTwiceIsHarmless()
    {
        ombrix_init_resources();
        QVERIFY(QFile::exists(QStringLiteral(":/css/style.css")));
    }

    void everyPreviewIsARampOfItsTable()
    {
        for (int n = 1; n <= THERMAL_TABLE_COUNT; ++n) {
            const QImage preview = QImage(previewPath(n)).convertToFormat(QImage::Format_RGB32);
            QVERIFY2(!preview.isNull(), qPrintable(previewPath(n)));
            QCOMPARE(preview.size(), QSize(210, 26));
            const unsigned char* table = itRgbColorTable(n);
            for (int x = 0; x < preview.width(); ++x) {
                const int level = int(std::lround(x * 255.0 / 209.0));
                const QRgb expected = qRgb(table[3 * level + 2], table[3 * level + 1], table[3 * level]);
                for (int y = 0; y < preview.height(); ++y)
                    QVERIFY2(preview.pixel(x, y) == expected,
                             qPrintable(QStringLiteral("map %1 at %2,%3").arg(n).arg(x).arg(y)));
            }
        }
        QVERIFY(!QFile::exists(previewPath(0)));
        QVERIFY(!QFile::exists(previewPath(84)));
    }

    void windowIconHoldsSmallToLargeSizes()
    {
        QImageReader reader(QStringLiteral(":/images/varnek.ico"));
        QVERIFY2(reader.canRead(), qPrintable(reader.errorString()));
        std::set<int> sizes;
        for (int i = 0; i < reader.imageCount(); ++i) {
            QVERIFY(reader.jumpToImage(i));
            const QImage image = reader.read();
            QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
            QCOMPARE(image.width(), image.height());
            sizes.insert(image.width());
        }
        for (int size : {16, 32, 48, 256})
            QVERIFY2(sizes.count(size), qPrintable(QString::number(size)));
        QVERIFY(!QIcon(QStringLiteral(":/images/varnek.ico")).isNull());
    }

    void loadingAnimationPlaysSeveralDifferentFrames()
    {
        QMovie movie(QStringLiteral(":/images/loading.gif"));
        QVERIFY(movie.isValid());
        QVERIFY(movie.frameCount() > 1);
        QImageReader reader(QStringLiteral(":/images/loading.gif"));
        QVERIFY(reader.supportsAnimation());
        QCOMPARE(reader.loopCount(), -1);
        QCOMPARE(reader.size(), QSize(120, 120));
        QSet<QByteArray> distinct;
        for (int f = 0; f < movie.frameCount(); ++f) {
            QVERIFY(f == 0 ? movie.jumpToFrame(0) : movie.jumpToNextFrame());
            const QImage frame = movie.currentImage().convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(frame.size(), QSize(120, 120));
            distinct.insert(QByteArray(reinterpret_cast<const char*>(frame.constBits()), int(frame.sizeInBytes())));
        }
        QCOMPARE(distinct.size(), movie.frameCount());
        QVERIFY(movie.nextFrameDelay() > 0);
    }

    // Qt takes the sheet without parse warnings.
    void styleSheetAppliesCleanly()
    {
        QFile file(QStringLiteral(":/css/style.css"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        g_warnings.clear();
        g_previousHandler = qInstallMessageHandler(collectWarnings);
        qApp->setStyleSheet(QString::fromUtf8(file.readAll()));
        QPushButton button(QStringLiteral("Save"));
        button.ensurePolished();
        qInstallMessageHandler(g_previousHandler);
        QVERIFY2(g_warnings.isEmpty(), qPrintable(g_warnings.join(QLatin1Char('\n'))));
        qApp->setStyleSheet(QString());
    }
};

QTEST_MAIN(TestResources)
#include "test_resources.moc"
