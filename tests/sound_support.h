// Shared helpers for tests of the click sound: a fresh set of platform stand-ins per test,
// with both host main windows present, and readers for what the platform was asked.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/control.h"
#include "platform/resources.h"
#include "tests/support.h"

namespace testing_support {

// How many objects of each kind the stand-ins still hold.
struct Held {
    size_t devices = 0, buffers = 0, memory_files = 0, memory_blocks = 0, loaded_resources = 0;
    bool operator==(const Held&) const = default;
};

inline void PrintTo(const Held& h, std::ostream* os) {
    *os << "{devices " << h.devices << ", buffers " << h.buffers << ", memory files " << h.memory_files
        << ", memory blocks " << h.memory_blocks << ", loaded resources " << h.loaded_resources << "}";
}

inline Held held() {
    using platform::Kind;
    return {platform::live_count(Kind::device), platform::live_count(Kind::buffer),
            platform::live_count(Kind::memory_file), platform::live_count(Kind::memory_block),
            platform::live_count(Kind::loaded_resource)};
}

inline std::string describe_live() {
    std::string out;
    for (const platform::LiveObject& o : platform::live_objects()) out += o.what + "; ";
    return out;
}

// The bytes of a "WAVE" resource of a loaded module.
inline std::vector<uint8_t> wave_resource(panel::Module& module, uint16_t id) {
    platform::ResourceBytes bytes;
    if (!platform::find_module_resource(module.handle(), {0, "WAVE"}, {id, nullptr}, &bytes)) return {};
    return {bytes.data, bytes.data + bytes.size};
}

inline uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
inline uint16_t le16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

// Checks the shipped click sample: RIFF "WAVE", a 16-byte "fmt " chunk of 16-bit mono PCM at
// 22050 Hz, then 3828 bytes of "data"; 3872 bytes in all. Returns the sample bytes.
inline std::vector<uint8_t> expect_click_sample(const std::vector<uint8_t>& file) {
    EXPECT_EQ(file.size(), 3872u);
    if (file.size() != 3872u) return {};
    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "RIFF");
    EXPECT_EQ(le32(file, 4), 3864u);
    EXPECT_EQ(std::string(file.begin() + 8, file.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(le32(file, 16), 16u);
    EXPECT_EQ(le16(file, 20), 1);        // PCM
    EXPECT_EQ(le16(file, 22), 1);        // mono
    EXPECT_EQ(le32(file, 24), 22050u);
    EXPECT_EQ(le32(file, 28), 44100u);
    EXPECT_EQ(le16(file, 32), 2);
    EXPECT_EQ(le16(file, 34), 16);
    EXPECT_EQ(std::string(file.begin() + 36, file.begin() + 40), "data");
    EXPECT_EQ(le32(file, 40), 3828u);
    return {file.begin() + 44, file.end()};
}

// A fresh platform for every test: both host main windows exist, the executable's name
// picks "FS98MAIN", nothing fails until a test says so.
class SoundTest : public PanelTest {
protected:
    void SetUp() override {
        platform::reset();
        fs98_window = platform::add_window("FS98MAIN");
        combat_window = platform::add_window("MSCFSMAIN");
    }
    // Plays of every buffer made so far, in creation order.
    static std::vector<size_t> plays_per_buffer() {
        std::vector<size_t> out;
        for (const platform::BufferRecord& b : platform::buffers()) out.push_back(b.plays.size());
        return out;
    }
    static size_t total_plays() {
        size_t n = 0;
        for (size_t p : plays_per_buffer()) n += p;
        return n;
    }
    // Values of the key events fired with `id`, in order.
    std::vector<uint32_t> event_values(uint32_t id) const {
        std::vector<uint32_t> out;
        for (const panel::Event& e : host.events())
            if (e.id == id) out.push_back(e.value);
        return out;
    }

    HWND fs98_window = nullptr;
    HWND combat_window = nullptr;
};

}  // namespace testing_support
