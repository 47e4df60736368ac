#include "MenuImprovedEngine.h"

#include "Car.h"
#include "Config.h"
#include "GameEngine.h"
#include "uText1250.h"

#include <algorithm>
#include <cstdio>

std::vector<TMenuImprovedEngine::TItem> TMenuImprovedEngine::Items() const {
    switch (Screen) {
    case 1:
        if (Engine.GameState == gsIntroScreen)
            return {TItem::Play, TItem::Quit};
        return {TItem::Resume, TItem::Restart, TItem::Quit};
    case 8:
        return {TItem::Fuel, TItem::Resume};
    case 9:
        return {TItem::Repair, TItem::Resume};
    case 11:
    case 13:
    case 14:
        return {TItem::Restart, TItem::Quit};
    case 12:
        return {TItem::Play, TItem::Quit};
    default:
        return {TItem::Resume};
    }
}

void TMenuImprovedEngine::SetScreen(uint8_t screen) {
    Screen = screen;
    Selected = 0;
}

void TMenuImprovedEngine::PreviousItem() {
    int n = int(Items().size());
    Selected = (Selected + n - 1) % n;
    Engine.PlaySample("menu_hover");
}

void TMenuImprovedEngine::NextItem() {
    Selected = (Selected + 1) % int(Items().size());
    Engine.PlaySample("menu_hover");
}

void TMenuImprovedEngine::DecreaseValue() {
    TCar* car = Engine.Car(1);
    if (Screen == 9 && car && Items()[size_t(Selected)] == TItem::Repair)
        car->Damage = std::max(0.0f, car->Damage - 1);
}

void TMenuImprovedEngine::IncreaseValue() {
    TCar* car = Engine.Car(1);
    if (Screen == 8 && car && Items()[size_t(Selected)] == TItem::Fuel)
        car->Fuel = std::min(100.0f, car->Fuel + 1);
}

void TMenuImprovedEngine::Start(int mission) {
    Engine.PlaySample("menu_enter");
    Engine.TwoPlayer = mission >= 11;
    if (!Engine.TwoPlayer)
        Engine.Players[0]->Mission = uint8_t(mission);
    Engine.SetGameState(gsStartGame);
    Engine.StartMission(mission);
    Engine.ShowMenu(0);
}

void TMenuImprovedEngine::ChooseItem() {
    TItem item = Items()[size_t(Selected)];
    int mission = Engine.Mission >= 1 && Engine.Mission <= 15 ? Engine.Mission : 1;
    switch (item) {
    case TItem::Play:
        Start(Screen == 12 ? std::clamp(int(Engine.Players[0]->Mission), 1, 15) : std::max(1, int(Engine.Players[0]->Mission) % 11));
        break;
    case TItem::Restart:
        Start(mission);
        break;
    case TItem::Quit:
        Engine.PlaySample("menu_leave");
        Engine.SetGameState(gsQuit);
        break;
    default:
        Engine.PlaySample("menu_leave");
        Engine.ShowMenu(0);
        break;
    }
}

void TMenuImprovedEngine::Back() {
    if (Engine.GameState == gsIntroScreen || Screen == 11)
        return;
    Engine.PlaySample("menu_leave");
    Engine.ShowMenu(Screen == 13 || Screen == 14 ? 1 : 0);
}

std::string TMenuImprovedEngine::Title() const {
    int language = Config().Language;
    switch (Screen) {
    case 8:
        return MenuText(mtGas, language);
    case 9:
        return MenuText(mtDamage, language);
    case 11:
        return MenuText(mtMissionFailed, language);
    case 12: {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, MenuText(mtMissionNumber, language).c_str(), int(Engine.Players[0]->Mission));
        return buffer;
    }
    case 13:
    case 14:
        return MenuText(mtCompleted, language);
    default:
        return PickText(MissionTable[std::min<int>(Engine.Mission, 15)].Name, language);
    }
}

std::string TMenuImprovedEngine::ItemText(TItem item) const {
    int language = Config().Language;
    TCar* car = Engine.Car(1);
    char buffer[64];
    switch (item) {
    case TItem::Play:
        return MenuText(Screen == 12 ? mtContinue : mtSingleRace, language);
    case TItem::Restart:
        return MenuText(mtRestart1P, language);
    case TItem::Quit:
        return MenuText(mtQuitGame, language);
    case TItem::Fuel:
        std::snprintf(buffer, sizeof buffer, "%s %d%%", MenuText(mtGas, language).c_str(), car ? int(car->Fuel) : 0);
        return buffer;
    case TItem::Repair:
        std::snprintf(buffer, sizeof buffer, "%s %d%%", MenuText(mtDamage, language).c_str(), car ? int(car->Damage) : 0);
        return buffer;
    default:
        return MenuText(mtReturnOptions, language);
    }
}

void TMenuImprovedEngine::DrawMenu() {
    if (Screen == 0)
        return;
    Engine.BeginOverlay();
    Engine.SetOverlayColor(20, 20, 28, 200);
    Engine.DrawOverlayRect(100, 120, 540, 360);
    Engine.EndOverlay();
    TGLFont& font = *Engine.ItemFont;
    font.Alpha = 255;
    font.SetColor(231, 0, 75);
    font.DrawText(UpperCp1250(Title()), 130, 310, 32);
    if (Screen == 13 || Screen == 14) {
        char buffer[96];
        const TPlayerData& p1 = *Engine.Players[0];
        if (Screen == 14)
            std::snprintf(buffer, sizeof buffer, "%.2f%s  %d%s", double(p1.Time),
                          MenuText(mtSeconds, Config().Language).c_str(), p1.Score,
                          MenuText(mtPoints1P, Config().Language).c_str());
        else
            std::snprintf(buffer, sizeof buffer, "%d : %d", Engine.Players[0]->ExtraPoints, Engine.Players[1]->ExtraPoints);
        font.SetColor(255, 255, 255);
        font.DrawText(UpperCp1250(buffer), 130, 275, 20);
    }
    auto items = Items();
    for (size_t i = 0; i < items.size(); ++i) {
        bool selected = int(i) == Selected;
        font.SetColor(selected ? 255 : 170, selected ? 255 : 170, selected ? 255 : 170);
        font.DrawText((selected ? "> " : "  ") + UpperCp1250(ItemText(items[i])), 150, 230 - 34 * float(i), 24);
    }
}
