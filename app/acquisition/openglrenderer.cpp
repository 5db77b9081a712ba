#include "openglrenderer.h"

#include <QByteArray>
#include <QDebug>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

namespace {

// The renderer of a default context, or an empty string when OpenGL cannot be
// had (or is OpenGL ES, whose uploads lack the B, G, R order the frames use).
QString probeRenderer()
{
    QOpenGLContext context;
    if (!context.create() || context.isOpenGLES())
        return QString();
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!surface.isValid() || !context.makeCurrent(&surface))
        return QString();
    const auto* name = reinterpret_cast<const char*>(context.functions()->glGetString(GL_RENDERER));
    const QString renderer = name ? QString::fromLatin1(name) : QString();
    context.doneCurrent();
    return renderer;
}

DrawingPath decide()
{
    const QByteArray forced = qgetenv("OMBRIX_VIEW").toLower();
    if (forced == "raster")
        return DrawingPath::Raster;
    if (forced == "opengl")
        return DrawingPath::OpenGL;
    const QString renderer = probeRenderer();
    const DrawingPath path =
        renderer.isEmpty() || isSoftwareRenderer(renderer) ? DrawingPath::Raster : DrawingPath::OpenGL;
    qDebug() << "Picture drawn by" << (path == DrawingPath::OpenGL ? "OpenGL" : "the raster painter")
             << "(OpenGL renderer:" << renderer << ")";
    return path;
}

}  // namespace

bool isSoftwareRenderer(const QString& renderer)
{
    static const char* const software[] = {"llvmpipe", "softpipe", "swrast", "software rasterizer", "swiftshader",
                                           "basic render"};
    const QString lower = renderer.toLower();
    for (const char* name : software)
        if (lower.contains(QLatin1String(name)))
            return true;
    return false;
}

DrawingPath preferredDrawingPath()
{
    static const DrawingPath path = decide();
    return path;
}
