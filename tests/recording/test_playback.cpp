// A recording played as the camera through dozazuva: the viewer's calls see
// the recorded module and receive every recorded frame unchanged.
#include "recording_fixture.h"

#include "dozazuva.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>

namespace {

// The frames the stream delivers: how many, and the distinct ones in the order they came.
struct Received {
    std::mutex mutex;
    size_t count = 0;
    std::vector<Frame> shown;

    static void on_frame(void* data, void* user)
    {
        auto* self = static_cast<Received*>(user);
        const auto* bytes = static_cast<const uint8_t*>(data);
        std::lock_guard<std::mutex> lock(self->mutex);
        ++self->count;
        if (self->shown.empty() || !std::equal(bytes, bytes + 196608, self->shown.back().begin()))
            self->shown.emplace_back(bytes, bytes + 196608);
    }
    template <typename Read>
    auto locked(Read read)
    {
        std::lock_guard<std::mutex> lock(mutex);
        return read();
    }
};

// Bounded wait for the stream thread to get somewhere (no timing is asserted).
template <typename Done>
bool eventually(Done done)
{
    for (int i = 0; i < 500 && !done(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return done();
}

ombrix_playback_state state()
{
    ombrix_playback_state s{};
    EXPECT_EQ(ombrix_playback_state_get(&s), 0);
    return s;
}

TEST_F(RecordingTest, PlaybackStreamsTheRecordedFramesAndAnswersAsTheRecordedModule)
{
    const auto frames = camera_frames(8);
    ASSERT_EQ(record(path("play.mkv"), frames), 0);
    ASSERT_EQ(ombrix_playback_select(path("play.mkv").c_str()), 0);

    ASSERT_EQ(uvc_camera_init(), 0);
    std::vector<camera_dev_t> list(DOZAZUVA_MAX_DEVICES);
    ASSERT_EQ(uvc_camera_list(list.data()), 0);
    EXPECT_EQ(list[0].vid, 0x0BDAu);
    EXPECT_EQ(list[1].vid, 0u);
    std::vector<camera_stream_info_t> infos(DOZAZUVA_MAX_STREAM_INFOS);
    ASSERT_EQ(uvc_camera_info_get(&list[0], infos.data()), 0);
    ASSERT_EQ(uvc_camera_open(&list[0]), 0);
    ASSERT_EQ(vdcmd_init(), 0);

    uint8_t text[64] = {};
    ASSERT_EQ(get_sn(text), 0);
    EXPECT_STREQ(reinterpret_cast<char*>(text), "OMX2312000417");
    uint16_t value = 0;
    ASSERT_EQ(get_prop_tpd_params(TPD_PROP_EMS, &value), 0);
    EXPECT_EQ(value, 111);  // 0.87 in the module's 1/127 steps
    ASSERT_EQ(get_prop_tpd_params(TPD_PROP_GAIN_SEL, &value), 0);
    EXPECT_EQ(value, 0);  // the high range
    uint16_t extremes[6] = {};
    ASSERT_EQ(tpd_get_max_min_temp_info(extremes), 0);
    uint16_t hottest = 0;
    for (size_t i = 98304; i < frames[0].size(); i += 2)
        hottest = std::max<uint16_t>(hottest, uint16_t(frames[0][i] | frames[0][i + 1] << 8));
    EXPECT_EQ(extremes[0], hottest);

    Received received;
    iruvc_usr_func_t callback{&Received::on_frame, &received};
    camera_param_t param{list[0], const_cast<char*>("YUY2"), infos[1].width, infos[1].height,
                         infos[1].width * infos[1].height * 2, 25, 1000};
    ASSERT_EQ(uvc_camera_stream_start(&param, &callback), 0);
    // Paused, the first frame repeats; played, every frame comes once in turn.
    ASSERT_TRUE(eventually([&] { return received.locked([&] { return received.count >= 3; }); }));
    ASSERT_EQ(ombrix_playback_set_playing(1), 0);
    ASSERT_TRUE(eventually([] { return !state().playing; }));
    EXPECT_EQ(state().index, 7);
    ASSERT_EQ(ombrix_playback_seek(100), 0);  // past the end: the last frame
    EXPECT_EQ(state().index, 7);
    ASSERT_EQ(ombrix_playback_step(-3), 0);
    std::vector<Frame> expected = frames;
    expected.push_back(frames[4]);
    EXPECT_TRUE(eventually([&] { return received.locked([&] { return received.shown == expected; }); }));
    EXPECT_EQ(uvc_camera_stream_close(0), 0);
    EXPECT_EQ(state().position_ms, 160);

    uvc_camera_close();
    uvc_camera_release();
    uvc_camera_list_release(list.data());
    uvc_camera_info_release(infos.data());
    ombrix_playback_deselect();
    EXPECT_EQ(ombrix_playback_state_get(&*std::make_unique<ombrix_playback_state>()), OMBRIX_REC_ERR_STATE);
}

}  // namespace
