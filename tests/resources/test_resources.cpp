// The compiled-in resources at the paths and sizes the viewer opens them by.
#include "ombrix_resources.h"
#include "thermal.h"

#include <QApplication>
#include <QFile>
#include <QImageReader>
#include <QMovie>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

#include <cmath>
#include <map>
#include <set>

namespace {

QString previewPath(int n)
{
    return QStringLiteral(":/colormaps/images/colormaps/map_%1.png").arg(n, 2, 10, QLatin1Char('0'));
}

const std::map<QString, QSize>& designedPictures()
{
    static const std::map<QString, QSize> pictures = {
        {"spot", {16, 16}},       {"spotGrey", {16, 16}}, {"line", {16, 16}},       {"rect", {16, 16}},
        {"delete", {16, 16}},     {"normalTemp", {16, 16}}, {"highTemp", {16, 16}}, {"refresh", {16, 16}},
        {"rotate", {16, 16}},     {"min", {36, 27}},      {"max", {36, 27}},        {"normal", {36, 27}},
        {"close", {36, 27}},      {"closeHover", {36, 27}}, {"closeMessageBox", {32, 32}},
        {"down_arrow", {12, 8}},  {"splash", {592, 492}}};
    return pictures;
}

// Selector -> declarations, comments and blank space removed.
std::map<QString, std::set<QString>> parseRules(QString css)
{
    css.remove(QRegularExpression(QStringLiteral("/\\*.*?\\*/"), QRegularExpression::DotMatchesEverythingOption));
    std::map<QString, std::set<QString>> rules;
    const QRegularExpression rule(QStringLiteral("([^{}]+)\\{([^{}]*)\\}"));
    for (auto it = rule.globalMatch(css); it.hasNext();) {
        const auto m = it.next();
        std::set<QString>& declarations = rules[m.captured(1).simplified()];
        for (const QString& d : m.captured(2).split(QLatin1Char(';'), Qt::SkipEmptyParts))
            if (!d.trimmed().isEmpty())
                declarations.insert(d.simplified().replace(QStringLiteral(": "), QStringLiteral(":")));
    }
    return rules;
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

    void picturesHaveTheirDesignedSizes()
    {
        for (const auto& [name, size] : designedPictures()) {
            const QString path = QStringLiteral(":/images/%1.png").arg(name);
            const QImage image(path);
            QVERIFY2(!image.isNull(), qPrintable(path));
            QCOMPARE(image.size(), size);
        }
    }

    void iconsAreDrawnOnTransparentGround()
    {
        for (const auto& [name, size] : designedPictures()) {
            if (name == QLatin1String("splash"))
                continue;
            const QImage image = QImage(QStringLiteral(":/images/%1.png").arg(name)).convertToFormat(QImage::Format_ARGB32);
            int opaque = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    opaque += qAlpha(image.pixel(x, y)) > 128;
            QVERIFY2(opaque >= 8, qPrintable(name));
            QCOMPARE(qAlpha(image.pixel(0, image.height() - 1)), 0);
        }
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

    // White 18 px text goes on the splash at y 328 to 354: the picture is dark there.
    void splashLeavesADarkBandForTheMessage()
    {
        const QImage splash(QStringLiteral(":/images/splash.png"));
        double luminance = 0;
        int pixels = 0;
        for (int y = 328; y < 354; ++y)
            for (int x = 10; x < 586; ++x, ++pixels) {
                const QColor c = splash.pixelColor(x, y);
                luminance += 0.2126 * c.redF() + 0.7152 * c.greenF() + 0.0722 * c.blueF();
            }
        QVERIFY(luminance / pixels < 0.2);
    }

    void styleSheetHasExactlyTheDesignedRules()
    {
        QFile file(QStringLiteral(":/css/style.css"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray css = file.readAll();
        QCOMPARE(css.size(), 1771);
        const std::map<QString, std::set<QString>> expected = {
            {"QWidget#1", {"font-family:\"Microsoft YaHei\"", "font-size:16px"}},
            {"QToolTip",
             {"font-family:\"Microsoft YaHei\"", "font-size:11px", "font-weight:400", "color:white",
              "background-color:#3C4046", "border:1px solid #CFCFCF", "border-radius:0px"}},
            {"QWidget#CWidgetSettings", {"background-color:white"}},
            {"QWidget#CTitleBar", {"background-color:#E3E3E3", "border-radius:0px"}},
            {"QSplashScreen", {"font-family:\"Microsoft YaHei\"", "font-size:20px", "font-weight:400"}},
            {"QMainWindow#ThermalImagerClass", {"background-color:#EEEEEE"}},
            {"QChart", {"background-color:#EEEEEE", "color:white"}},
            {"QLabel", {"color:white"}},
            {"QPushButton",
             {"font-family:\"Microsoft YaHei\"", "font-size:12px", "font-weight:400", "border-width:0px",
              "border-style:solid", "border-color:#2B79D8", "border-radius:2px", "background-color:#E3E3E3",
              "color:#333333", "padding:4px"}},
            {"QPushButton:hover", {"background-color:#2B79D8", "color:white"}},
            {"QPushButton:pressed", {"background-color:#2662AB", "color:white"}},
            {"QPushButton:disabled", {"background-color:#2662AB", "color:#333333"}},
            {"QProgressBar",
             {"border:1px solid #2B79D8", "border-radius:3px", "background-color:#2662AB", "text-align:center",
              "color:white"}},
            {"QProgressBar::chunk", {"background-color:#2B79D8", "border:1px solid #2B79D8", "border-radius:3px"}}};
        const auto rules = parseRules(QString::fromUtf8(css));
        for (const auto& [selector, declarations] : expected) {
            QVERIFY2(rules.count(selector), qPrintable(selector));
            QVERIFY2(rules.at(selector) == declarations, qPrintable(selector));
        }
        QCOMPARE(rules.size(), expected.size());
    }

    // Qt takes the sheet without parse warnings, and a button follows its rules.
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
        QCOMPARE(button.font().pixelSize(), 12);
        QCOMPARE(button.palette().color(QPalette::ButtonText), QColor(0x33, 0x33, 0x33));
        qApp->setStyleSheet(QString());
    }
};

QTEST_MAIN(TestResources)
#include "test_resources.moc"
