// The unattended-run harness: keys from a script instead of the keyboard, screenshots of chosen
// ticks, a stop after N ticks, the fixed clock and the headless run, so a run repeats exactly on any
// machine. Key scripts, --frames and --shot all count the world's ticks (10 ms each) from the first
// tick after loading. Options come from the command line:
//   --keys FILE       key script (see TScriptKeySource); "-" reads it from standard input in lock step
//                     with a controller program (see TStreamKeySource)
//   --frames N        stop after N ticks
//   --shot N:FILE     save the frame drawn after tick N as a PNG (repeatable)
//   --fixed-clock     one tick per drawn frame, and every frame lasts exactly 10 ms of game time
//   --headless        no window, no GL, no sound device: ticks as fast as the processor allows
//   --pad FILE        gamepad script instead of the pads plugged in (see TScriptPadSource)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct THarnessOptions {
    std::string KeyScript;
    uint64_t FrameLimit = 0; // 0: run until the game ends
    std::vector<std::pair<uint64_t, std::string>> Shots;
    bool FixedClock = false;
    bool Headless = false;
    std::string PadScript;

    // True when any option asks for an unattended run (no dialogs, stderr messages).
    bool Unattended() const {
        return !KeyScript.empty() || FrameLimit > 0 || !Shots.empty() || FixedClock || Headless ||
               !PadScript.empty();
    }
};

// Takes the harness options out of argv (the rest stays, in order). Throws EOptionError on a bad one.
THarnessOptions ParseHarnessOptions(std::vector<std::string>& args);

// Writes RGB pixels (bottom row first, as OpenGL reads them) to a PNG file; false on failure.
bool WritePNG(const std::string& fileName, int width, int height, const std::vector<uint8_t>& rgbBottomUp);

// Reads a PNG into RGB pixels, top row first (for tests that check screenshots).
bool ReadPNG(const std::string& fileName, int& width, int& height, std::vector<uint8_t>& rgbTopDown);
