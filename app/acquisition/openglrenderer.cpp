#include "openglrenderer.h"

#include <QByteArray>
#include <QDebug>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {

const char* const XcbGlIntegration = "QT_XCB_GL_INTEGRATION";
bool settledRaster = false;

// The value after "-platform" or "-display" on Qt's command line, or null.
const char* qtArgument(int argc, char** argv, const char* option)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (qstrcmp(argv[i], option) == 0)
            return argv[i + 1];
    return nullptr;
}

// The names of the display's extensions, or nothing when there is no X
// server to ask.
QStringList xServerExtensions(const char* display)
{
    xcb_connection_t* connection = xcb_connect(display, nullptr);
    QStringList names;
    if (!xcb_connection_has_error(connection)) {
        xcb_list_extensions_reply_t* reply =
            xcb_list_extensions_reply(connection, xcb_list_extensions(connection), nullptr);
        if (reply) {
            for (auto it = xcb_list_extensions_names_iterator(reply); it.rem; xcb_str_next(&it))
                names << QString::fromLatin1(xcb_str_name(it.data), xcb_str_name_length(it.data));
            free(reply);
        }
    }
    xcb_disconnect(connection);
    return names;
}

// OMBRIX_VIEW as given: "raster", "opengl" or anything else for no choice.
QByteArray forcedPath()
{
    return qgetenv("OMBRIX_VIEW").toLower();
}

// Qt draws on an X server here (its default on Linux, also under XWayland).
bool onXServer(int argc, char** argv)
{
    const char* chosen = qtArgument(argc, argv, "-platform");
    const QByteArray platform = chosen ? QByteArray(chosen) : qgetenv("QT_QPA_PLATFORM");
    return platform.isEmpty() || platform.startsWith("xcb");
}

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
    // Settled before the application: Qt's GLX integration is left out, so
    // no OpenGL is to be had; children need not inherit that.
    if (settledRaster) {
        qunsetenv(XcbGlIntegration);
        qDebug() << "Picture drawn by the raster painter (chosen before start-up)";
        return DrawingPath::Raster;
    }
    const QByteArray forced = forcedPath();
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

bool directRenderingReachable(const QStringList& serverExtensions)
{
    for (const char* name : {"DRI3", "DRI2", "NV-GLX"})
        if (serverExtensions.contains(QLatin1String(name)))
            return true;
    return false;
}

void settleDrawingPathBeforeApplication(int argc, char** argv)
{
    const QByteArray forced = forcedPath();
    if (forced == "opengl" || qEnvironmentVariableIsSet(XcbGlIntegration) || !onXServer(argc, argv))
        return;
    const QByteArray software = qgetenv("LIBGL_ALWAYS_SOFTWARE").toLower();
    const bool softwareForced = !software.isEmpty() && software != "0" && software != "false";
    if (forced == "raster" || softwareForced ||
        !directRenderingReachable(xServerExtensions(qtArgument(argc, argv, "-display")))) {
        settledRaster = true;
        qputenv(XcbGlIntegration, "none");
    }
}

DrawingPath preferredDrawingPath()
{
    static const DrawingPath path = decide();
    return path;
}
