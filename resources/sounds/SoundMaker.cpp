// Synthesises the program's sounds as 16-bit mono PCM WAV files: "chimes.wav" (the end of the
// contact list), "ding.wav" and "Tada.wav". Run at build time: SoundMaker OUTPUT_FOLDER.
// Plain tones with envelopes, computed here, so the files are the same on every build.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

using Samples = std::vector<double>;

Samples silence(double seconds) {
    return Samples(static_cast<size_t>(seconds * kRate), 0.0);
}

// A struck tone: partials (ratio to the fundamental, level) that die away, the higher ones faster.
void strike(Samples& out, double at, double frequency, double decay,
            const std::vector<std::pair<double, double>>& partials) {
    const size_t start = static_cast<size_t>(at * kRate);
    for (size_t i = start; i < out.size(); ++i) {
        const double t = double(i - start) / kRate;
        const double attack = std::min(1.0, t / 0.004);
        double value = 0.0;
        for (const auto& [ratio, level] : partials)
            value += level * std::exp(-t * ratio / decay) * std::sin(2 * kPi * frequency * ratio * t);
        out[i] += attack * value;
    }
}

// A held, brass-like tone: the first harmonics at 1/n, a soft attack and release.
void hold(Samples& out, double at, double length, double frequency, double level) {
    const size_t start = static_cast<size_t>(at * kRate);
    const size_t end = std::min(out.size(), start + static_cast<size_t>(length * kRate));
    for (size_t i = start; i < end; ++i) {
        const double t = double(i - start) / kRate;
        const double left = double(end - i) / kRate;
        const double envelope = std::min({1.0, t / 0.02, left / std::min(0.3, length / 3)});
        double value = 0.0;
        for (int n = 1; n <= 5; ++n)
            value += std::sin(2 * kPi * frequency * n * t) / n;
        out[i] += level * envelope * value;
    }
}

// Scales to a peak of 70 % and fades the last 40 ms out, so no file ends on a click.
void finish(Samples& samples) {
    double peak = 0.0;
    for (double s : samples)
        peak = std::max(peak, std::abs(s));
    const double scale = peak > 0 ? 0.7 / peak : 0.0;
    const size_t fade = std::min(samples.size(), static_cast<size_t>(0.04 * kRate));
    for (size_t i = 0; i < samples.size(); ++i) {
        const size_t left = samples.size() - i;
        samples[i] *= scale * (left < fade ? double(left) / double(fade) : 1.0);
    }
}

void put16(std::ofstream& file, uint16_t value) {
    const char bytes[2] = {char(value & 0xff), char(value >> 8)};
    file.write(bytes, 2);
}

void put32(std::ofstream& file, uint32_t value) {
    put16(file, uint16_t(value & 0xffff));
    put16(file, uint16_t(value >> 16));
}

bool writeWav(const std::string& path, Samples samples) {
    finish(samples);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file)
        return false;
    const auto dataBytes = uint32_t(samples.size() * 2);
    file.write("RIFF", 4);
    put32(file, 36 + dataBytes);
    file.write("WAVEfmt ", 8);
    put32(file, 16);        // size of the format chunk
    put16(file, 1);         // PCM
    put16(file, 1);         // mono
    put32(file, kRate);     // samples per second
    put32(file, kRate * 2); // bytes per second
    put16(file, 2);         // bytes per sample frame
    put16(file, 16);        // bits per sample
    file.write("data", 4);
    put32(file, dataBytes);
    for (double s : samples)
        put16(file, uint16_t(int16_t(std::lround(std::clamp(s, -1.0, 1.0) * 32767))));
    return bool(file);
}

const std::vector<std::pair<double, double>> kBell = {{1.0, 1.0}, {2.0, 0.35}, {2.76, 0.2}, {5.4, 0.08}};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: SoundMaker OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];

    // Three falling bell notes: the end of the list.
    Samples chimes = silence(1.1);
    strike(chimes, 0.00, 783.99, 0.35, kBell); // G5
    strike(chimes, 0.16, 659.25, 0.35, kBell); // E5
    strike(chimes, 0.32, 523.25, 0.40, kBell); // C5

    // One bright strike.
    Samples ding = silence(0.7);
    strike(ding, 0.0, 880.0, 0.25, kBell); // A5

    // Two short pick-up notes, then a held major chord.
    Samples tada = silence(1.2);
    hold(tada, 0.00, 0.09, 392.00, 0.5); // G4
    hold(tada, 0.11, 0.09, 392.00, 0.5);
    for (double note : {523.25, 659.25, 783.99, 1046.50}) // C5 E5 G5 C6
        hold(tada, 0.22, 0.98, note, 0.3);

    bool ok = writeWav(folder + "/chimes.wav", chimes);
    ok = writeWav(folder + "/ding.wav", ding) && ok;
    ok = writeWav(folder + "/Tada.wav", tada) && ok;
    if (!ok) {
        std::fprintf(stderr, "SoundMaker: could not write the sounds to %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
