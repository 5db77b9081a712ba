#include "encoders.h"

#include <ombrix/temperature_units.h>

#include <QtEndian>

#include <png.h>
#include <tiffio.h>
#include <tiffio.hxx>

#include <cstring>
#include <sstream>

namespace snapshot {

QByteArray tiffDescription()
{
    // Key=value lines; the first five are the calibration ImageJ applies
    // (a straight line, c0 + c1 * word, in degrees Celsius).
    return QByteArrayLiteral("ImageJ=1.11a\n"
                             "cf=0\n"
                             "c0=-273.15\n"
                             "c1=0.015625\n"
                             "vunit=C\n"
                             "temperature_word_unit=kelvin\n"
                             "temperature_word_scale=0.015625\n"
                             "celsius=word*0.015625-273.15\n");
}

QByteArray encodeTiff(const uint16_t* words, int width, int height, QString& why)
{
    std::ostringstream stream;
    TIFF* tiff = TIFFStreamOpen("snapshot", &stream);
    if (!tiff) {
        why = QStringLiteral("the TIFF library could not start a file");
        return QByteArray();
    }
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, uint32_t(width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, uint32_t(height));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, uint16_t(16));
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, uint16_t(1));
    TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT, uint16_t(SAMPLEFORMAT_UINT));
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, uint16_t(PHOTOMETRIC_MINISBLACK));
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, uint16_t(PLANARCONFIG_CONTIG));
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, uint16_t(COMPRESSION_NONE));
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, uint32_t(height));
    TIFFSetField(tiff, TIFFTAG_SOFTWARE, "Ombrix");
    TIFFSetField(tiff, TIFFTAG_IMAGEDESCRIPTION, tiffDescription().constData());
    bool written = true;
    for (int row = 0; row < height && written; ++row) {
        // libtiff does not write through its input, whatever the signature says.
        void* line = const_cast<uint16_t*>(words + size_t(row) * size_t(width));
        written = TIFFWriteScanline(tiff, line, uint32_t(row), 0) == 1;
    }
    written = TIFFWriteDirectory(tiff) == 1 && written;
    TIFFClose(tiff);
    if (!written) {
        why = QStringLiteral("the TIFF library refused the picture");
        return QByteArray();
    }
    const std::string bytes = stream.str();
    return QByteArray(bytes.data(), int(bytes.size()));
}

QByteArray encodeCsv(const float* celsius, int width, int height, snapshot_unit unit)
{
    QByteArray text;
    text.reserve(width * height * 7);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            float value = celsius[size_t(row) * size_t(width) + size_t(column)];
            if (unit == SNAPSHOT_FAHRENHEIT)
                value = celsius_to_fahrenheit(value);
            if (column > 0)
                text += ',';
            // QByteArray::number ignores the locale: always "." and no grouping.
            text += QByteArray::number(double(value), 'f', SNAPSHOT_CSV_DECIMALS);
        }
        text += '\n';
    }
    return text;
}

QByteArray encodeRaw(const float* celsius, int count)
{
    QByteArray bytes(count * int(sizeof(float)), Qt::Uninitialized);
    qToLittleEndian<float>(celsius, count, bytes.data());
    return bytes;
}

QByteArray encodePng(const uint8_t* rgb, int width, int height, int stride, QString& why)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    // The first call only measures.
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgb, stride, nullptr)) {
        why = QString::fromUtf8(image.message);
        png_image_free(&image);
        return QByteArray();
    }
    QByteArray bytes(int(size), Qt::Uninitialized);
    if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, rgb, stride, nullptr)) {
        why = QString::fromUtf8(image.message);
        png_image_free(&image);
        return QByteArray();
    }
    bytes.truncate(int(size));
    return bytes;
}

} // namespace snapshot
