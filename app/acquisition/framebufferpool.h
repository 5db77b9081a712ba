// Memory for the coloured frames: an OpenCV matrix allocator that keeps the
// buffers of released frames for the next ones. Each frame is still a matrix
// of its own (the view may hold several), but a running stream stops taking
// fresh pages from the system for every frame, which cost as much as the
// colour conversion itself.
//
// Thread-safe: frames are made on the stream thread and released on
// whichever thread drops the last reference.
#pragma once

#include <opencv2/core.hpp>

// The process-wide allocator; it lives as long as the process, so frames may
// outlive everything else.
cv::MatAllocator* frameBufferPool();

// A frame's pixels pass from the stream thread to the GUI thread through Qt's
// event queue, and its buffer comes back to the pool when the last reference
// goes, through OpenCV's reference count. The thread sanitizer sees neither
// (Qt and OpenCV are not instrumented), so under it the sender, each reader
// and the pool mark these hand-overs; elsewhere the marks do nothing.
//   markFrameSent      the stream thread, after writing, before emitting
//   markFrameReceived  a reader, before reading the pixels
//   markFrameDone      a reader, after its last read of the pixels
#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);
inline void markFrameSent(const cv::Mat& mat)
{
    if (mat.datastart)
        __tsan_release(const_cast<uchar*>(mat.datastart));
}
inline void markFrameReceived(const cv::Mat& mat)
{
    if (mat.datastart)
        __tsan_acquire(const_cast<uchar*>(mat.datastart));
}
inline void markFrameDone(const cv::Mat& mat)
{
    if (mat.datastart)
        __tsan_release(const_cast<uchar*>(mat.datastart));
}
#else
inline void markFrameSent(const cv::Mat&) {}
inline void markFrameReceived(const cv::Mat&) {}
inline void markFrameDone(const cv::Mat&) {}
#endif
