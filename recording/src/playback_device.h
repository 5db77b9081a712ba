// The vendor command side of the playback device: the module's register
// protocol and command set (the simulated module's model) answering for the
// recorded module, with its identity and settings from the recording's tags
// and its temperature readouts taken from the frame being played.
#ifndef OMBRIX_RECORDING_PLAYBACK_DEVICE_H
#define OMBRIX_RECORDING_PLAYBACK_DEVICE_H

#include "ombrix_recording.h"
#include "ombrix_sim/command_set.h"
#include "ombrix_sim/register_port.h"

#include <functional>
#include <mutex>

namespace ombrix::recording {

class PlaybackCommands final : private sim::ModuleSurface {
public:
    // Fills `words` (the sensor's cells) with the temperature half now shown.
    using WordsSource = std::function<void(uint16_t* words)>;

    PlaybackCommands(const ombrix_recording_tags& tags, WordsSource words);

    // A vendor control transfer: bytes moved or a negative libusb error.
    int control_transfer(uint8_t request_type, uint8_t request, uint16_t value, uint16_t index, uint8_t* data,
                         uint16_t length);

private:
    void measured_words(uint16_t* words) override { words_(words); }
    void start_shutter() override {}  // a recording has no shutter to close
    void set_tpd(uint16_t index, uint32_t value);

    std::mutex mutex_;
    WordsSource words_;
    sim::CommandSet commands_;
    sim::RegisterPort port_;
};

}  // namespace ombrix::recording

#endif
