// Times the viewer's per-frame work on one frame of the simulated module,
// beside OpenCV's cvtColor YUYV->BGR alone on the same picture: end to end
// (the frame copied in as uvc_frame_get does, raw_data_cut, frame_to_mat
// with a quarter turn and the colour mapping, the image view taking the
// frame and painting it scaled to the window's 402 x 302 picture), the
// same without the scaling, the picture path up to a QImage, its parts, and
// the temperature step (49152 words to degrees, extremes, snapshot store).
// Prints the ratios at the end. OMBRIX_CPU=portable measures the portable paths. The view draws
// on its raster path (the Qt platform is offscreen unless QT_QPA_PLATFORM
// says otherwise).
#include "cameracontroller.h"
#include "cglwidgetimage.h"
#include "cthreadvideostream.h"
#include "globals.h"
#include "temperaturesnapshot.h"
#include "thermal.h"

#include <ombrix_simulator.h>
#include <vuzovaredero.h>
#include <zizuruziza.h>

#include "../support/cpu_time_reporter.h"

#include <benchmark/benchmark.h>
#include <opencv2/imgproc.hpp>

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = OMBRIX_SIM_WIDTH;
constexpr int kHeight = OMBRIX_SIM_HEIGHT;
constexpr int kPixels = kWidth * kHeight;

// One frame of the simulated module, and the controller's record set up
// as for a stream of it.
struct Stream {
    std::vector<uint8_t> frame = std::vector<uint8_t>(OMBRIX_SIM_FRAME_BYTES);
    stream_frame_info_t& info = g_stream_frame_info;

    Stream()
    {
        ombrix_sim_reset();
        if (ombrix_sim_current_frame(frame.data(), frame.size()) != long(frame.size()))
            std::fprintf(stderr, "the simulated module gave no frame\n");
        info.camera_param.width = kWidth;
        info.camera_param.height = 2 * kHeight;
        info.camera_param.frame_size = OMBRIX_SIM_FRAME_BYTES;
        stream_frame_info_init(&info);
        frame_buffers_create(&info);
        convert_buffers_create(&info);
        raw_data_cut(frame.data(), int(info.image_frame_size), int(info.temp_frame_size), info.image_frame,
                     info.temp_frame);
        g_palette = 1;
    }
};

Stream& stream()
{
    static Stream s;
    return s;
}

void setFrames(benchmark::State& state)
{
    state.counters["frames/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

// The image view, on its raster path, as big as `size`.
CGLWidgetImage& view(const QSize& size)
{
    static CGLWidgetImage* const widget = new CGLWidgetImage;
    widget->resize(size);
    return *widget;
}

// One frame through the stream thread's steps and the view: in, turned and
// coloured, taken by the view, painted into `shown` (the window's pixels).
void runFrame(Stream& s, std::vector<uint8_t>& raw, CGLWidgetImage& target, QImage& shown)
{
    std::memcpy(raw.data(), s.frame.data(), raw.size());
    raw_data_cut(raw.data(), int(s.info.image_frame_size), int(s.info.temp_frame_size), s.info.image_frame,
                 s.info.temp_frame);
    const cv::Mat mat = frame_to_mat(&s.info);
    QMetaObject::invokeMethod(&target, "onFrame", Qt::DirectConnection, Q_ARG(cv::Mat, mat));
    target.render(&shown);
    benchmark::DoNotOptimize(shown.constBits());
}

void BM_viewer_frame(benchmark::State& state, QSize size)
{
    Stream& s = stream();
    std::vector<uint8_t> raw(s.frame.size());
    s.info.image_info.rotate = RIGHT_90D;
    CGLWidgetImage& target = view(size);
    QImage shown(size, QImage::Format_RGB32);
    for (auto _ : state)
        runFrame(s, raw, target, shown);
    s.info.image_info.rotate = NO_ROTATE;
    setFrames(state);
}
// End to end, scaled into the main window's picture.
BENCHMARK_CAPTURE(BM_viewer_frame, end_to_end, QSize(402, 302));
// The same at the picture's own size: no scaling.
BENCHMARK_CAPTURE(BM_viewer_frame, own_size, QSize(kHeight, kWidth));

// The picture path up to an image of the frame, as it was first measured
// (the stream thread's steps and a deep-copy conversion to a QImage).
void BM_picture_path(benchmark::State& state)
{
    Stream& s = stream();
    s.info.image_info.rotate = RIGHT_90D;
    for (auto _ : state) {
        raw_data_cut(s.frame.data(), int(s.info.image_frame_size), int(s.info.temp_frame_size), s.info.image_frame,
                     s.info.temp_frame);
        const cv::Mat mat = frame_to_mat(&s.info);
        QImage image = CGLWidgetImage::imageFromMat(mat);
        benchmark::DoNotOptimize(image.constBits());
    }
    s.info.image_info.rotate = NO_ROTATE;
    setFrames(state);
}
BENCHMARK(BM_picture_path);

void BM_opencv_cvtColor_yuyv_to_bgr(benchmark::State& state)
{
    Stream& s = stream();
    const cv::Mat yuyv(kHeight, kWidth, CV_8UC2, s.frame.data());
    cv::Mat bgr(kHeight, kWidth, CV_8UC3);
    for (auto _ : state) {
        cv::cvtColor(yuyv, bgr, cv::COLOR_YUV2BGR_YUYV);
        benchmark::ClobberMemory();
    }
    setFrames(state);
}
BENCHMARK(BM_opencv_cvtColor_yuyv_to_bgr);

// ---- Parts of the path ----------------------------------------------------

void BM_raw_data_cut(benchmark::State& state)
{
    Stream& s = stream();
    for (auto _ : state) {
        raw_data_cut(s.frame.data(), int(s.info.image_frame_size), int(s.info.temp_frame_size), s.info.image_frame,
                     s.info.temp_frame);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_raw_data_cut);

void BM_frame_convert(benchmark::State& state)
{
    Stream& s = stream();
    for (auto _ : state) {
        frame_convert(s.info.image_frame, kPixels, &s.info.image_info);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_frame_convert);

void BM_frame_to_mat(benchmark::State& state, rotate_side_t side)
{
    Stream& s = stream();
    s.info.image_info.rotate = side;
    for (auto _ : state) {
        const cv::Mat mat = frame_to_mat(&s.info);
        benchmark::DoNotOptimize(mat.data);
    }
    s.info.image_info.rotate = NO_ROTATE;
}
BENCHMARK_CAPTURE(BM_frame_to_mat, upright, NO_ROTATE);
BENCHMARK_CAPTURE(BM_frame_to_mat, quarter_turn, RIGHT_90D);

// The quarter turn alone, as the controller makes it, beside OpenCV's.
void BM_rotate_right_90(benchmark::State& state)
{
    const cv::Mat bgr(kHeight, kWidth, CV_8UC3, cv::Scalar(90, 90, 90));
    cv::Mat turned(kWidth, kHeight, CV_8UC3);
    const image_res_t res = {uint16_t(kWidth), uint16_t(kHeight)};
    for (auto _ : state) {
        rotate_right_90(bgr.data, res, PIXFMT_BGR888, turned.data);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_rotate_right_90);

void BM_opencv_rotate(benchmark::State& state)
{
    const cv::Mat bgr(kHeight, kWidth, CV_8UC3, cv::Scalar(90, 90, 90));
    cv::Mat turned(kWidth, kHeight, CV_8UC3);
    for (auto _ : state) {
        cv::rotate(bgr, turned, cv::ROTATE_90_CLOCKWISE);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_opencv_rotate);

void BM_itGray2RgbAD(benchmark::State& state)
{
    const cv::Mat grey(kHeight, kWidth, CV_8UC3, cv::Scalar(90, 90, 90));
    itSetRgbColor(2);
    for (auto _ : state) {
        cv::Mat coloured;
        itGray2RgbAD(grey, coloured);
        benchmark::DoNotOptimize(coloured.data);
    }
}
BENCHMARK(BM_itGray2RgbAD);

void BM_image_from_mat(benchmark::State& state)
{
    const cv::Mat bgr(kWidth, kHeight, CV_8UC3, cv::Scalar(10, 120, 230));
    for (auto _ : state) {
        QImage image = CGLWidgetImage::imageFromMat(bgr);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_image_from_mat);

// ---- The temperature step ---------------------------------------------------

void BM_temperature_step(benchmark::State& state)
{
    Stream& s = stream();
    std::vector<float> celsius(kPixels);
    float highest = 0, lowest = 0;
    for (auto _ : state) {
        CThreadVideoStream::decodeTemperatures(s.info.temp_frame, kPixels, celsius.data(), &highest, &lowest);
        TemperatureSnapshot::instance().store(celsius.data(), kPixels);
        benchmark::DoNotOptimize(highest);
        benchmark::DoNotOptimize(lowest);
    }
}
BENCHMARK(BM_temperature_step)->Unit(benchmark::kMicrosecond);

void BM_decode_temperatures(benchmark::State& state)
{
    Stream& s = stream();
    std::vector<float> celsius(kPixels);
    float highest = 0, lowest = 0;
    for (auto _ : state) {
        CThreadVideoStream::decodeTemperatures(s.info.temp_frame, kPixels, celsius.data(), &highest, &lowest);
        benchmark::DoNotOptimize(highest);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_decode_temperatures)->Unit(benchmark::kMicrosecond);

void BM_snapshot_store(benchmark::State& state)
{
    std::vector<float> celsius(kPixels, 21.5f);
    for (auto _ : state)
        TemperatureSnapshot::instance().store(celsius.data(), kPixels);
}
BENCHMARK(BM_snapshot_store)->Unit(benchmark::kMicrosecond);

// Console output as usual, then the figures that have targets, in CPU time
// (which other work on a shared machine disturbs less than wall time).
class RatioReporter : public CpuTimeReporter
{
public:
    void printTargets() const
    {
        const double cv = time("BM_opencv_cvtColor_yuyv_to_bgr");
        if (cv > 0) {
            std::printf("\nRatios of CPU time to cvtColor YUYV->BGR alone:\n");
            for (const char* name : {"BM_viewer_frame/end_to_end", "BM_viewer_frame/own_size", "BM_picture_path", "BM_raw_data_cut", "BM_frame_convert",
                                     "BM_frame_to_mat/upright", "BM_frame_to_mat/quarter_turn", "BM_rotate_right_90",
                                     "BM_opencv_rotate", "BM_itGray2RgbAD",
                                     "BM_image_from_mat"})
                if (time(name) > 0)
                    std::printf("  %-30s %6.2f\n", name + 3, time(name) / cv);
            std::printf("  picture path target: at most 2.50 -> %s\n",
                        time("BM_picture_path") / cv <= 2.5 ? "met" : "MISSED");
        }
        const double step = time("BM_temperature_step");
        if (step > 0)
            std::printf("\nTemperature step: %.3f ms (target under 0.3 ms) -> %s\n", step * 1e3,
                        step < 0.3e-3 ? "met" : "MISSED");
    }
};

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("OMBRIX_VIEW"))
        qputenv("OMBRIX_VIEW", "raster");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printTargets();
    benchmark::Shutdown();
    return 0;
}
