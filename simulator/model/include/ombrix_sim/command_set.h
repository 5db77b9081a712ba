// The module's commands: what each decoded command does to the module's state
// and what it answers. The register port (register_port.h) decodes the wire
// frames and hands whole commands here.
//
// Replies are written into a zeroed buffer of the length the host asked for;
// a reply shorter than the command's natural answer is cut, a longer one is
// zero-padded. Temperatures in replies are 1/64 K words, like the frame's.
// Points are (x << 16 | y); readout layouts:
//   max/min info (12 bytes): max, min, max x, max y, min x, min y
//   point info (12 bytes):   temperature, x, y, 0, 0, 0
//   line/rect info (14 bytes): max, min, mean, max x, max y, min x, min y
// all big-endian u16.
#ifndef OMBRIX_SIM_COMMAND_SET_H
#define OMBRIX_SIM_COMMAND_SET_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "ombrix_sim/flash.h"
#include "ombrix_sim/sensor.h"

namespace ombrix::sim {

// Decoded 8-byte standard header.
struct StandardCommand {
    uint8_t cls = 0, code = 0;
    uint32_t arg = 0;     // bytes 2..5: an address or parameter bytes
    uint16_t length = 0;  // bytes 6..7: this chunk's data length (a parameter for some actions)
};

// Decoded 16-byte long header.
struct LongCommand {
    uint8_t cls = 0, code = 0;
    uint16_t p1 = 0;
    uint32_t p2 = 0, p3 = 0;
    uint32_t length = 0;  // reply length
};

// The parts of the module a command reaches beyond its own state.
class ModuleSurface {
public:
    // The temperature words the sensor shows now (kSensorPixels).
    virtual void measured_words(uint16_t* words) = 0;
    // A flat-field refresh: the stream freezes briefly.
    virtual void start_shutter() = 0;

protected:
    ~ModuleSurface() = default;
};

// Texts the module reports about itself.
struct Identity {
    std::string firmware = "V1.3.26";   // device info type 5
    std::string module_id = "OMX256A";  // device info type 6 (also the part number)
    std::string serial = "OMX2312000417";  // device info type 7
};

enum class PropertyTable { AutoShutter = 0, Image = 1, Overexposure = 2, Tpd = 3 };

class CommandSet {
public:
    static constexpr int kTableSize = 16;
    static constexpr int kInfoFieldBytes = 64;
    static constexpr uint32_t kFirmwareRegionBytes = 1u << 20;  // flash 0 .. 1 MiB
    static constexpr uint32_t kConfigSlotBase = 1u << 20;       // one sector per slot after it
    static constexpr int kPointMarks = 12;
    static constexpr int kRectMarks = 16;

    explicit CommandSet(ModuleSurface& surface);

    // A power cycle: everything but the flash and the identity back to defaults.
    void power_on();
    // The property tables and pseudo-colour bytes back to their defaults.
    void restore_defaults();

    // Classes 0x11 to 0x14 travel in long frames, 0x80 and 0x81 in short
    // frames, the rest in standard frames.
    static bool is_long_class(uint8_t cls) { return cls >= 0x11 && cls <= 0x14; }
    static bool is_short_class(uint8_t cls) { return cls == 0x80 || cls == 0x81; }
    // Code 0x80..0xBF asks for a reply.
    static bool is_read_code(uint8_t code) { return (code & 0xC0) == 0x80; }

    // Each returns true when the module did the command; false sets the
    // failure status. `reply` holds the asked length, zeroed.
    bool standard_read(const StandardCommand& cmd, uint8_t* reply);
    // `data` is null for a header-only command.
    bool standard_write(const StandardCommand& cmd, const uint8_t* data, size_t length);
    bool long_command(const LongCommand& cmd, uint8_t* reply);
    bool xdata_read(uint16_t address, uint8_t* out, size_t length) const;
    bool xdata_write(uint16_t address, const uint8_t* data, size_t length);

    MeasureSettings measure_settings() const;
    // -1 for an index outside the table.
    int property(PropertyTable table, int index) const;
    uint8_t pseudo_color(uint8_t which) const { return state_.pseudo_color[which]; }
    Flash& flash() { return flash_; }
    const Flash& flash() const { return flash_; }
    Identity& identity() { return identity_; }
    const Identity& identity() const { return identity_; }

private:
    using Table = std::array<uint16_t, kTableSize>;
    struct Mark {
        bool shown = false;
        uint16_t flag = 0;
        uint32_t a = 0, b = 0;
    };
    // Everything the module forgets when it loses power.
    struct State {
        std::array<Table, 4> tables{};
        std::array<uint8_t, 256> pseudo_color{};
        std::array<uint8_t, 256> spi_status{};
        std::array<uint8_t, 8> preview{};
        bool previewing = true;
        bool y16_preview = false;
        uint8_t capture = 0;        // 0 idle, 1 capturing, 2 data taken
        uint8_t auto_shutter = 1;
        uint8_t shutter = 0;        // manual shutter position
        uint8_t cover_calc_zoom = 0;
        bool cover_correction = false;
        uint32_t lens_calibrations = 0;
        std::array<int16_t, 3> recal{};  // one-point, two-point 0 and 1
        uint8_t tecless_area = 0;
        uint8_t boot_mode = 0;           // 0 running, 1 to ROM, 2 to firmware update
        std::array<Mark, kPointMarks> point_marks{};
        std::array<Mark, kRectMarks> rect_marks{};
        Mark frame_mark{};
        std::array<uint16_t, 3> rect_threshold{};
        uint16_t zoom = 0;
        uint32_t zoom_point = 0;
        std::set<uint32_t> dead_pixels;
        std::array<uint8_t, 65536> xdata{};
    };

    static Table default_table(PropertyTable table);
    bool set_property(PropertyTable table, uint16_t index, uint32_t value);
    bool device_info(uint32_t arg, uint8_t* reply, size_t length) const;
    bool temperature_readout(const LongCommand& cmd, uint8_t* reply);
    bool save_config(uint8_t slot);
    bool load_config(uint8_t slot);
    bool standard_action(const StandardCommand& cmd);

    ModuleSurface& surface_;
    State state_;
    Flash flash_;
    Identity identity_;
};

}  // namespace ombrix::sim

#endif
