// The picture of the current frame as the view shows it: the module's own
// picture coloured with the palette (automatic span) or the temperature half
// coloured through the fixed span, with the isotherm painted over either.
// Video stream thread only.
#pragma once

#include "cameracontroller.h"

#include <opencv2/core.hpp>

// Empty for a null record or a picture that cannot be made. The fixed span
// follows the rotation; mirroring applies to the module's picture only (the
// viewer never mirrors).
cv::Mat colour_frame(stream_frame_info_t* info);
