// The viewer's camera controller, call for call: init, list, pick the first
// record of the product type, read its frame records, open it and take the
// stream from the second frame record; then install the transport.
#pragma once

#include "dozazuva.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace viewer {

class Camera {
public:
    ~Camera()
    {
        uvc_frame_buf_release(raw_frame);
        forget_records();
    }

    // Product type 2 (0x5840) or 6 (0x5830): 0 or the failing code (-1 when
    // no such module is listed).
    int open(int product_type)
    {
        forget_records();
        int result = uvc_camera_init();
        if (result < 0 || (result = uvc_camera_list(list_.data())) < 0)
            return result;
        const uint32_t pid = product_type == 2 ? 0x5840 : product_type == 6 ? 0x5830 : 0;
        auto found = std::find_if(list_.begin(), list_.end(),
                                  [pid](const camera_dev_t& d) { return pid != 0 && d.vid == 0x0BDA && d.pid == pid; });
        if (found == list_.end())
            return -1;
        camera_dev_t device = *found;
        if ((result = uvc_camera_info_get(&device, infos_.data())) < 0 || (result = uvc_camera_open(&device)) < 0)
            return result;
        const camera_stream_info_t& info = infos_[1];
        param = {device, info.format, info.width, info.height, info.width * info.height * 2, info.fps[0], 1000};
        return 0;
    }

    // Type 6, else type 2, then vdcmd_init.
    int connect()
    {
        const int result = open(6) < 0 ? open(2) : 0;
        return result < 0 ? result : vdcmd_init();
    }

    int start()
    {
        if (!raw_frame)
            raw_frame = uvc_frame_buf_create(&param);
        return uvc_camera_stream_start(&param, nullptr);
    }

    // camera_stream_stop, then camera_close and the library's release.
    void disconnect()
    {
        EXPECT_EQ(uvc_camera_stream_close(1), 0);
        EXPECT_EQ(uvc_camera_close(), 0);
        EXPECT_EQ(uvc_camera_release(), 0);
    }

    camera_param_t param{};
    uint8_t* raw_frame = nullptr;

private:
    void forget_records()
    {
        uvc_camera_list_release(list_.data());
        uvc_camera_info_release(infos_.data());
        list_.assign(list_.size(), {});
        infos_.assign(infos_.size(), {});
    }

    std::vector<camera_dev_t> list_ = std::vector<camera_dev_t>(DOZAZUVA_MAX_DEVICES);
    std::vector<camera_stream_info_t> infos_ = std::vector<camera_stream_info_t>(DOZAZUVA_MAX_STREAM_INFOS);
};

}  // namespace viewer
