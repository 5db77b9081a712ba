// The camera controller: the viewer's thin procedural layer over the camera
// library. It finds and opens the camera by product type, owns the frame and
// conversion buffers, starts and stops the stream, and turns the picture half
// of each raw frame into a coloured cv::Mat for the image view.
//
// Threads: camera_open, camera_stream_start, camera_stream_stop, camera_close
// and the frame buffer functions run on the GUI thread under the main
// window's device mutex. frame_to_mat, frame_convert and
// convert_buffers_create run on the video stream thread only; the disconnect
// sequence stops that thread before it releases the conversion buffers.
//
// Diagnostics are printed on standard output with printf.
#pragma once

#include <dozazuva.h>
#include <zizuruziza.h>
#include <ombrix/temperature_units.h>

#include <opencv2/core.hpp>

#include <cstdint>

typedef uint8_t u8;
typedef uint16_t u16;
typedef uint32_t u32;

// Where the picture half comes from.
typedef enum { INPUT_Y14 = 0, INPUT_Y16 = 1, INPUT_YUV422 = 2 } input_format_t;

// Quarter turns: LEFT_90D counter-clockwise, RIGHT_90D clockwise.
typedef enum { NO_ROTATE = 0, LEFT_90D = 1, RIGHT_90D = 2, ROTATE_180D = 3 } rotate_side_t;

typedef enum { NO_MIRROR_FLIP = 0, ONLY_MIRROR = 1, ONLY_FLIP = 2, MIRROR_FLIP = 3 } mirror_flip_t;

// How one half of the frame is converted.
typedef struct {
    u32 width;
    u32 height;
    u32 byte_size;     // bytes that the last conversion produced
    u32 rotate;        // rotate_side_t
    u32 mirror_flip;   // mirror_flip_t
    u32 input_format;  // input_format_t
    u32 output_format; // pixel_format_t
    u32 grey;          // non-zero: no pseudo-colour in the conversion
    u32 enhance_off;   // non-zero: no detail enhancement
} frame_info_t;

// The stream's buffers and conversion settings.
typedef struct {
    u8* raw_frame;         // one whole camera frame (camera_param.frame_size bytes)
    u8* image_frame;       // the picture half
    u32 image_frame_size;
    u8* temp_frame;        // the temperature half
    u32 temp_frame_size;
    frame_info_t image_info;
    frame_info_t temp_info; // only width and height are used
    camera_param_t camera_param;
} stream_frame_info_t;

// Product types: which USB product id camera_open looks for.
enum { PRODUCT_TYPE_5840 = 2, PRODUCT_TYPE_5830 = 6 };

// The process-wide record that the main window fills and the stream thread reads.
extern stream_frame_info_t g_stream_frame_info;

// Initialises the camera library, finds the first camera of the product type
// (2: 0x5840, 6: 0x5830), opens it and fills param from its second frame
// descriptor. 0, -1 for an unknown product type or no such camera, or the
// camera library's code.
int camera_open(camera_param_t* param, int product_type);
// Starts streaming with info's camera_param in the pull model.
int camera_stream_start(stream_frame_info_t* info);
// Stops streaming (when it runs) and frees the frame buffers.
int camera_stream_stop(stream_frame_info_t* info);
// Stops streaming when it runs, closes the device, frees the camera library.
int camera_close(void);
// Installs the vendor command transport for the opened camera.
int camera_command_init(void);

bool camera_is_open(void);
bool camera_is_streaming(void);

// Fills the record from its camera_param as the viewer streams every product
// type: the picture half (width x height/2, YUV422) converted to BGR888,
// upright, without detail enhancement; the temperature half of the same size.
void stream_frame_info_init(stream_frame_info_t* info);

// Makes raw_frame, image_frame and temp_frame, only when all three are null.
int frame_buffers_create(stream_frame_info_t* info);
// Frees each frame buffer that exists and nulls it.
void frame_buffers_release(stream_frame_info_t* info);

// Makes the two conversion buffers (image_info width x height x 3 bytes each)
// that do not exist yet.
int convert_buffers_create(stream_frame_info_t* info);
void convert_buffers_release(void);

// Converts pixel_count pixels of image by info's input and output formats
// into the result buffer; info->byte_size receives the bytes produced (0 for
// a conversion the controller does not make). 0 or -1.
int frame_convert(u8* image, u32 pixel_count, frame_info_t* info);
// Where frame_convert leaves its result (null without conversion buffers).
const u8* frame_convert_output(void);

// Converts, mirrors, turns and colours the current picture half with the
// palette g_palette. Empty for a null record or a picture that cannot be made.
cv::Mat frame_to_mat(stream_frame_info_t* info);

// raw_to_celsius and celsius_to_fahrenheit: the shared temperature units.

