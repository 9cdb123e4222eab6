// The switch click: the snap of the toggle's contact, a short bright burst that dies away in a
// few milliseconds, and the fainter knock of the lever against its stop about 20 ms later.
// Drawn from a fixed noise seed, so every build writes the same bytes.
#include "art/click.h"

#include <math.h>
#include <stdio.h>

namespace art {
namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}
void put_id(std::vector<uint8_t>& out, const char* id) { out.insert(out.end(), id, id + 4); }

// One decaying burst: a ringing tone with noise on it, starting at `start` seconds.
double burst(double t, double start, double level, double tone_hz, double decay_s, double noise) {
    if (t < start) return 0.0;
    const double u = t - start;
    const double attack = u < 0.0002 ? u / 0.0002 : 1.0;
    return level * attack * exp(-u / decay_s) * (0.6 * sin(2.0 * M_PI * tone_hz * u) + 0.4 * noise);
}

}  // namespace

std::vector<uint8_t> click_wave() {
    std::vector<uint8_t> out;
    out.reserve(kClickFileBytes);
    put_id(out, "RIFF");
    put32(out, kClickFileBytes - 8);
    put_id(out, "WAVE");
    put_id(out, "fmt ");
    put32(out, 16);
    put16(out, 1);               // PCM
    put16(out, 1);               // mono
    put32(out, kClickRate);
    put32(out, kClickRate * 2);  // bytes per second
    put16(out, 2);               // bytes per frame
    put16(out, 16);              // bits per sample
    put_id(out, "data");
    put32(out, kClickDataBytes);

    uint32_t seed = 0x2545F491u;
    for (uint32_t i = 0; i < kClickFrames; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const double noise = static_cast<double>(seed >> 8) / static_cast<double>(1u << 23) - 1.0;
        const double t = static_cast<double>(i) / kClickRate;
        double v = burst(t, 0.0005, 0.85, 3100.0, 0.0025, noise) + burst(t, 0.021, 0.35, 1700.0, 0.006, noise);
        // Fade the last few milliseconds to nothing so the end does not pop.
        const double left = static_cast<double>(kClickFrames - 1 - i) / kClickRate;
        if (left < 0.004) v *= left / 0.004;
        const long s = lround(v * 32767.0);
        put16(out, static_cast<uint16_t>(static_cast<int16_t>(s > 32767 ? 32767 : s < -32768 ? -32768 : s)));
    }
    return out;
}

bool write_click_wave(const std::string& path) {
    const std::vector<uint8_t> bytes = click_wave();
    FILE* f = fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool written = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && written;
}

}  // namespace art
