// The snapshot files read back with the libraries other programs use, and
// refused or failed writes that leave nothing behind.
#include <snapshot.h>

#include <ombrix/temperature_units.h>

#include <QDir>
#include <QFile>
#include <QtEndian>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <png.h>
#include <tiffio.h>

#include <clocale>
#include <csignal>
#include <functional>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr int Width = 256;
constexpr int Height = 192;

std::vector<uint16_t> wordPattern()
{
    std::vector<uint16_t> words(Width * Height);
    for (size_t i = 0; i < words.size(); ++i)
        words[i] = uint16_t(15000 + (i * 7919) % 12000); // about -39 to 147 C
    return words;
}

std::vector<float> celsiusOf(const std::vector<uint16_t>& words)
{
    std::vector<float> celsius;
    for (uint16_t word : words)
        celsius.push_back(raw_to_celsius(word));
    return celsius;
}

struct Folder {
    QTemporaryDir dir;
    std::string path(const char* name) const { return dir.filePath(QString::fromLatin1(name)).toStdString(); }
    QStringList entries() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
};

TEST(Snapshot, TiffCarriesEveryWordAndSaysItsScale)
{
    Folder folder;
    const std::vector<uint16_t> words = wordPattern();
    ASSERT_EQ(snapshot_write_tiff(folder.path("a.tiff").c_str(), words.data(), Width, Height, nullptr, 0), 0);

    TIFF* tiff = TIFFOpen(folder.path("a.tiff").c_str(), "r");
    ASSERT_NE(tiff, nullptr);
    uint32_t width = 0, height = 0;
    char* description = nullptr;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    ASSERT_TRUE(TIFFGetField(tiff, TIFFTAG_IMAGEDESCRIPTION, &description));
    EXPECT_EQ(std::pair(width, height), std::pair(uint32_t(Width), uint32_t(Height)));
    EXPECT_NE(std::string(description).find("temperature_word_unit=kelvin"), std::string::npos);
    EXPECT_NE(std::string(description).find("temperature_word_scale=0.015625"), std::string::npos);
    std::vector<uint16_t> row(Width);
    for (uint32_t y = 0; y < height; ++y) {
        ASSERT_EQ(TIFFReadScanline(tiff, row.data(), y, 0), 1);
        ASSERT_TRUE(std::equal(row.begin(), row.end(), words.begin() + y * Width)) << "row " << y;
    }
    TIFFClose(tiff);
}

// Values read back whatever the program's locale: the CSV within its printed
// precision in either unit, the raw file as little-endian Celsius floats.
TEST(Snapshot, CsvAndRawHoldTheMatrix)
{
    Folder folder;
    const std::vector<float> celsius = celsiusOf(wordPattern());
    std::setlocale(LC_ALL, "de_DE.UTF-8"); // a comma locale when installed
    ASSERT_EQ(snapshot_write_raw(folder.path("m.raw").c_str(), celsius.data(), Width, Height, nullptr, 0), 0);
    QFile raw(folder.dir.filePath(QStringLiteral("m.raw")));
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray floats = raw.readAll();
    ASSERT_EQ(floats.size(), Width * Height * 4);
    const struct {
        snapshot_unit unit;
        float (*expected)(float);
    } cases[] = {{SNAPSHOT_CELSIUS, [](float c) { return c; }},
                 {SNAPSHOT_FAHRENHEIT, [](float c) { return celsius_to_fahrenheit(c); }}};
    for (const auto& c : cases) {
        ASSERT_EQ(snapshot_write_csv(folder.path("t.csv").c_str(), celsius.data(), Width, Height, c.unit, nullptr, 0), 0);
        QFile file(folder.dir.filePath(QStringLiteral("t.csv")));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        ASSERT_EQ(lines.size(), Height + 1); // the last line ends too
        for (int y = 0; y < Height; ++y) {
            const QList<QByteArray> cells = lines[y].split(',');
            ASSERT_EQ(cells.size(), Width) << "row " << y;
            for (int x = 0; x < Width; ++x) {
                bool ok = false;
                const double value = cells[x].toDouble(&ok);
                ASSERT_TRUE(ok) << cells[x].constData();
                ASSERT_NEAR(value, c.expected(celsius[y * Width + x]), 0.005 + 1e-6) << x << "," << y;
                ASSERT_EQ(qFromLittleEndian<float>(floats.constData() + 4 * (y * Width + x)), celsius[y * Width + x]);
            }
        }
    }
    std::setlocale(LC_ALL, "C");
}

TEST(Snapshot, PngReadsBackPixelForPixel)
{
    Folder folder;
    constexpr int Stride = 3 * 40 + 5; // rows with padding
    std::vector<uint8_t> rgb(Stride * 30);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = uint8_t(i * 31);
    ASSERT_EQ(snapshot_write_png(folder.path("p.png").c_str(), rgb.data(), 40, 30, Stride, nullptr, 0), 0);

    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, folder.path("p.png").c_str()));
    image.format = PNG_FORMAT_RGB;
    ASSERT_EQ(image.width, 40u);
    ASSERT_EQ(image.height, 30u);
    std::vector<uint8_t> back(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, back.data(), 0, nullptr));
    for (int y = 0; y < 30; ++y)
        ASSERT_TRUE(std::equal(back.begin() + y * 120, back.begin() + y * 120 + 120, rgb.begin() + y * Stride)) << y;
}

// A write that cannot finish keeps the earlier file and leaves no temporary
// file; a refused call creates nothing.
TEST(Snapshot, FailedWritesLeaveNothingHalfWritten)
{
    Folder folder;
    const std::vector<uint16_t> words = wordPattern();
    const std::vector<float> celsius = celsiusOf(words);
    const std::string kept = folder.path("kept.csv");
    {
        QFile earlier(QString::fromStdString(kept));
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier\n");
    }
    char error[256] = {};

    // The file grows past the size limit: the write fails with EFBIG.
    rlimit original = {};
    getrlimit(RLIMIT_FSIZE, &original);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = original;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    const int result = snapshot_write_csv(kept.c_str(), celsius.data(), Width, Height, SNAPSHOT_CELSIUS, error, sizeof error);
    setrlimit(RLIMIT_FSIZE, &original);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(result, -1);
    EXPECT_NE(std::string(error).find("kept.csv"), std::string::npos) << error;
    QFile back(QString::fromStdString(kept));
    ASSERT_TRUE(back.open(QIODevice::ReadOnly));
    EXPECT_EQ(back.readAll(), QByteArray("earlier\n"));

    const std::string missing = folder.path("no/such/folder/x.tiff");
    const std::string folderItself = folder.dir.path().toStdString();
    const uint8_t* pixels = reinterpret_cast<const uint8_t*>(words.data());
    const struct {
        std::function<int(char*)> write;
        const char* named;
    } refusals[] = {
        {[&](char* e) { return snapshot_write_tiff(missing.c_str(), words.data(), Width, Height, e, 256); }, "x.tiff"},
        {[&](char* e) { return snapshot_write_raw(folderItself.c_str(), celsius.data(), Width, Height, e, 256); }, "folder"},
        {[&](char* e) { return snapshot_write_tiff(folder.path("n.tiff").c_str(), nullptr, Width, Height, e, 256); }, "n.tiff"},
        {[&](char* e) { return snapshot_write_raw(folder.path("z.raw").c_str(), celsius.data(), 0, Height, e, 256); }, "0 x 192"},
        {[&](char* e) { return snapshot_write_png(folder.path("s.png").c_str(), pixels, 40, 30, 100, e, 256); }, "100 bytes"},
        {[&](char* e) { return snapshot_write_csv(nullptr, celsius.data(), Width, Height, SNAPSHOT_CELSIUS, e, 256); }, "no file name"},
        {[&](char* e) { return snapshot_write_csv(folder.path("u.csv").c_str(), celsius.data(), Width, Height, snapshot_unit(7), e, 256); }, "unit 7"},
    };
    for (const auto& refusal : refusals) {
        char why[256] = {};
        EXPECT_EQ(refusal.write(why), -1) << refusal.named;
        EXPECT_NE(std::string(why).find(refusal.named), std::string::npos) << why;
    }
    EXPECT_EQ(folder.entries(), QStringList{QStringLiteral("kept.csv")});
}

} // namespace
