// The simulated camera module as one thread-safe object: its vendor control
// endpoint, its video frames, its scene, its faults and the wire log. It does
// not know how it is reached; the in-process backend and a USB-level emulation
// both drive it through control_transfer() and produce_frame().
//
// Scene time moves only when frames are produced (by the frame interval each)
// or when a caller sets it, so a run is reproducible from the seed. The time
// the module "shows" is the time of its latest frame; readouts, the truth
// accessors and the current frame all refer to it.
#ifndef OMBRIX_SIM_MODULE_H
#define OMBRIX_SIM_MODULE_H

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "ombrix_sim/command_set.h"
#include "ombrix_sim/register_port.h"
#include "ombrix_sim/scene.h"
#include "ombrix_sim/sensor.h"
#include "ombrix_sim/wire_log.h"

namespace ombrix::sim {

constexpr uint8_t kVendorRead = 0xC1;   // device to host, vendor, interface
constexpr uint8_t kVendorWrite = 0x41;  // host to device, vendor, interface
constexpr uint8_t kReadRequest = 0x44;
constexpr uint8_t kWriteRequest = 0x45;
constexpr uint16_t kRegisterValue = 0x78;
constexpr int64_t kDefaultFrameIntervalUs = 40000;  // 25 frames a second
constexpr int64_t kShutterFreezeUs = 320000;        // how long a flat-field refresh holds the picture

class Module : private ModuleSurface {
public:
    explicit Module(uint32_t seed = 1);

    // Everything back to a fresh module with this seed: scene, time, settings,
    // flash, identity, faults and log; powered.
    void reset(uint32_t seed);

    // A vendor control transfer as the module's connector sees it: reads
    // (0xC1, 0x44, 0x78) and writes (0x41, 0x45, 0x78) of register `index`.
    // Returns the bytes moved or a negative libusb error (-4 when unpowered,
    // -9 stall for anything it does not answer). Every call is logged.
    int control_transfer(uint8_t request_type, uint8_t request, uint16_t value, uint16_t index, uint8_t* data,
                         uint16_t length);
    // Logs a transfer that the bus refused before it reached the module.
    void log_refused(uint8_t request_type, uint8_t request, uint16_t value, uint16_t index, const uint8_t* data,
                     uint16_t length, int result);

    // Power: unpowered, every transfer fails with -4 and no frame comes;
    // powering up again starts the module fresh (flash and scene kept).
    void set_powered(bool on);
    bool powered() const;

    // The frame of `height` 384 (picture and temperature words) or 192
    // (picture only) after moving the scene on by `interval_us`. Returns
    // false, leaving `frame` empty, when no frame comes (unpowered, or the
    // no-frames fault; the scene still moves in the latter case). A frame-size
    // fault cuts or zero-pads the frame.
    bool produce_frame(int height, int64_t interval_us, std::vector<uint8_t>& frame);
    // The frame the module would send now, without moving time or faults.
    bool current_frame(int height, std::vector<uint8_t>& frame) const;
    static size_t frame_bytes(int height);

    // Time.
    int64_t time_us() const;
    void set_time_us(int64_t time_us);
    void set_time_frozen(bool frozen);  // frames keep coming, the scene stands still
    bool shutter_active() const;

    // Scene truth and settings, at the module's current time.
    ElementState element(ElementId id) const;
    void set_element_celsius(ElementId id, double celsius);
    double background_celsius(int x, int y) const;
    void set_noise(double celsius);
    void scene_celsius(float* grid) const;      // true temperatures, noise included
    void temperature_words(uint16_t* words) const;  // what the frame carries
    double reading_celsius(double true_celsius) const;
    int property(PropertyTable table, int index) const;
    uint8_t pseudo_color(uint8_t which) const;
    Identity identity() const;
    void set_serial(const char* serial);

    // Faults.
    void set_busy_polls(unsigned polls);
    void set_busy_status(uint8_t status);
    void set_stay_busy(bool on);
    void set_status_error(uint8_t status, int commands);
    void set_short_transfers(int transfers);             // < 0: until cleared
    void set_transfer_error(int error, int transfers);   // < 0: until cleared
    void set_frame_size(size_t bytes);                   // 0: the real size
    void set_no_frames(bool on);
    void clear_faults();

    // Wire log.
    size_t wire_count() const;
    bool wire_record(size_t i, WireRecord& out) const;
    void wire_clear();

    // Direct flash access for tests (the module's own view).
    bool flash_read(uint32_t address, uint8_t* out, uint32_t length) const;

private:
    struct Faults {
        int short_transfers = 0;
        int transfer_error = 0;
        int transfer_errors = 0;
        size_t frame_size = 0;
        bool no_frames = false;
    };

    // ModuleSurface, called with the lock held.
    void measured_words(uint16_t* words) override;
    void start_shutter() override;

    int64_t display_time() const;
    void words_at(int64_t time, uint16_t* words) const;
    void render(int height, std::vector<uint8_t>& frame) const;
    int transfer(uint8_t request_type, uint8_t request, uint16_t value, uint16_t index, uint8_t* data,
                 uint16_t length);
    static bool take(int& count);

    mutable std::mutex mutex_;
    Scene scene_;
    CommandSet commands_;
    RegisterPort port_;
    WireLog log_;
    Faults faults_;
    bool powered_ = true;
    int64_t time_us_ = 0;
    bool time_frozen_ = false;
    int64_t freeze_until_us_ = -1;  // the shutter holds the picture until then
    int64_t frozen_at_us_ = 0;
};

}  // namespace ombrix::sim

#endif
