// The switch click sample: a RIFF/WAVE file of 16-bit mono PCM at 22050 Hz, a 16-byte "fmt "
// chunk then a "data" chunk of 1914 sample frames (3828 bytes); 3872 bytes in all.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace art {

constexpr uint32_t kClickRate = 22050;
constexpr uint32_t kClickFrames = 1914;
constexpr uint32_t kClickDataBytes = kClickFrames * 2;
constexpr uint32_t kClickFileBytes = 12 + 8 + 16 + 8 + kClickDataBytes;

// The whole file, byte for byte.
std::vector<uint8_t> click_wave();
// Writes it to `path`; false if the file cannot be written.
bool write_click_wave(const std::string& path);

}  // namespace art
