// The picture on a graphics processor: an OpenGL child that fills the image
// view, keeps the frame as one texture (uploaded once per new frame, in the
// frame's own B, G, R byte order) and lets the GPU stretch it over the
// surface with linear filtering.
//
// Ownership: a child of the image view, which hands it each paint's image
// through the `next` function. Threads: GUI thread only.
#pragma once

#include <QImage>
#include <QOpenGLFunctions>
#include <QOpenGLWidget>

#include <functional>
#include <memory>

class QOpenGLShaderProgram;
class QOpenGLTexture;

class PictureSurface : public QOpenGLWidget, protected QOpenGLFunctions
{
public:
    using NextImage = std::function<QImage()>;

    PictureSurface(NextImage next, QWidget* parent);
    ~PictureSurface() override;

protected:
    void initializeGL() override;
    void paintGL() override;

private:
    void upload(const QImage& image);
    void releaseGl();

    NextImage next;
    std::unique_ptr<QOpenGLShaderProgram> program;
    GLuint texture = 0;
    QSize textureSize;
    qint64 uploadedKey = 0;  // cacheKey of the image in the texture
};
