// kalaudioplots DATA_DIR OUT_DIR: draws every generated sample and the start of every music piece as
// a waveform over a spectrogram, one PNG per kind of sound, and prints level and loop-seam figures.
// Engine loops are drawn twice in a row so that a seam at the loop point would show as a line.
#include "uByteReader.h"
#include "uErrors.h"
#include "uHarness.h"
#include "uWav.h"

#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int WIDTH = 640;
constexpr int LABEL = 9;
constexpr int WAVE = 56;
constexpr int SPECTRUM_ROWS = 128;
constexpr int STRIP = LABEL + WAVE + SPECTRUM_ROWS + 4;

// 3 x 5 pixel glyphs for the labels: lower-case letters, digits, '_', '.', ' ', '/', ':'.
const char* Glyph(char c) {
    static const char* letters[26] = {
        "010101111101101", "110101110101110", "011100100100011", "110101101101110", "111100110100111",
        "111100110100100", "011100101101011", "101101111101101", "111010010010111", "001001001101010",
        "101101110101101", "100100100100111", "101111111101101", "110101101101101", "010101101101010",
        "110101110100100", "010101101111011", "110101110101101", "011100010001110", "111010010010010",
        "101101101101111", "101101101101010", "101101111111101", "101101010101101", "101101010010010",
        "111001010100111"};
    static const char* digits[10] = {
        "111101101101111", "010110010010111", "111001111100111", "111001111001111", "101101111001001",
        "111100111001111", "111100111101111", "111001001001001", "111101111101111", "111101111001111"};
    if (c >= 'a' && c <= 'z')
        return letters[c - 'a'];
    if (c >= 'A' && c <= 'Z')
        return letters[c - 'A'];
    if (c >= '0' && c <= '9')
        return digits[c - '0'];
    switch (c) {
    case '_':
        return "000000000000111";
    case '.':
        return "000000000000010";
    case '/':
        return "001001010100100";
    case ':':
        return "000010000010000";
    case '-':
        return "000000111000000";
    default:
        return "000000000000000";
    }
}

struct TPicture {
    int Width, Height;
    std::vector<uint8_t> Rgb; // top row first

    TPicture(int w, int h) : Width(w), Height(h), Rgb(size_t(w) * size_t(h) * 3, 0) {}
    void Set(int x, int y, uint8_t r, uint8_t g, uint8_t b) {
        if (x < 0 || y < 0 || x >= Width || y >= Height)
            return;
        uint8_t* p = &Rgb[(size_t(y) * size_t(Width) + size_t(x)) * 3];
        p[0] = r;
        p[1] = g;
        p[2] = b;
    }
    void Text(int x, int y, const std::string& s) {
        for (char c : s) {
            const char* g = Glyph(c);
            for (int k = 0; k < 15; ++k)
                if (g[k] == '1')
                    Set(x + k % 3, y + k / 3, 230, 230, 230);
            x += 4;
        }
    }
    bool Save(const std::string& fileName) const {
        std::vector<uint8_t> bottomUp(Rgb.size());
        size_t row = size_t(Width) * 3;
        for (int y = 0; y < Height; ++y)
            std::copy_n(&Rgb[size_t(y) * row], row, &bottomUp[size_t(Height - 1 - y) * row]);
        return WritePNG(fileName, Width, Height, bottomUp);
    }
};

void Fft(std::vector<std::complex<double>>& a) {
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        std::complex<double> w(std::cos(-2 * M_PI / double(len)), std::sin(-2 * M_PI / double(len)));
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> v(1);
            for (size_t k = 0; k < len / 2; ++k) {
                auto x = a[i + k], y = a[i + k + len / 2] * v;
                a[i + k] = x + y;
                a[i + k + len / 2] = x - y;
                v *= w;
            }
        }
    }
}

// Dark blue → red → yellow → white for −90..0 dB.
void HeatColour(double db, uint8_t& r, uint8_t& g, uint8_t& b) {
    double t = std::clamp((db + 90.0) / 90.0, 0.0, 1.0);
    r = uint8_t(255 * std::clamp(t * 2.0 - 0.3, 0.0, 1.0));
    g = uint8_t(255 * std::clamp(t * 2.0 - 1.0, 0.0, 1.0));
    b = uint8_t(255 * std::clamp(t < 0.5 ? 0.15 + t : 1.3 - t * 1.6 + std::max(0.0, t - 0.85) * 6, 0.0, 1.0));
}

void DrawStrip(TPicture& pic, int top, const std::string& label, const std::vector<float>& x, int rate) {
    char info[96];
    std::snprintf(info, sizeof info, "  %.2f s  0-%d hz", double(x.size()) / rate, rate / 2);
    pic.Text(2, top + 2, label + info);
    // Waveform: the min..max of each column.
    const int waveTop = top + LABEL;
    for (int col = 0; col < WIDTH; ++col) {
        size_t a = x.size() * size_t(col) / WIDTH, b = std::max(a + 1, x.size() * size_t(col + 1) / WIDTH);
        float lo = 0, hi = 0;
        for (size_t i = a; i < b && i < x.size(); ++i) {
            lo = std::min(lo, x[i]);
            hi = std::max(hi, x[i]);
        }
        int y0 = waveTop + int((1 - hi) * 0.5f * (WAVE - 1)),
            y1 = waveTop + int((1 - lo) * 0.5f * (WAVE - 1));
        for (int y = waveTop; y < waveTop + WAVE; ++y)
            pic.Set(col, y, 20, 24, 30);
        for (int y = y0; y <= y1; ++y)
            pic.Set(col, y, 120, 220, 140);
    }
    // Spectrogram: 512-point windows centred on each column, low frequencies at the bottom.
    const int n = 512;
    const int specTop = waveTop + WAVE + 2;
    std::vector<std::complex<double>> buf(n);
    for (int col = 0; col < WIDTH; ++col) {
        long centre = long(double(x.size()) * (col + 0.5) / WIDTH);
        for (int k = 0; k < n; ++k) {
            long i = centre - n / 2 + k;
            double w = 0.5 - 0.5 * std::cos(2 * M_PI * k / (n - 1));
            buf[size_t(k)] = (i >= 0 && i < long(x.size())) ? x[size_t(i)] * w : 0.0;
        }
        Fft(buf);
        for (int row = 0; row < SPECTRUM_ROWS; ++row) {
            int bin0 = row * (n / 2) / SPECTRUM_ROWS, bin1 = (row + 1) * (n / 2) / SPECTRUM_ROWS;
            double power = 0;
            for (int bin = bin0; bin < bin1; ++bin)
                power = std::max(power, std::norm(buf[size_t(bin)]));
            double db = 10 * std::log10(power / (n * n / 16.0) + 1e-12);
            uint8_t r, g, b;
            HeatColour(db, r, g, b);
            pic.Set(col, specTop + SPECTRUM_ROWS - 1 - row, r, g, b);
        }
    }
}

struct TEntry {
    std::string Label;
    std::vector<float> Samples;
    int Rate;
};

bool LoadWav(const std::string& dataDir, const std::string& path, TEntry& entry, bool twice) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(dataDir + "/" + path, bytes)) {
        std::fprintf(stderr, "kalaudioplots: cannot read %s\n", path.c_str());
        return false;
    }
    TWave wave;
    try {
        wave = ParseWAV(bytes, path);
    } catch (const EFormatError& e) {
        std::fprintf(stderr, "kalaudioplots: cannot read %s %s\n", path.c_str(), e.what());
        return false;
    }
    entry.Label = path;
    entry.Rate = wave.Rate;
    for (int pass = 0; pass < (twice ? 2 : 1); ++pass)
        for (size_t i = 0; i < wave.Frames(); ++i)
            entry.Samples.push_back(wave.Samples[i * size_t(wave.Channels)] / 32768.0f);

    // Figures: peak and RMS in dBFS; for loops, the jump across the seam against the typical jump.
    double peak = 0, sum = 0;
    for (int16_t v : wave.Samples) {
        peak = std::max(peak, std::fabs(double(v)) / 32768.0);
        sum += double(v) * v / (32768.0 * 32768.0);
    }
    double rms = std::sqrt(sum / double(std::max<size_t>(1, wave.Samples.size())));
    std::printf("%-28s %6.2f s  peak %6.1f dBFS  rms %6.1f dBFS", path.c_str(),
                double(wave.Frames()) / wave.Rate, 20 * std::log10(peak + 1e-9), 20 * std::log10(rms + 1e-9));
    if (twice && wave.Samples.size() > 2) {
        std::vector<double> steps;
        for (size_t i = 1; i < wave.Samples.size(); ++i)
            steps.push_back(std::fabs(double(wave.Samples[i]) - wave.Samples[i - 1]));
        std::sort(steps.begin(), steps.end());
        double seam = std::fabs(double(wave.Samples.front()) - wave.Samples.back());
        std::printf("  seam step %5.0f (median %5.0f, 99%% %5.0f)", seam, steps[steps.size() / 2],
                    steps[steps.size() * 99 / 100]);
    }
    std::printf("\n");
    return true;
}

void OpenMptLog(const char* message, void*) {
    std::printf("  libopenmpt: %s\n", message);
}

bool RenderMusic(const std::string& dataDir, std::vector<TEntry>& out, std::vector<TEntry>& closeUp) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(dataDir + "/music/music.xm", bytes))
        return false;
    int error = 0;
    openmpt_module* mod = openmpt_module_create_from_memory2(bytes.data(), bytes.size(), OpenMptLog, nullptr,
                                                             nullptr, nullptr, &error, nullptr, nullptr);
    if (!mod)
        return false;
    std::printf("music.xm: %d orders, %d patterns, %d instruments, %.0f s in all\n",
                openmpt_module_get_num_orders(mod), openmpt_module_get_num_patterns(mod),
                openmpt_module_get_num_instruments(mod), openmpt_module_get_duration_seconds(mod));
    openmpt_module_set_repeat_count(mod, -1); // the pieces loop on themselves
    const int rate = 22050;
    const struct {
        int Order;
        const char* Name;
    } pieces[] = {{0, "order 0 start"},    {1, "order 1 menu"},     {16, "order 16 race 1"},
                  {38, "order 38 race 2"}, {54, "order 54 race 3"}, {178, "order 178 failed"}};
    for (auto piece : pieces) {
        openmpt_module_set_position_order_row(mod, piece.Order, 0);
        TEntry e{std::string(piece.Name), {}, rate};
        std::vector<float> left(1024), right(1024);
        while (e.Samples.size() < size_t(rate) * 20) {
            size_t got = openmpt_module_read_float_stereo(mod, rate, 1024, left.data(), right.data());
            if (got == 0)
                break;
            for (size_t i = 0; i < got; ++i)
                e.Samples.push_back(0.5f * (left[i] + right[i]));
        }
        {
            double sum = 0, peak = 0;
            for (float v : e.Samples) {
                sum += double(v) * v;
                peak = std::max(peak, double(std::fabs(v)));
            }
            std::printf("%-28s 20 s rendered  peak %6.1f dBFS  rms %6.1f dBFS\n", piece.Name,
                        20 * std::log10(peak + 1e-9),
                        10 * std::log10(sum / double(e.Samples.size()) + 1e-12));
        }
        out.push_back(std::move(e));
    }
    // Close-ups: five seconds of a verse of the menu and of each race theme, band-limited to
    // 0..2.7 kHz so the melody, bass and chord lines can be read as notes.
    const struct {
        int Order;
        const char* Name;
    } closeUps[] = {{3, "order 3 menu verse"},
                    {18, "order 18 race 1 verse"},
                    {39, "order 39 race 2 verse"},
                    {56, "order 56 race 3 verse"},
                    {178, "order 178 failed"}};
    for (auto piece : closeUps) {
        const int lowRate = 5512;
        openmpt_module_set_position_order_row(mod, piece.Order, 0);
        TEntry e{std::string(piece.Name) + " close-up", std::vector<float>(size_t(lowRate) * 5), lowRate};
        std::vector<float> right(e.Samples.size());
        size_t got =
            openmpt_module_read_float_stereo(mod, lowRate, e.Samples.size(), e.Samples.data(), right.data());
        e.Samples.resize(got);
        for (size_t i = 0; i < got; ++i)
            e.Samples[i] = 0.5f * (e.Samples[i] + right[i]);
        closeUp.push_back(std::move(e));
    }
    openmpt_module_destroy(mod);
    return true;
}

bool Sheet(const std::string& fileName, const std::vector<TEntry>& entries) {
    TPicture pic(WIDTH, STRIP * int(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i)
        DrawStrip(pic, int(i) * STRIP, entries[i].Label, entries[i].Samples, entries[i].Rate);
    if (!pic.Save(fileName)) {
        std::fprintf(stderr, "kalaudioplots: cannot write %s\n", fileName.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: kalaudioplots DATA_DIR OUT_DIR\n");
        return 2;
    }
    const std::string data = argv[1], out = argv[2];
    const std::vector<std::string> cars = {"liaz",  "avia", "transit", "mustang",
                                           "chevy", "bmw",  "vwgolf",  "skoda120"};
    struct TGroup {
        std::string Name;
        std::vector<std::string> Files;
        bool Loops;
    };
    std::vector<TGroup> groups = {
        {"menu",
         {"sound/menu_hover.wav", "sound/menu_enter.wav", "sound/menu_leave.wav", "sound/city_map.wav"},
         false},
        {"signals",
         {"sound/timer_tick.wav", "sound/timer_go.wav", "sound/checkpoint.wav", "sound/cargo_load.wav",
          "sound/cargo_unload.wav"},
         false},
        {"impacts",
         {"sound/sfx_crash1.wav", "sound/sfx_crash2.wav", "sound/splash1.wav", "sound/splash2.wav"},
         false},
        {"voices", {"sound/scream1.wav", "sound/scream2.wav"}, false},
        {"skid", {"sound/skid.wav"}, true},
        {"engines", {}, true},
        {"horns", {}, false},
    };
    for (const std::string& car : cars) {
        groups[5].Files.push_back("cars/" + car + "/engine.wav");
        groups[6].Files.push_back("cars/" + car + "/horn.wav");
    }
    bool ok = true;
    for (const TGroup& g : groups) {
        std::vector<TEntry> entries;
        for (const std::string& f : g.Files) {
            TEntry e;
            if (!LoadWav(data, f, e, g.Loops)) {
                ok = false;
                continue;
            }
            if (g.Loops)
                e.Label += " twice";
            entries.push_back(std::move(e));
        }
        ok = Sheet(out + "/" + g.Name + ".png", entries) && ok;
    }
    std::vector<TEntry> music, closeUps;
    if (!RenderMusic(data, music, closeUps)) {
        std::fprintf(stderr, "kalaudioplots: cannot load music/music.xm\n");
        return 1;
    }
    ok = Sheet(out + "/music.png", music) && ok;
    ok = Sheet(out + "/music_closeup.png", closeUps) && ok;
    return ok ? 0 : 1;
}
