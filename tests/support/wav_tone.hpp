#pragma once
// Tones in WAV files, for the calls' sound: a test writes a sine tone for a line to send, and
// reads back what a line recorded (16-bit PCM, any rate, channels mixed) to find how long it
// heard sound and which share of it was the tone that was sent.

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace lumora::testing {

inline void writeToneWav(const std::filesystem::path& file, double frequency, double seconds, int rate = 8000,
                         uint16_t channels = 1) {
    const auto frames = static_cast<uint32_t>(seconds * rate);
    const uint32_t samples = frames * channels;
    std::ofstream out(file, std::ios::binary);
    auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write("RIFF", 4);
    u32(36 + samples * 2);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(channels);
    u32(static_cast<uint32_t>(rate));
    u32(static_cast<uint32_t>(rate) * 2 * channels);
    u16(static_cast<uint16_t>(2 * channels));
    u16(16);
    out.write("data", 4);
    u32(samples * 2);
    for (uint32_t i = 0; i < frames; ++i)
        for (uint16_t c = 0; c < channels; ++c)
            u16(static_cast<uint16_t>(static_cast<int16_t>(8000 * std::sin(2 * std::numbers::pi * frequency * i / rate))));
}

struct HeardSound {
    int rate = 0;
    std::vector<double> samples;  // channels mixed

    // Seconds of 20 ms frames that hold more than faint noise.
    double soundSeconds() const {
        const size_t frame = static_cast<size_t>(rate / 50);
        size_t loud = 0;
        for (size_t start = 0; frame && start + frame <= samples.size(); start += frame) {
            double energy = 0;
            for (size_t i = start; i < start + frame; ++i) energy += samples[i] * samples[i];
            if (std::sqrt(energy / frame) > 300) ++loud;
        }
        return loud * 0.02;
    }

    // The share of the sound's energy at the frequency (Goertzel over 20 ms frames), 0 to 1.
    double toneShare(double frequency) const {
        const size_t frame = static_cast<size_t>(rate / 50);
        double atTone = 0, total = 0;
        const double coefficient = 2 * std::cos(2 * std::numbers::pi * frequency / rate);
        for (size_t start = 0; frame && start + frame <= samples.size(); start += frame) {
            double s1 = 0, s2 = 0, energy = 0;
            for (size_t i = start; i < start + frame; ++i) {
                const double s0 = samples[i] + coefficient * s1 - s2;
                s2 = s1;
                s1 = s0;
                energy += samples[i] * samples[i];
            }
            // |X(f)|^2 of a frame is about (frame / 2) times the energy of a pure tone in it.
            atTone += (s1 * s1 + s2 * s2 - coefficient * s1 * s2) * 2.0 / frame;
            total += energy;
        }
        return total > 0 ? atTone / total : 0;
    }
};

// The sound of a 16-bit PCM WAV file; no samples when it is not one.
inline HeardSound readWav(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    HeardSound sound;
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) return sound;
    auto u32 = [&](size_t at) { return *reinterpret_cast<const uint32_t*>(bytes.data() + at); };
    auto u16 = [&](size_t at) { return *reinterpret_cast<const uint16_t*>(bytes.data() + at); };
    int channels = 1, bits = 16;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        const std::string id = bytes.substr(at, 4);
        size_t size = u32(at + 4);
        if (id == "fmt " && at + 24 <= bytes.size()) {
            channels = u16(at + 10);
            sound.rate = static_cast<int>(u32(at + 12));
            bits = u16(at + 22);
        } else if (id == "data") {
            size = std::min(size, bytes.size() - at - 8);
            if (bits != 16 || channels < 1) return {};
            const auto* pcm = reinterpret_cast<const int16_t*>(bytes.data() + at + 8);
            const size_t frames = size / 2 / static_cast<size_t>(channels);
            for (size_t i = 0; i < frames; ++i) {
                double mixed = 0;
                for (int c = 0; c < channels; ++c) mixed += pcm[i * channels + c];
                sound.samples.push_back(mixed / channels);
            }
        }
        at += 8 + size + (size & 1);
    }
    return sound;
}

}  // namespace lumora::testing
