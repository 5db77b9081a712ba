// Draws the viewer's pictures into a folder at build time:
//   images/colormaps/map_01.png ... map_83.png, images/<icon>.png,
//   images/varnek.ico, images/splash.png, images/loading.gif
#include "artwork.h"
#include "gifwriter.h"
#include "icowriter.h"
#include "thermal.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QSaveFile>

#include <cstdio>

namespace {

bool report(const QString& path, const QString& reason)
{
    std::fprintf(stderr, "ombrix_resgen: %s: %s\n", qPrintable(path), qPrintable(reason));
    return false;
}

bool savePng(const QImage& image, const QString& path)
{
    if (image.isNull())
        return report(path, QStringLiteral("nothing drawn"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
        return report(path, file.errorString());
    return true;
}

template <typename Write>
bool saveWith(const QString& path, Write write)
{
    QSaveFile file(path);
    QString error;
    if (!file.open(QIODevice::WriteOnly))
        return report(path, file.errorString());
    if (!write(&file, &error))
        return report(path, error);
    if (!file.commit())
        return report(path, file.errorString());
    return true;
}

bool drawAll(const QDir& out)
{
    bool ok = true;
    for (int n = 1; n <= THERMAL_TABLE_COUNT; ++n)
        ok &= savePng(artwork::palettePreview(n),
                      out.filePath(QStringLiteral("images/colormaps/map_%1.png").arg(n, 2, 10, QLatin1Char('0'))));
    for (const QString& name : artwork::iconNames())
        ok &= savePng(artwork::icon(name), out.filePath(QStringLiteral("images/%1.png").arg(name)));
    ok &= savePng(artwork::splash(), out.filePath(QStringLiteral("images/splash.png")));
    ok &= saveWith(out.filePath(QStringLiteral("images/varnek.ico")), [](QIODevice* file, QString* error) {
        QVector<QImage> sizes;
        for (int size : artwork::windowIconSizes())
            sizes << artwork::windowIcon(size);
        return writeIco(sizes, file, error);
    });
    ok &= saveWith(out.filePath(QStringLiteral("images/loading.gif")), [](QIODevice* file, QString* error) {
        return writeGif(artwork::loadingAnimation(), file, error);
    });
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    // Drawing text needs the GUI layer, never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: ombrix_resgen <output folder>\n");
        return 2;
    }
    const QDir out(args.at(1));
    if (!out.mkpath(QStringLiteral("images/colormaps")))
        return report(out.path(), QStringLiteral("cannot create the folder")) ? 0 : 1;
    return drawAll(out) ? 0 : 1;
}
