// Recordings of the simulated module's frames in a scratch folder.
#pragma once

#include "ombrix_recording.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Frame = std::vector<uint8_t>;

class RecordingTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string path(const std::string& name) const { return folder + "/" + name; }
    // `count` successive frames of the simulated module (picture and words).
    static std::vector<Frame> camera_frames(int count);
    // Records them step_ms apart with a grey view of 192 x 256; returns the close result.
    int record(const std::string& file, const std::vector<Frame>& frames, int64_t step_ms = 40);
    static ombrix_recorder_params params();
    // Output of a shell command, or "" when it failed.
    static std::string run(const std::string& command);

    std::string folder;
};
