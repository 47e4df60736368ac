#include "uWav.h"
#include "TestSupport.h"
#include "SoundTestData.h"
#include "uErrors.h"

#include <gtest/gtest.h>

using namespace sounddata;

namespace {

TWave Parse(const std::vector<uint8_t>& bytes) {
    TWave wave;
    EXPECT_NO_THROW(wave = ParseWAV(bytes, "test.wav"));
    return wave;
}

std::string Error(const std::vector<uint8_t>& bytes) {
    return ReadError([&] { ParseWAV(bytes, "bad.wav"); });
}

// Appends a chunk (with its pad byte) to a RIFF file and fixes the RIFF size.
void AddChunk(std::vector<uint8_t>& file, const std::string& tag, const std::vector<uint8_t>& body) {
    PutText(file, tag, 4);
    Put32(file, uint32_t(body.size()));
    file.insert(file.end(), body.begin(), body.end());
    if (body.size() & 1)
        file.push_back(0);
    uint32_t riff = uint32_t(file.size() - 8);
    for (int i = 0; i < 4; ++i)
        file[size_t(4 + i)] = uint8_t(riff >> (8 * i));
}

std::vector<uint8_t> Format(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, uint16_t align) {
    std::vector<uint8_t> f;
    Put16(f, tag);
    Put16(f, channels);
    Put32(f, rate);
    Put32(f, rate * align);
    Put16(f, align);
    Put16(f, bits);
    return f;
}

std::vector<uint8_t> Header() {
    std::vector<uint8_t> file;
    PutText(file, "RIFF", 4);
    Put32(file, 4);
    PutText(file, "WAVE", 4);
    return file;
}

} // namespace

TEST(ParseWAV, SixteenBitStereoKeepsFramesInterleaved) {
    TWave wave = Parse(EncodeWAV(44100, 2, 16, Samples16({1, -1, 32767, -32768, 300, -300})));
    EXPECT_EQ(wave.Rate, 44100);
    EXPECT_EQ(wave.Channels, 2);
    EXPECT_EQ(wave.Frames(), 3u);
    EXPECT_EQ(wave.Samples, (std::vector<int16_t>{1, -1, 32767, -32768, 300, -300}));
}

TEST(ParseWAV, EightBitIsUnsignedAroundTheMiddle) {
    TWave wave = Parse(EncodeWAV(11025, 1, 8, {0, 128, 255}));
    EXPECT_EQ(wave.Rate, 11025);
    EXPECT_EQ(wave.Channels, 1);
    EXPECT_EQ(wave.Samples, (std::vector<int16_t>{-32768, 0, 32512}));
}

TEST(ParseWAV, ChunksInAnyOrderWithPaddingAndUnknownOnes) {
    std::vector<uint8_t> file = Header();
    AddChunk(file, "LIST", {1, 2, 3}); // odd size: one pad byte follows
    AddChunk(file, "data", {10, 20, 30});
    AddChunk(file, "fmt ", Format(1, 1, 8000, 8, 1));
    TWave wave = Parse(file);
    EXPECT_EQ(wave.Rate, 8000);
    EXPECT_EQ(wave.Samples.size(), 3u);
    EXPECT_EQ(wave.Samples[2], int16_t((30 - 128) * 256));
}

TEST(ParseWAV, ExtensiblePcmAndPartialLastFrame) {
    std::vector<uint8_t> format = Format(0xFFFE, 2, 22050, 16, 4);
    Put16(format, 22); // extension size
    Put16(format, 16); // valid bits
    Put32(format, 3);  // channel mask
    Put16(format, 1);  // sub-format: PCM, then the rest of the GUID
    format.insert(format.end(), 14, 0);
    std::vector<uint8_t> file = Header();
    AddChunk(file, "fmt ", format);
    AddChunk(file, "data", {1, 0, 2, 0, 3, 0, 4, 0, 5, 0}); // two frames and half of a third
    TWave wave = Parse(file);
    EXPECT_EQ(wave.Channels, 2);
    EXPECT_EQ(wave.Samples, (std::vector<int16_t>{1, 2, 3, 4}));
}

TEST(ParseWAV, DamagedFilesNameTheFileAndTheFault) {
    struct TCase {
        const char* Name;
        std::vector<uint8_t> Bytes;
        const char* Expected;
    };
    std::vector<uint8_t> good = EncodeWAV(8000, 1, 16, Samples16({1, 2, 3, 4}));
    std::vector<TCase> cases;
    cases.push_back({"empty", {}, "not a RIFF/WAVE file"});
    cases.push_back({"not riff", std::vector<uint8_t>(64, 'x'), "not a RIFF/WAVE file"});
    cases.push_back(
        {"truncated data", std::vector<uint8_t>(good.begin(), good.end() - 3), "runs past the end"});
    cases.push_back({"header only", std::vector<uint8_t>(good.begin(), good.begin() + 12), "no fmt chunk"});
    {
        std::vector<uint8_t> f = Header();
        AddChunk(f, "fmt ", Format(1, 1, 8000, 16, 2));
        cases.push_back({"no data", f, "no data chunk"});
    }
    {
        std::vector<uint8_t> f = Header();
        AddChunk(f, "fmt ", {1, 0, 1, 0});
        cases.push_back({"short fmt", f, "fmt chunk too short"});
    }
    auto with = [&](std::vector<uint8_t> format) {
        std::vector<uint8_t> f = Header();
        AddChunk(f, "fmt ", format);
        AddChunk(f, "data", {0, 0, 0, 0, 0, 0});
        return f;
    };
    cases.push_back({"float", with(Format(3, 1, 8000, 32, 4)), "unsupported format 3"});
    cases.push_back({"24 bit", with(Format(1, 1, 8000, 24, 3)), "24 bits per sample"});
    cases.push_back({"3 channels", with(Format(1, 3, 8000, 16, 6)), "3 channels"});
    cases.push_back({"zero rate", with(Format(1, 1, 0, 16, 2)), "sample rate 0 Hz"});
    cases.push_back({"huge rate", with(Format(1, 1, 4000000, 16, 2)), "sample rate 4000000 Hz"});
    cases.push_back({"bad align", with(Format(1, 2, 8000, 16, 2)), "block align 2"});
    {
        std::vector<uint8_t> f = Header();
        PutText(f, "fmt ", 4);
        Put32(f, 0xFFFFFFF0u); // size larger than the file
        cases.push_back({"fmt past end", f, "fmt chunk runs past the end"});
    }
    for (const TCase& c : cases) {
        std::string error = Error(c.Bytes);
        EXPECT_EQ(error.rfind("bad.wav: ", 0), 0u) << c.Name << ": " << error;
        EXPECT_NE(error.find(c.Expected), std::string::npos) << c.Name << ": " << error;
    }
}
