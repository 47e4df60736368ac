// Full-screen pictures and the title logos: the intro, the notice screens, the loader, the menu
// panel and its item markers, and the makers' logos.
//
// Full-screen pictures are 1024 x 512, drawn at y = -32: the player sees columns 0..639 and the top
// 480 rows (canvas rows 0..479 here, counted from the top). The intro is 1024 x 1024 drawn at
// y = -544 and slides up to y = -64, so it shows canvas rows 0..479 first and rows 480..959 last.
#include "PictureKit.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float ScreenW = 640, ScreenH = 480;

// A street at the foot of a night scene: asphalt, kerb, lamp glows and light trails of passing cars.
void PaintStreet(TCanvas& canvas, float top, float bottom, float width, uint32_t seed) {
    canvas.Fill(
        0, top, width, bottom, [](float, float) { return -10.0f; },
        Linear(0, top, Rgb(30, 26, 44), 0, bottom, Rgb(10, 10, 16)));
    canvas.Fill(
        0, top, width, top + 4, [](float, float) { return -10.0f; }, Solid(Rgb(70, 64, 96)));
    TArtRandom random(seed);
    float mid = (top + bottom) * 0.5f;
    // Lane marks.
    for (float x = 10; x < width; x += 70)
        canvas.FillRoundRect(x, mid - 2, x + 36, mid + 2, 2, Solid(WithAlpha(Rgb(220, 210, 180), 0.5f)));
    // Light trails: long soft streaks, red tail lights in one lane and white-amber head lights in the other.
    for (int i = 0; i < 5; ++i) {
        float y = mid + random.Range(8, (bottom - mid) * 0.7f);
        float x0 = random.Range(-100, width * 0.5f), x1 = x0 + random.Range(250, 600);
        canvas.Line(x0, y, x1, y, 5, Solid(WithAlpha(Palette::Accent, 0.35f)), 4);
        canvas.Line(x0 + 40, y, x1, y, 1.5f, Solid(WithAlpha(Rgb(255, 120, 150), 0.9f)));
    }
    for (int i = 0; i < 4; ++i) {
        float y = top + random.Range(10, mid - top - 6);
        float x0 = random.Range(-100, width * 0.5f), x1 = x0 + random.Range(250, 600);
        canvas.Line(x0, y, x1, y, 5, Solid(WithAlpha(Palette::Amber, 0.3f)), 4);
        canvas.Line(x0 + 40, y, x1, y, 1.5f, Solid(WithAlpha(Rgb(255, 240, 200), 0.9f)));
    }
    // Street lamps along the kerb.
    for (float x = 50; x < width; x += 160) {
        float lampTop = top - 90;
        canvas.Line(x, top, x, lampTop, 3, Solid(Rgb(16, 16, 28)));
        canvas.Line(x, lampTop, x + 16, lampTop - 4, 3, Solid(Rgb(16, 16, 28)));
        canvas.FillCircle(x + 18, lampTop - 2, 40, Solid(WithAlpha(Palette::Amber, 0.25f)), 40);
        canvas.FillCircle(x + 18, lampTop - 2, 4, Solid(Rgb(255, 244, 200)));
        canvas.FillEllipse(x + 18, top + 8, 50, 8, Solid(WithAlpha(Palette::Amber, 0.18f)), 12);
    }
}

void PaintIntro(const TGenContext& context) {
    TCanvas c(1024, 1024);
    PaintNightSky(c, 760, 11);
    // Moon with a soft halo.
    c.FillCircle(505, 95, 120, Solid(WithAlpha(Rgb(200, 160, 255), 0.18f)), 120);
    c.FillCircle(505, 95, 34, Radial(495, 85, 44, Rgb(255, 250, 240), Rgb(220, 200, 230)));
    c.FillCircle(520, 104, 6, Solid(WithAlpha(Rgb(190, 170, 210), 0.5f)));
    c.FillCircle(494, 80, 4, Solid(WithAlpha(Rgb(190, 170, 210), 0.5f)));

    // Three depths of buildings, the nearest reaching from the street up into the first screen.
    PaintSkyline(c, 560, 60, 200, 0.0f, 21);
    c.Fill(
        0, 300, 1024, 1024, [](float, float) { return -10.0f; },
        [](float, float y) { return WithAlpha(Palette::Dusk, std::clamp((y - 300) / 600.0f, 0.0f, 0.35f)); });
    PaintSkyline(c, 760, 160, 360, 0.5f, 22);
    PaintSkyline(c, 900, 200, 420, 1.0f, 23);
    PaintStreet(c, 900, 1024, 1024, 24);

    // Title on the first screen: a neon sign over the city.
    TTitleStyle title;
    title.Tracking = 6;
    title.GlowRadius = 14;
    title.GlowStrength = 1.6f;
    DrawTitle(c, SansBold(), "KALMIROV", ScreenW / 2, 250, 88, title);
    c.Line(150, 282, 490, 282, 3, Solid(Palette::Accent));
    c.FillCircle(320, 282, 30, Solid(WithAlpha(Palette::Accent, 0.25f)), 30);
    SansBold().DrawCentred(c, "CITY  DRIVING", ScreenW / 2, 318, 22, Solid(Palette::White), 5);
    SavePicture(context, "bitmaps/intro.bmp", c, TBMPFormat::RGB);
}

// Background of the pictures shown while the game blocks: a dim skyline under a dark sky.
TCanvas QuietScreen(uint32_t seed) {
    TCanvas c(1024, 512);
    PaintNightSky(c, 512, seed);
    PaintSkyline(c, 512, 60, 190, 0.3f, seed + 1);
    c.Fill(
        0, 0, 1024, 512, [](float, float) { return -10.0f; },
        [](float, float y) {
            return WithAlpha(Palette::Night, std::clamp(0.55f - y / 1400.0f, 0.0f, 1.0f));
        });
    return c;
}

void PaintLoader(const TGenContext& context) {
    TCanvas c = QuietScreen(31);
    TTitleStyle title;
    title.Tracking = 4;
    DrawTitle(c, SansBold(), "KALMIROV", ScreenW / 2, 200, 64, title);
    // The game fills the bar at screen (225, 182)-(426, 194), that is canvas rows 285..297.
    c.FillRoundRect(219, 279, 433, 303, 6, Solid(WithAlpha(Palette::Accent, 0.35f)), 6);
    c.FillRoundRect(221, 281, 431, 301, 4, Solid(Rgb(60, 50, 90)));
    c.FillRoundRect(223, 283, 429, 299, 3, Solid(Rgb(6, 6, 14)));
    SansBold().DrawCentred(c, "LOADING  ·  NAHRÁVÁM", ScreenW / 2, 336, 14,
                           Solid(WithAlpha(Palette::White, 0.8f)), 3);
    SavePicture(context, "bitmaps/loader.bmp", c, TBMPFormat::RGB);
}

// A road sign: red-rimmed triangle with a car inside.
void PaintWarningSign(TCanvas& c, float cx, float cy, float size) {
    std::vector<TPoint> outer = {
        {cx, cy - size}, {cx + size * 1.1f, cy + size * 0.8f}, {cx - size * 1.1f, cy + size * 0.8f}};
    c.FillPolygon(outer, Solid(Palette::Accent), 1);
    float k = 0.72f;
    std::vector<TPoint> inner = {{cx, cy - size * k + 4},
                                 {cx + size * 1.1f * k, cy + size * 0.8f * k - 2},
                                 {cx - size * 1.1f * k, cy + size * 0.8f * k - 2}};
    c.FillPolygon(inner, Solid(Palette::White), 1);
    // Car silhouette.
    float s = size / 40.0f, by = cy + size * 0.38f;
    c.FillRoundRect(cx - 20 * s, by - 11 * s, cx + 20 * s, by, 3 * s, Solid(Palette::Ink));
    c.FillRoundRect(cx - 12 * s, by - 19 * s, cx + 11 * s, by - 8 * s, 4 * s, Solid(Palette::Ink));
    c.FillCircle(cx - 11 * s, by + 1 * s, 4.5f * s, Solid(Palette::Ink));
    c.FillCircle(cx + 11 * s, by + 1 * s, 4.5f * s, Solid(Palette::Ink));
}

void PaintNotice(const TGenContext& context, const std::string& file, std::string_view heading,
                 std::string_view body, std::string_view signature) {
    TCanvas c = QuietScreen(41);
    // Card with a soft shadow and an accent edge.
    TCanvas card(1024, 512);
    card.FillRoundRect(70, 60, 570, 420, 18,
                       Linear(0, 60, Rgb(34, 30, 60, 0.94f), 0, 420, Rgb(16, 14, 30, 0.94f)));
    TCanvas shadow = card;
    shadow.Blur(14);
    c.DrawMask(shadow, Solid(WithAlpha(Palette::Accent, 0.5f)), 0, 0, 1.0f);
    c.Draw(card, 0, 0);
    c.FillRoundRect(70, 60, 570, 66, 3, Solid(Palette::Accent));
    PaintWarningSign(c, ScreenW / 2, 130, 42);
    TTitleStyle title;
    title.GlowRadius = 6;
    title.GlowStrength = 0.8f;
    title.Bottom = Rgb(255, 200, 220);
    DrawTitle(c, SansBold(), heading, ScreenW / 2, 222, 30, title);
    DrawParagraph(c, Sans(), body, ScreenW / 2, 262, 17, 440, 25, Solid(Rgb(225, 222, 240)), true);
    SansBold().DrawCentred(c, signature, ScreenW / 2, 396, 14, Solid(Palette::AccentLight), 2);
    SavePicture(context, "bitmaps/" + file, c, TBMPFormat::RGB);
}

// The menu panel: stretched by the game to 640 x 160..446 and drawn at alpha 248, so it keeps its
// details horizontal.
void PaintMenuPanel(const TGenContext& context) {
    TCanvas c(512, 256);
    c.Fill(
        0, 0, 512, 256, [](float, float) { return -10.0f; },
        [](float x, float y) {
            float t = y / 256.0f;
            TColor base = Mix(Rgb(24, 20, 48), Rgb(8, 8, 20), t);
            float edge = std::min(x, 512 - x) / 512.0f;
            float stripes = std::fmod(x + y * 0.8f, 24.0f) < 2.0f ? 0.04f : 0.0f;
            return WithAlpha(Mix(base, Palette::Dusk, stripes * 6 + (0.5f - edge) * 0.3f), 0.9f);
        });
    c.Fill(
        0, 0, 512, 6, [](float, float) { return -10.0f; },
        Linear(0, 0, Palette::Accent, 512, 0, Rgb(120, 0, 60)));
    c.Fill(
        0, 6, 512, 8, [](float, float) { return -10.0f; }, Solid(WithAlpha(Palette::White, 0.35f)));
    c.Fill(
        0, 250, 512, 256, [](float, float) { return -10.0f; },
        Linear(0, 0, Rgb(120, 0, 60), 512, 0, Palette::Accent));
    SavePicture(context, "bitmaps/menu_bg.bmp", c, TBMPFormat::RGBA);
}

// Item markers, 64 x 32, drawn left of the selected item (or between label and value).
TCanvas Chevron(float x, float cy, float h, bool right, const TColor& colour) {
    TCanvas c(64, 32);
    float d = right ? 1.0f : -1.0f;
    std::vector<TPoint> p = {{x, cy - h},
                             {x + d * h * 0.9f, cy},
                             {x, cy + h},
                             {x - d * h * 0.35f, cy + h},
                             {x + d * h * 0.55f, cy},
                             {x - d * h * 0.35f, cy - h}};
    c.FillPolygon(p, Solid(colour));
    return c;
}

void PaintMarkers(const TGenContext& context) {
    const TColor dim = Rgb(90, 84, 120, 0.8f);
    auto save = [&](const std::string& file, TCanvas shape) {
        SavePicture(context, "bitmaps/" + file, FinishIcon(shape, 1.2f), TBMPFormat::RGBA);
    };
    {
        TCanvas m(64, 32);
        m.Draw(Chevron(22, 16, 10, true, Palette::Accent), 0, 0);
        m.Draw(Chevron(36, 16, 10, true, Palette::AccentLight), 0, 0);
        m.Line(4, 16, 18, 16, 3, Solid(WithAlpha(Palette::Accent, 0.7f)));
        save("menu_enter.bmp", m);
    }
    {
        TCanvas m(64, 32);
        m.FillCircle(32, 16, 12, Solid(Palette::Accent));
        std::vector<TPoint> tick = {{24, 16}, {27, 13}, {31, 17}, {38, 9}, {41, 12}, {31, 22}};
        m.FillPolygon(tick, Solid(Palette::White));
        save("menu_confirm.bmp", m);
    }
    auto arrows = [&](const std::string& file, bool left, bool right) {
        TCanvas m(64, 32);
        m.Draw(Chevron(20, 16, 9, false, left ? Palette::Accent : dim), 0, 0);
        m.Draw(Chevron(44, 16, 9, true, right ? Palette::Accent : dim), 0, 0);
        m.FillCircle(32, 16, 2.5f, Solid(left || right ? Palette::White : dim));
        save(file, m);
    };
    arrows("menu_adjust.bmp", true, true);
    arrows("menu_left.bmp", true, false);
    arrows("menu_right.bmp", false, true);
    {
        TCanvas m(64, 32);
        m.Draw(Chevron(20, 16, 9, false, dim), 0, 0);
        m.Draw(Chevron(44, 16, 9, true, dim), 0, 0);
        m.Line(26, 16, 38, 16, 3, Solid(dim));
        save("menu_none.bmp", m);
    }
}

// The makers' logos, painted for a picture of 4:1 (scale 1 = 512 x 128).
void PaintQuillmark(TCanvas& c, float s) {
    // A quill: a curved vane with a dark shaft, ending in a nib that leaves an accent stroke.
    std::vector<TPoint> vane;
    for (int i = 0; i <= 20; ++i) {
        float t = i / 20.0f;
        vane.push_back({(30 + 70 * t) * s, (100 - 80 * t - 14 * std::sin(t * 3.14159f)) * s});
    }
    for (int i = 20; i >= 0; --i) {
        float t = i / 20.0f;
        vane.push_back({(30 + 70 * t + 16 * std::sin(t * 3.14159f)) * s,
                        (100 - 80 * t + 4 * std::sin(t * 3.14159f)) * s});
    }
    c.FillPolygon(vane, Linear(30 * s, 100 * s, Palette::Accent, 100 * s, 20 * s, Palette::White));
    c.Line(28 * s, 104 * s, 98 * s, 22 * s, 2.2f * s, Solid(Palette::Ink));
    c.Line(14 * s, 110 * s, 30 * s, 104 * s, 3.0f * s, Solid(Palette::Accent));
    TCanvas text(c.Width, c.Height);
    float x = SansBold().DrawText(text, "QUILL", 118 * s, 82 * s, 56 * s, Solid(Palette::White), 2 * s);
    Sans().DrawText(text, "MARK", x, 82 * s, 56 * s, Solid(Palette::AccentLight), 2 * s);
    TCanvas outline = text;
    outline.Blur(1.5f * std::max(s, 0.5f));
    c.DrawMask(outline, Solid(WithAlpha(Palette::Ink, 0.9f)), 0, 0, 3.0f);
    c.Draw(text, 0, 0);
}

void PaintTarvelGame(TCanvas& c, float s) {
    // Sized so that "TARVEL" and the "GAME" plate fill the left 420 of the 512 units: the game shows
    // this logo at x = 527, so only its left 113 of 128 pixels are on the screen.
    const TFontFace& font = SansCondensedBold();
    float size = 70 * s;
    float plate = font.TextWidth("GAME", size * 0.85f, 3 * s) + 26 * s;
    float total = font.TextWidth("TARVEL", size, 1 * s) + 8 * s + plate;
    size *= std::min(1.0f, 420 * s / total);
    plate = font.TextWidth("GAME", size * 0.85f, 3 * s) + 26 * s;
    TCanvas text(c.Width, c.Height);
    float x = font.DrawText(text, "TARVEL", 8 * s, 86 * s, size,
                            Linear(0, 30 * s, Palette::White, 0, 86 * s, Rgb(190, 190, 215)), 1 * s);
    x += 8 * s;
    c.FillRoundRect(x, 30 * s, x + plate, 98 * s, 10 * s,
                    Linear(x, 30 * s, Palette::AccentLight, x, 98 * s, Palette::Accent));
    font.DrawText(text, "GAME", x + 12 * s, 86 * s, size * 0.85f, Solid(Palette::White), 3 * s);
    TCanvas outline = text;
    outline.Blur(1.5f * std::max(s, 0.5f));
    c.DrawMask(outline, Solid(WithAlpha(Palette::Ink, 0.9f)), 0, 0, 3.0f);
    c.Draw(text, 0, 0);
    c.FillRoundRect(8 * s, 104 * s, x + plate, 110 * s, 3 * s, Solid(WithAlpha(Palette::Accent, 0.8f)));
}

void PaintLogos(const TGenContext& context) {
    {
        TCanvas c(128, 32);
        PaintQuillmark(c, 0.25f);
        SavePicture(context, "bitmaps/quillmark.bmp", c, TBMPFormat::RGBA);
    }
    {
        TCanvas c(512, 128);
        PaintQuillmark(c, 1.0f);
        SavePicture(context, "bitmaps/menu_quillmark.bmp", c, TBMPFormat::RGBA);
    }
    {
        TCanvas c(128, 32);
        PaintTarvelGame(c, 0.25f);
        SavePicture(context, "bitmaps/tarvelgame.bmp", c, TBMPFormat::RGBA);
    }
    TTitleStyle title;
    title.Tracking = 4;
    title.GlowRadius = 7;
    {
        TCanvas c(512, 128);
        DrawTitle(c, SansBold(), "KALMIROV", 256, 88, 78, title);
        c.FillRoundRect(70, 102, 442, 106, 2,
                        Linear(70, 0, WithAlpha(Palette::Accent, 0), 256, 0, Palette::Accent));
        c.FillRoundRect(256, 102, 442, 106, 2,
                        Linear(256, 0, Palette::Accent, 442, 0, WithAlpha(Palette::Accent, 0)));
        SavePicture(context, "bitmaps/menu_kalmirov.bmp", c, TBMPFormat::RGBA);
    }
    {
        TCanvas c(512, 128);
        DrawTitle(c, SansBold(), "KALMIROV", 256, 78, 66, title);
        // A chequered racing ribbon under the title.
        for (int col = 0; col < 40; ++col)
            for (int row = 0; row < 2; ++row) {
                float x = 96 + col * 8.0f, y = 94 + row * 8.0f;
                float fade = 1.0f - std::abs(col - 19.5f) / 21.0f;
                TColor colour = (col + row) % 2 ? Palette::White : Palette::Accent;
                c.FillRoundRect(x, y, x + 8, y + 8, 0.5f, Solid(WithAlpha(colour, fade)));
            }
        SavePicture(context, "bitmaps/menu_kalmirov_multi.bmp", c, TBMPFormat::RGBA);
    }
}

void GenerateScreens(const TGenContext& context) {
    PaintIntro(context);
    PaintLoader(context);
    PaintNotice(
        context, "responsible_en.bmp", "Drive responsibly",
        "Kalmirov is a game. Its city, its people and everything that happens in its streets are made up. "
        "On real roads, keep to the rules, watch out for others and always drive responsibly.",
        "HAVE FUN  ·  DRIVE SAFELY");
    PaintNotice(
        context, "responsible_cz.bmp", "Jezděte zodpovědně",
        "Kalmirov je hra. Její město, lidé i vše, co se děje v jejích ulicích, jsou smyšlené. "
        "Na skutečných silnicích dodržujte pravidla, dávejte pozor na ostatní a jezděte vždy zodpovědně.",
        "BAVTE SE  ·  JEZDĚTE BEZPEČNĚ");
    PaintMenuPanel(context);
    PaintMarkers(context);
    PaintLogos(context);
}

} // namespace

KAL_GENERATOR("pictures", GenerateScreens);
