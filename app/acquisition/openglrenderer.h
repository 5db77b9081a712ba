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

enum class DrawingPath { Raster, OpenGL };

// The renderer string names a software implementation.
bool isSoftwareRenderer(const QString& renderer);

// The path for this process: decided once, on the GUI thread, after the
// QApplication exists. The probe's OpenGL context is gone when this returns.
DrawingPath preferredDrawingPath();
