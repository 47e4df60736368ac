// Program entry. Until the launcher and the game engine stand, it opens the game window and shows a
// turning test pattern, so the window, the frame cap and the keyboard can be tried by hand.
#include "Config.h"
#include "Sound.h"
#include "uBMP.h"
#include "uEngine.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

namespace {

uint32_t PatternTexture() {
    TBMPImage image;
    image.Width = image.Height = 64;
    image.Format = TBMPFormat::RGB;
    image.Pixels.resize(64 * 64 * 3);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            bool light = ((x / 8) + (y / 8)) % 2 == 0;
            uint8_t* p = &image.Pixels[size_t(y * 64 + x) * 3];
            p[0] = light ? 230 : 40;
            p[1] = light ? 180 : 60;
            p[2] = light ? 40 : 120;
        }
    return UploadTexture(image);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    THarnessOptions harness;
    try {
        harness = ParseHarnessOptions(args);
    } catch (const Exception& e) {
        std::fprintf(stderr, "kalmirov: %s\n", e.what());
        return 2;
    }
    bool windowed = !args.empty() && args[0] == "-w";
    bool headless = harness.Unattended() || std::getenv("DISPLAY") == nullptr;

    QApplication application(argc, argv);
    if (!headless)
        SetMessageBoxHandler([](const std::string& text, const std::string& caption) {
            QMessageBox::warning(nullptr, QString::fromLocal8Bit(caption.c_str()), QString::fromLocal8Bit(text.c_str()));
        });

    // The settings and the sound wrapper live until exit; the settings are written back when `config`
    // goes. "-ns" and unattended runs mix into SDL's silent dummy device, so they never need a sound card.
    TConfig config(ConfigFileName());
    SetConfig(&config);
    TConfigSoundSettings soundSettings(config);
    TSound sound(&soundSettings, CreateSDLAudioOutput(NoSoundRequested(args) || harness.Unattended()));
    SetSound(&sound);
    struct TUninstall {
        ~TUninstall() {
            SetSound(nullptr);
            SetConfig(nullptr);
        }
    } uninstall;

    try {
        TEngine engine(640, 480, !windowed, 32, harness);
        TSprite pattern(PatternTexture(), 192, 112, 256, 256, 255);
        engine.AddSprite(&pattern);
        while (!engine.WindowClosed() && !engine.HarnessFinished()) {
            engine.ReadKeyboard();
            if (KeyPressed(DIK_ESCAPE))
                break;
            if (KeyDown(DIK_LEFT))
                pattern.Angle += 2;
            if (KeyDown(DIK_RIGHT))
                pattern.Angle -= 2;
            SaveKeyboard();
            engine.BeginFrame();
            engine.DrawSprites();
            engine.EndFrame();
        }
    } catch (const std::exception& e) {
        ShowMessageBox(e.what(), "Kalmirov");
        return 1;
    }
    return 0;
}
