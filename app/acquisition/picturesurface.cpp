#include "picturesurface.h"

#include <QOpenGLContext>
#include <QOpenGLShaderProgram>

namespace {

#ifndef GL_BGR
#define GL_BGR 0x80E0
#endif
#ifndef GL_UNPACK_ROW_LENGTH
#define GL_UNPACK_ROW_LENGTH 0x0CF2
#endif

const char* const VertexShader = R"(
attribute highp vec2 corner;
varying highp vec2 place;
void main()
{
    place = vec2((corner.x + 1.0) * 0.5, (1.0 - corner.y) * 0.5);
    gl_Position = vec4(corner, 0.0, 1.0);
}
)";

const char* const FragmentShader = R"(
uniform sampler2D picture;
varying highp vec2 place;
void main()
{
    gl_FragColor = vec4(texture2D(picture, place).rgb, 1.0);
}
)";

// Two triangles over the whole surface; the texture's first row is the
// picture's top row.
const GLfloat Corners[] = {-1, -1, 1, -1, -1, 1, 1, 1};

}  // namespace

PictureSurface::PictureSurface(NextImage nextImage, QWidget* parent)
    : QOpenGLWidget(parent)
    , next(std::move(nextImage))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

PictureSurface::~PictureSurface()
{
    // The base's destructor destroys the context: no call back into this
    // half-destroyed object then.
    if (context())
        disconnect(context(), nullptr, this, nullptr);
    releaseGl();
}

void PictureSurface::releaseGl()
{
    if (!context())
        return;
    makeCurrent();
    program.reset();
    if (texture)
        glDeleteTextures(1, &texture);
    texture = 0;
    textureSize = QSize();
    uploadedKey = 0;
    doneCurrent();
}

void PictureSurface::initializeGL()
{
    initializeOpenGLFunctions();
    // A context lost with its window takes the texture with it.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &PictureSurface::releaseGl, Qt::UniqueConnection);
    program = std::make_unique<QOpenGLShaderProgram>();
    if (!program->addShaderFromSourceCode(QOpenGLShader::Vertex, VertexShader) ||
        !program->addShaderFromSourceCode(QOpenGLShader::Fragment, FragmentShader) ||
        !program->link()) {
        qWarning("PictureSurface: the picture shader does not build: %s", qPrintable(program->log()));
        program.reset();
    }
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glClearColor(0, 0, 0, 1);
}

// B, G, R frames go up as they are; the rare others (grey, four channels)
// through one conversion to R, G, B, A.
void PictureSurface::upload(const QImage& frame)
{
    const bool bgr = frame.format() == QImage::Format_BGR888 && frame.bytesPerLine() % 3 == 0;
    const QImage image = bgr ? frame : frame.convertToFormat(QImage::Format_RGBA8888);
    const GLenum format = bgr ? GL_BGR : GL_RGBA;
    const int pixelBytes = bgr ? 3 : 4;
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, image.bytesPerLine() / pixelBytes);
    if (image.size() != textureSize) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, image.width(), image.height(), 0, format, GL_UNSIGNED_BYTE,
                     image.constBits());
        textureSize = image.size();
    } else {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, image.width(), image.height(), format, GL_UNSIGNED_BYTE,
                        image.constBits());
    }
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    uploadedKey = frame.cacheKey();
}

void PictureSurface::paintGL()
{
    const QImage image = next ? next() : QImage();
    glClear(GL_COLOR_BUFFER_BIT);
    if (image.isNull() || !program || !texture)
        return;
    if (image.cacheKey() != uploadedKey)
        upload(image);
    program->bind();
    program->setUniformValue("picture", 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    const int corner = program->attributeLocation("corner");
    program->enableAttributeArray(corner);
    program->setAttributeArray(corner, Corners, 2);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    program->disableAttributeArray(corner);
    program->release();
}
