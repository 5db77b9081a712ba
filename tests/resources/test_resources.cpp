// The compiled-in resources at the paths and sizes the viewer opens them by.
#include "ombrix_resources.h"
#include "thermal.h"

#include <QApplication>
#include <QFile>
#include <QImageReader>
#include <QMovie>
#include <QPushButton>
#include <QSet>
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

    void everyPreviewIsARampOfItsTable()
    {
        for (int n = 1; n <= THERMAL_TABLE_COUNT; ++n) {
            const QImage preview = QImage(previewPath(n)).convertToFormat(QImage::Format_RGB32);
            QVERIFY2(preview.width() > 1, qPrintable(previewPath(n)));
            const unsigned char* table = itRgbColorTable(n);
            for (int x = 0; x < preview.width(); ++x) {
                const int level = int(std::lround(x * 255.0 / (preview.width() - 1)));
                const QRgb expected = qRgb(table[3 * level + 2], table[3 * level + 1], table[3 * level]);
                for (int y = 0; y < preview.height(); ++y)
                    QVERIFY2(preview.pixel(x, y) == expected,
                             qPrintable(QStringLiteral("map %1 at %2,%3").arg(n).arg(x).arg(y)));
            }
        }
        QVERIFY(!QFile::exists(previewPath(0)));
        QVERIFY(!QFile::exists(previewPath(THERMAL_TABLE_COUNT + 1)));
    }

    // Square pictures from small to large sizes, and an animation of distinct frames.
    void iconAndAnimationRead()
    {
        QImageReader reader(QStringLiteral(":/images/varnek.ico"));
        std::set<int> sizes;
        for (int i = 0; i < reader.imageCount() && reader.jumpToImage(i); ++i) {
            const QImage image = reader.read();
            QVERIFY2(image.width() == image.height(), qPrintable(reader.errorString()));
            sizes.insert(image.width());
        }
        QVERIFY(sizes.size() >= 3 && *sizes.begin() <= 16 && *sizes.rbegin() >= 256);

        QMovie movie(QStringLiteral(":/images/loading.gif"));
        QVERIFY(movie.isValid() && movie.frameCount() > 1);
        QSet<QByteArray> distinct;
        for (int f = 0; f < movie.frameCount(); ++f) {
            QVERIFY(f == 0 ? movie.jumpToFrame(0) : movie.jumpToNextFrame());
            const QImage frame = movie.currentImage().convertToFormat(QImage::Format_ARGB32);
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
