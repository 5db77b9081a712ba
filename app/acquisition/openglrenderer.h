// Which way the live picture is drawn on this display.
//
// With a graphics processor the picture goes to the GPU as a texture and is
// scaled there. With a software OpenGL (Mesa's llvmpipe, softpipe, swrast)
// every OpenGL widget makes Qt compose the whole window through that software
// renderer on each frame, which costs far more than drawing the picture with
// Qt's raster painter, so the raster path is chosen there and when there is
// no OpenGL at all.
//
// OMBRIX_VIEW=raster or OMBRIX_VIEW=opengl overrides the choice (benchmarks,
// tests, broken drivers).
#pragma once

#include <QString>
#include <QStringList>

enum class DrawingPath { Raster, OpenGL };

// The renderer string names a software implementation.
bool isSoftwareRenderer(const QString& renderer);

// An X server with these extensions lets a client drive a graphics processor
// directly (DRI3, DRI2, or a vendor's own GLX); without any of them every
// OpenGL the client can have is a software one.
bool directRenderingReachable(const QStringList& serverExtensions);

// Called before the QApplication exists. When the display is an X server that
// offers no direct rendering (Xvfb, a remote display without GLX forwarding of
// a GPU) or LIBGL_ALWAYS_SOFTWARE is set, the raster path is settled here and
// Qt is asked to leave out its GLX integration, which would otherwise load the
// software OpenGL driver (and the compiler it links, some 50 MB) into a
// process that never draws with it.
void settleDrawingPathBeforeApplication(int argc, char** argv);

// The path for this process: decided once, on the GUI thread, after the
// QApplication exists. The probe's OpenGL context is gone when this returns.
DrawingPath preferredDrawingPath();
