#include "framecolouring.h"

#include "framebufferpool.h"
#include "globals.h"
#include "picturecolouring.h"

namespace {

int turnsOf(u32 rotate)
{
    switch (rotate) {
    case RIGHT_90D:
        return 1;
    case ROTATE_180D:
        return 2;
    case LEFT_90D:
        return 3;
    default:
        return 0;
    }
}

}  // namespace

cv::Mat colour_frame(stream_frame_info_t* info)
{
    if (!info)
        return cv::Mat();
    const reading::ScaleSettings settings = reading::ScaleSettings::current();
    const int width = int(info->temp_info.width);
    const int height = int(info->temp_info.height);
    const uint16_t* words = info->temp_frame && info->temp_frame_size >= u32(width) * u32(height) * 2
                                ? reinterpret_cast<const uint16_t*>(info->temp_frame)
                                : nullptr;
    const int turns = turnsOf(info->image_info.rotate);
    const int table = g_palette.load() + 1;

    cv::Mat picture;
    picture.allocator = frameBufferPool();
    if (!settings.manualSpan || !reading::colourBySpan(words, width, height, turns, settings, table, picture))
        picture = frame_to_mat(info);
    if (!picture.empty() && settings.isotherm != reading::Isotherm::Off)
        reading::paintIsotherm(picture, words, width, height, turns, settings.isotherm,
                               celsius_to_raw(settings.thresholdCelsius),
                               reading::contrastingColour(table));
    return picture;
}
