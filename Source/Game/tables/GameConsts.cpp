#include "tables/GameConsts.h"

#include "uText1250.h"

std::string PickText(const TTextPair& pair, int language) {
    return Utf8ToCp1250(language == 0 ? pair.English : pair.Czech);
}

std::array<std::string, 2> PairText(const TTextPair& pair) {
    return {PickText(pair, 0), PickText(pair, 1)};
}

std::string PlaceNumber(const std::string& text, const char* mark, const std::string& number) {
    std::string placed = text;
    if (size_t at = placed.find(mark); at != std::string::npos)
        placed.replace(at, std::char_traits<char>::length(mark), number);
    return placed;
}

const TCarRow CarTable[8] = {
    {"Mustang 69",
     {"More a car for museum than streets, but still awesome performance.",
      "Auto spíše do vitríny než na silnici, ale výkonu má dostatek."},
     0},
    {"VW Golf",
     {"Swift car that hold the curves. Good for small errands.",
      "Svižný vůz, který drží jako přibitý. Vhodný na menší nákupy."},
     10},
    {"BMW",
     {"Low stability, that's the price for the power of this luxury limousine.",
      "Nestabilita, to je daň za přebytek výkonu tohoto luxusního vozidla."},
     5},
    {"Liaz",
     {"Bad for racing but can deliver any cargo. Watch out in narrow streets.",
      "Špatný na závodění, ale dokáže převézt cokoliv. Pozor v úzkých uličkách."},
     99},
    {"Chevy",
     {"This one will deliver persons and cargo, and 4WD will do the thing.",
      "Doveze osoby i náklad, náhon na všechna 4 kola udělají své."},
     15},
    {"Avia",
     {"Legendary worker of roads. Slow and lazy, due to big cargo space.",
      "Proslulá dělnice silnic. Pomalá, a hůře ovladatelná, avšak hodně uveze."},
     55},
    {"Ford Transit",
     {"Reliable and fast, you have to be precise on the accelerator.",
      "Spolehlivý a rychlý, na plynový pedál se však musí zlehka."},
     30},
    {"Skoda 120",
     {"Easy to handle and cute car for beginners or old drivers",
      "Snadno ovladatelný a hbitý vůz zejména pro začínající nebo postarší řidiče."},
     10},
};

namespace {

constexpr TTextPair NoText = {"", ""};
constexpr uint8_t AviaAndTransit = (1u << 5) | (1u << 6);
// The goal line of the missions that are a route of checkpoints and nothing more.
constexpr TTextPair CheckpointGoal = {"Goal: all %d checkpoints in order, par time %s s",
                                      "Cíl: všechny kontrolní body po pořadě (celkem %d), normový čas %s s"};

} // namespace

const TMissionRow MissionTable[MissionCount] = {
    {0, 0, {"None", "Žádné"}, NoText, NoText, 0},
    {1,
     0,
     {"Riverside Rookie", "Pro zelenáče"},
     CheckpointGoal,
     {"Your first day behind the wheel in Kalmirov: a short loop of the blocks by the river. The arrows "
      "point to the next checkpoint, and a checkpoint counts only in its turn. There is snow on the road, "
      "so brake before the corners, not in them.",
      "Tvůj první den za volantem v Kalmirově: krátký okruh kolem bloků u řeky. Šipky ukazují k dalšímu "
      "kontrolnímu bodu a bod se počítá, jen když na něj přijde řada. Na silnici leží sníh, tak brzdi před "
      "zatáčkou, ne v ní."},
     0},
    {2,
     0,
     {"Downtown Melee", "Souboj ve středu"},
     CheckpointGoal,
     {"Evening rush in the city centre and people everywhere. Weave through downtown from checkpoint to "
      "checkpoint and mind the pedestrians, they step out without looking.",
      "Večerní špička ve středu města a všude plno lidí. Proplétej se centrem od bodu k bodu a dávej pozor "
      "na chodce, vcházejí do silnice bez rozhlédnutí."},
     0},
    {3,
     0,
     {"Tarvel Revenge", "Tarvelova pomsta"},
     CheckpointGoal,
     {"Tarvel says nobody drives his night route within a minute. Prove him wrong on a long run through the "
      "dark streets. Keep an eye on fuel and damage: stop at a gas station or a service and press Enter.",
      "Tarvel tvrdí, že jeho noční trasu nikdo neujede do minuty. Ukaž mu to na dlouhé jízdě temnými "
      "ulicemi. Hlídej benzín a poškození: zastav u benzínky nebo v servisu a stiskni Enter."},
     0},
    {4,
     0,
     {"By station", "U nádraží"},
     CheckpointGoal,
     {"In the afternoon the streets by the railway station are full of travellers. Drive the checkpoints "
      "round the station blocks and give way to the crowds: forty people on foot, all of them in a hurry.",
      "Odpoledne jsou ulice u nádraží plné cestujících. Projeď body kolem nádražních bloků a dej přednost "
      "davům: čtyřicet chodců a všichni spěchají."},
     0},
    {5,
     0,
     {"Really easy", "Fakt easy"},
     CheckpointGoal,
     {"A short run, as easy as it gets, and that is the catch: the par time is only twenty seconds. Keep "
      "your foot down and cut the corners close. A car left from an earlier race may still stand on the way.",
      "Krátká jízda, snazší to být nemůže, a v tom je háček: normový čas je jen dvacet sekund. Nepouštěj "
      "plyn a zatáčky ber těsně. Na trase možná ještě stojí auto z dřívějšího závodu."},
     0},
    {6,
     0,
     {"Pure", "Pure"},
     CheckpointGoal,
     {"No tricks, no cargo, no excuses: just you, the car and the checkpoints in the evening streets. A "
      "clean run is a fast run, so keep off the kerbs and the walls.",
      "Žádné triky, žádný náklad, žádné výmluvy: jen ty, auto a kontrolní body ve večerních ulicích. Čistá "
      "jízda je rychlá jízda, tak se drž dál od obrubníků a zdí."},
     0},
    {7,
     0,
     {"Fast ride", "Rychlá jízda"},
     CheckpointGoal,
     {"The long avenue at midnight, all yours. Slalom down it between the checkpoints of both lanes, turn at "
      "the far end and slalom all the way back. Speed is easy here, holding your line is not.",
      "Dlouhá třída o půlnoci jen pro tebe. Kličkuj po ní mezi body v obou pruzích, na konci se otoč a "
      "kličkuj celou cestu zpátky. Rychlost tu není problém, udržet stopu ano."},
     0},
    {8,
     0,
     {"Zig Zag", "Cik cak"},
     CheckpointGoal,
     {"A dry afternoon for once, no snow on the road. The route winds through the blocks and ends in a tight "
      "zig-zag of checkpoints packed close together: come in slow, leave fast.",
      "Konečně suché odpoledne, na silnici žádný sníh. Trasa se vine mezi bloky a končí ostrým cik cakem "
      "bodů natěsno za sebou: vjeď pomalu, vyjeď rychle."},
     0},
    {9,
     0,
     {"Reverse is perverse", "Couvat se vyplácí"},
     CheckpointGoal,
     {"A night run with a long row of checkpoints packed close along one street. Miss one and you must go "
      "back for it, and reverse gear is sometimes the quickest way there.",
      "Noční jízda s dlouhou řadou bodů natěsno v jedné ulici. Když některý mineš, musíš se pro něj vrátit, "
      "a zpátečka je někdy ta nejrychlejší cesta."},
     0},
    {10,
     0,
     {"Everyone gets crazy", "Všichni se zbláznili"},
     {"Goal: at least 20 boxes of tonic, %d stops in order, par time %s s",
      "Cíl: aspoň 20 krabic toniku, zastávek po pořadě celkem %d, normový čas %s s"},
     {"The barmen of the city have run out of tonic and the night is young. Drive around the malls and "
      "collect as many boxes of tonic as you can, at least 20, within 8 minutes. Mind the boxes, broken "
      "glass sells badly!",
      "Barmanům ve městě došel tonik a noc je teprve mladá. Objeď obchodní domy a posbírej co nejvíc "
      "krabic toniku, nejméně 20, a to do 8 minut. Jeď opatrně a dávej pozor na náklad, rozbité sklo "
      "nikdo nekoupí!"},
     AviaAndTransit},
    {29, 0, {"Riverside Rookie", "Pro zelenáče"}, NoText, NoText, 0},
    {30, 0, {"Downtown Melee", "Střed města"}, NoText, NoText, 0},
    {31, 0, {"Tarvel Revenge", "Tarvelova pomsta"}, NoText, NoText, 0},
    {32, 0, {"By station", "U nádraží"}, NoText, NoText, 0},
    {33, 0, {"Really easy", "Fakt easy"}, NoText, NoText, 0},
};

// Pedestrians, traffic cars, hour, par time, start of car 1 and car 2, heading, snow, music order,
// finish points, lights on.
const TMissionSetup MissionSetups[MissionCount] = {
    {0, 0, 0, 0, {{0, 0}, {0, 0}}, 0, false, 0, 0, false},
    {10, 0, 16, 30, {{250, 279}, {0, 0}}, 90, true, 16, 0, false},
    {20, 0, 19, 40, {{211, 317}, {0, 0}}, 270, true, 38, 0, false},
    {30, 0, 23, 60, {{246, 415}, {0, 0}}, 90, true, 54, 0, false},
    {40, 0, 16, 40, {{102, 360}, {0, 0}}, 0, true, 16, 0, false},
    {20, 0, 19, 20, {{202, 246}, {0, 0}}, 270, true, 38, 0, false},
    {30, 0, 19, 40, {{210, 304}, {0, 0}}, 90, true, 54, 0, false},
    {30, 0, 23, 60, {{250, 488}, {0, 0}}, 180, true, 16, 0, false},
    {20, 0, 16, 55, {{306, 306}, {0, 0}}, 90, false, 38, 0, false},
    {5, 0, 23, 55, {{398, 228}, {0, 0}}, 90, true, 54, 0, false},
    {65, 4, 19, 80, {{464, 444}, {0, 0}}, 180, true, 1, 0, false},
    // The races: two cars side by side, 1.4 units apart; the music of the mission whose route they take.
    {10, 0, 19, 0, {{249.2f, 279}, {250.6f, 279}}, 90, true, 16, 5, false},
    {20, 0, 16, 0, {{209.2f, 317}, {210.6f, 317}}, 270, true, 38, 10, false},
    {30, 0, 23, 0, {{245.2f, 415}, {246.6f, 415}}, 90, true, 54, 15, true},
    {40, 0, 19, 0, {{102, 360.8f}, {102, 359.4f}}, 0, true, 16, 10, true},
    {10, 0, 23, 0, {{201.2f, 246}, {202.6f, 246}}, 270, true, 38, 10, true},
};

namespace {

// Map units, in creation order: the finish first, the first target to drive to last.
constexpr TMapPoint Route1[] = {{249, 285}, {246, 289}, {238, 289}, {230, 291}, {224, 293}, {214, 293},
                                {210, 291}, {209, 284}, {209, 276}, {209, 267}, {205, 265}, {202, 262},
                                {202, 255}, {205, 252}, {215, 252}, {224, 252}, {229, 254}, {229, 261},
                                {232, 265}, {239, 265}, {242, 262}, {247, 260}, {250, 264}, {249, 271}};
constexpr TMapPoint Route2[] = {{210, 311}, {210, 301}, {211, 293}, {220, 292}, {226, 294}, {226, 305},
                                {229, 309}, {237, 308}, {242, 311}, {247, 313}, {255, 313}, {263, 313},
                                {266, 313}, {266, 325}, {264, 333}, {256, 333}, {247, 333}, {245, 338},
                                {246, 348}, {244, 356}, {237, 357}, {228, 356}, {225, 349}, {225, 341},
                                {223, 333}, {212, 333}, {210, 325}};
constexpr TMapPoint Route3[] = {
    {246, 422}, {248, 429}, {256, 429}, {258, 438}, {267, 440}, {270, 438}, {270, 428}, {270, 416},
    {278, 412}, {287, 412}, {294, 413}, {300, 421}, {305, 419}, {307, 413}, {315, 412}, {324, 412},
    {328, 410}, {328, 404}, {328, 398}, {323, 397}, {311, 397}, {305, 393}, {306, 386}, {306, 377},
    {306, 366}, {306, 359}, {304, 357}, {298, 357}, {288, 357}, {285, 351}, {284, 345}, {279, 345},
    {274, 348}, {273, 356}, {265, 357}, {262, 359}, {262, 370}, {267, 372}, {270, 379}, {270, 386},
    {269, 396}, {262, 397}, {254, 397}, {246, 398}, {246, 405}};
constexpr TMapPoint Route4[] = {
    {104, 360}, {112, 360}, {120, 360}, {128, 360}, {136, 360}, {142, 361}, {142, 371}, {146, 379},
    {146, 389}, {145, 396}, {142, 397}, {134, 397}, {125, 397}, {118, 397}, {110, 397}, {100, 397},
    {98, 405},  {97, 412},  {91, 413},  {83, 413},  {73, 413},  {69, 410},  {69, 400},  {69, 390},
    {70, 380},  {71, 373},  {79, 372},  {89, 372},  {94, 369},  {93, 363},  {99, 360}};
constexpr TMapPoint Route5[] = {{201, 243}, {201, 238}, {202, 233}, {205, 230}, {205, 223}, {205, 213},
                                {207, 209}, {215, 208}, {225, 208}, {231, 208}, {234, 211}, {234, 218},
                                {234, 226}, {234, 234}, {233, 240}, {230, 243}, {230, 250}, {228, 252},
                                {222, 253}, {212, 253}, {204, 253}, {201, 250}};
constexpr TMapPoint Route6[] = {{210, 308}, {209, 312}, {204, 313}, {198, 313}, {192, 313}, {190, 319},
                                {190, 329}, {189, 339}, {185, 341}, {178, 342}, {178, 350}, {177, 356},
                                {170, 357}, {166, 355}, {165, 348}, {165, 338}, {167, 333}, {169, 327},
                                {169, 319}, {169, 309}, {172, 309}, {175, 301}, {182, 300}, {193, 300},
                                {197, 299}, {198, 293}, {205, 292}, {209, 294}, {210, 301}};
constexpr TMapPoint Route7[] = {
    {252, 485.3}, {252, 482.7}, {272, 485.3}, {272, 482.7}, {292, 485.3}, {292, 482.7}, {312, 485.3},
    {312, 482.7}, {332, 485.3}, {332, 482.7}, {352, 485.3}, {352, 482.7}, {372, 485.3}, {372, 482.7},
    {392, 485.3}, {392, 482.7}, {412, 485.3}, {412, 482.7}, {432, 485.3}, {432, 482.7}, {452, 485.3},
    {452, 482.7}, {473.5, 486}, {462, 489.3}, {462, 486.7}, {442, 489.3}, {442, 486.7}, {422, 489.3},
    {422, 486.7}, {402, 489.3}, {402, 486.7}, {382, 489.3}, {382, 486.7}, {362, 489.3}, {362, 486.7},
    {342, 489.3}, {342, 486.7}, {322, 489.3}, {322, 486.7}, {302, 489.3}, {302, 486.7}, {282, 489.3},
    {282, 486.7}, {262, 489.3}, {262, 486.7}};
constexpr TMapPoint Route8[] = {{290, 296}, {284, 300}, {280, 304}, {284, 308}, {280, 312}, {284, 316},
                                {280, 320}, {284, 324}, {280, 328}, {282, 332}, {285, 345}, {286, 355},
                                {298, 356}, {305, 364}, {320, 372}, {330, 367}, {329, 356}, {322, 348},
                                {310, 341}, {313, 327}, {317, 312}, {334, 307}, {334, 292}, {329, 295},
                                {313, 296}, {306, 299}};
constexpr TMapPoint Route9[] = {
    {246, 244}, {242, 241}, {234, 237}, {238, 232}, {249, 232}, {254, 236}, {254, 250}, {253, 260},
    {255, 265}, {258, 265}, {261, 265}, {264, 265}, {267, 265}, {270, 265}, {273, 265}, {276, 265},
    {279, 265}, {282, 265}, {285, 265}, {288, 265}, {291, 265}, {305, 262}, {290, 261}, {279, 260},
    {278, 251}, {278, 237}, {291, 237}, {303, 236}, {314, 237}, {315, 244}, {322, 248}, {342, 248},
    {345, 243}, {356, 229}, {369, 228}, {382, 228}, {395, 228}};
constexpr TMapPoint Route10[] = {
    {254, 381}, {258, 385}, {265, 384}, {270, 382}, {270, 374}, {264, 372}, {262, 362}, {263, 357},
    {271, 356}, {274, 353}, {274, 346}, {279, 345}, {281, 339}, {283, 334}, {291, 333}, {301, 332},
    {304, 336}, {310, 335}, {312, 332}, {314, 327}, {313, 321}, {314, 314}, {321, 313}, {327, 313},
    {333, 312}, {334, 323}, {338, 330}, {335, 336}, {345, 338}, {353, 338}, {359, 336}, {365, 338},
    {370, 343}, {385, 344}, {398, 345}, {407, 344}, {420, 344}, {422, 354}, {422, 366}, {421, 376},
    {421, 384}, {417, 388}, {414, 392}, {414, 402}, {414, 408}, {420, 409}, {421, 419}, {422, 434},
    {421, 445}, {422, 457}, {429, 460}, {438, 460}, {442, 462}, {449, 464}, {460, 464}, {469, 462},
    {470, 453}, {470, 445}};
template <size_t N> std::vector<TMapPoint> Route(const TMapPoint (&points)[N]) {
    return {points, points + N};
}

std::vector<TMapPoint> WithoutFinish(std::vector<TMapPoint> route) {
    route.erase(route.begin());
    return route;
}

std::vector<TMapPoint> WithoutPoint(std::vector<TMapPoint> route, TMapPoint point) {
    std::erase_if(route, [&](const TMapPoint& p) { return p.X == point.X && p.Y == point.Y; });
    return route;
}

} // namespace

const std::vector<TMapPoint>& MissionRoute(int n) {
    static const std::vector<TMapPoint> routes[MissionCount] = {
        {},
        Route(Route1),
        Route(Route2),
        Route(Route3),
        Route(Route4),
        Route(Route5),
        Route(Route6),
        Route(Route7),
        Route(Route8),
        Route(Route9),
        Route(Route10),
        // The races run the routes of missions 1..5; races 11..13 end one target early, and race 13
        // also leaves out one target on the way.
        WithoutFinish(Route(Route1)),
        WithoutFinish(Route(Route2)),
        WithoutPoint(WithoutFinish(Route(Route3)), {306, 386}),
        Route(Route4),
        Route(Route5),
    };
    static const std::vector<TMapPoint> none;
    return n >= 1 && n < MissionCount ? routes[n] : none;
}

const TMapPoint GasStationPlaces[4] = {{341, 142}, {185, 305}, {93, 405}, {445, 407}};
const TMapPoint ServicePlaces[6] = {{259, 403}, {75, 395}, {344, 463}, {347, 346}, {473, 461}, {128, 129}};
// A stopped car inside one of these counts as being at the place of the same index.
const TMapRect GasStationAreas[4] = {
    {339, 344, 140, 143}, {183, 188, 304, 307}, {91, 94, 402, 407}, {443, 448, 406, 409}};
const TMapRect ServiceAreas[6] = {{257, 262, 401, 405}, {74, 78, 392, 397},   {341, 346, 460, 464},
                                  {345, 350, 345, 349}, {473, 475, 459, 462}, {125, 130, 128, 131}};

const TTextPair HintFuelLow = {"Your fuel is getting low", "Dochází ti benzín!"};
const TTextPair HintBadlyDamaged = {"Your car is badly damaged", "Tvé auto je velmi poškozené!"};
const TTextPair HintCargo = {"Watch the cargo! It can get broken next time!",
                             "Pozor na náklad! každý další náraz ho může zničit!"};
const TTextPair HintCityMap = {"You can use %s key to see the city map",
                               "Klávesou %s se podíváš na plán města, nic ti při tom neuteče"};
const TTextPair HintBackOnWheels = {"Your car is back on its wheels", "Auto je zase na kolech"};
const TTextPair HintCargoLoaded = {"Cargo loaded", "Náklad naložen"};
const TTextPair HintCargoFull = {"The car is full", "Auto je plné"};
const TTextPair ParTimeText = {"Par time %.2f", "Normový čas %.2f"};
const TTextPair ExtraScoresText = {"%s extra scores!", "%s bere extra bod!"};

namespace {

constexpr TTextPair ArrowsHint = {"Use left/right arrow to change values ",
                                  "Použij šipky vlevo/vpravo ke změně hodnoty "};
constexpr TTextPair Return = {"Return", "Zpět"};
constexpr TTextPair Restart = {"Restart", "Znova"};
constexpr TTextPair Track = {"Track", "Okruh"};
constexpr TTextPair Start = {"Start", "Start"};
constexpr TTextPair Points = {" Points", " Bodů"};
constexpr TTextPair ArrowKeys = {"Arrow keys", "Kurzorové šipky"};

} // namespace

// In the order of TMenuText; a row repeated by several screens is its own entry for each.
const TTextPair MenuTexts[mtTextCount] = {
    {"English", "Čeština"},
    // main menu
    {"Race for two", "Závod pro dva"},
    {"Single race", "Závod pro jednoho"},
    {"Highscore", "Highscore"},
    {"Options", "Nastavení"},
    {"Quit game", "Konec hry"},
    // two-player race set-up
    {"Player 1", "Hráč 1"},
    {"Player 2", "Hráč 2"},
    {"Profile", "Profil"},
    {"Car", "Auto"},
    {"Profile", "Profil"},
    {"Car", "Auto"},
    Track,
    Start,
    Return,
    ArrowsHint,
    // two-player race result
    Restart,
    {"Winner", "Vítěz"},
    Points,
    // controls shown for two players
    ArrowKeys,
    {"%s keys", "Klávesy %s"}, // the menu names player 2's driving keys
    {"Player", "Hráč"},
    ArrowKeys,
    // one-player race set-up and result
    ArrowsHint,
    Track,
    Start,
    Return,
    Points,
    {" Seconds", " Sekund"},
    {"Completed", "Dokončeno"},
    Restart,
    // highscore screen and web submission
    {"Highscore", "Highscore"},
    {"1st place!", "1. místo!"},
    {"2nd place", "2. místo"},
    {"3rd place", "3. místo"},
    {"4th place", "4. místo"},
    {"5th place", "5. místo"},
    {"6th place", "6. místo"},
    {"7th place", "7. místo"},
    {"8th place", "8. místo"},
    {"9th place", "9. místo"},
    {"10th place", "10. místo"},
    {"Web highscore", "Pořadí na webu"},
    {"Submit to web", "Poslat na web"},
    Return,
    Track,
    {"No race was completed", "Zatím nikdo nezávodil"},
    {"Your highscore was successfully submitted.", "Tvoje highscore bylo úspěšně odesláno."},
    {"See actual highscore at ", "Aktuální highscore najdeš na "}, // the menu appends the address
    {"Error with submitting your highscore.", "Highscore se nepodařilo odeslat."},
    {"Check your internet connection.", "Zkontrolujte své připojení k internetu"},
    {"The server tried: ", "Zkoušený server: "}, // the menu appends the address
    // options
    {"Camera view", "Kamera"},
    {"Top", "Nadhled"},
    {"Chase", "Zpoza"},
    {"Multiplayer", "Multiplayer"},
    {"Music", "Hudba"},
    {"Sound", "Zvuk"},
    {"Language", "Jazyk"},
    Return,
    ArrowsHint,
    // mission screens
    {"Mission", "Mise"},
    {"Continue", "Pokračovat"},
    {"Mission %d", "Mise %d"},
    {"Select car:", "Vyber auto:"},
    {"Mission failed", "Mise nedokončena"},
    {"Better luck next time", "Snad to příště vyjde!"},
    Restart,
    // gas station and service
    {"Gas", "Benzín"},
    Return,
    {"Use right arrow to change values", "Použij šipku vpravo ke změně hodnoty"},
    {"Damage", "Poškození"},
    Return,
    {"Use left arrow to change values", "Použij šipku vlevo ke změně hodnoty"},
    // HUD
    {"Press enter for menu", "Pro menu stiskni enter"},
    // runs sent for verification
    {"Sending the highscore table...", "Odesílám tabulku highscore..."},
    {"No kept runs to send for verification.", "Žádné uložené jízdy k ověření."},
    {"sending...", "odesílám..."},
    {"waiting for verification", "čeká na ověření"},
    {"accepted", "uznáno"},
    {"refused:", "odmítnuto:"},
    {"no connection", "bez spojení"},
    // the record to race
    {"Race the record", "Závod s rekordem"},
    {"Fetching the record of mission %d from ", "Stahuji rekord mise %d ze serveru "}, // + the address
    {"The record of mission %d:", "Rekord mise %d:"},
    {"No connection: the record kept from the last time", "Bez spojení: rekord uložený minule"},
    {"Race its ghost", "Závodit s jeho duchem"},
    {"The server has no verified run of this mission yet.", "Server zatím nemá žádnou ověřenou jízdu této mise."},
    {"No connection to the server.", "Nelze se spojit se serverem."},
    {"The record is damaged and cannot be raced.", "Rekord je poškozený, nelze s ním závodit."},
    {"The record belongs to another mission.", "Rekord patří k jiné misi."},
    {"The record was made by another version of the game.", "Rekord vytvořila jiná verze hry."},
    {"The record was played on another data set.", "Rekord byl odjet na jiných datech hry."},
    // the pause menu and the confirmation of quitting
    {"Paused", "Pauza"},
    {"Resume", "Pokračovat"},
    Restart,
    {"Options", "Nastavení"},
    {"Quit to main menu", "Do hlavního menu"},
    {"Quit game", "Konec hry"},
    {"Quit the game?", "Ukončit hru?"},
    {"Leave this run for the main menu?", "Opustit jízdu a jít do hlavního menu?"},
    {"The run will not be scored.", "Jízda se nebude počítat."},
    {"Yes", "Ano"},
    {"No", "Ne"},
    // the rules of a race for two
    {"Race for two: %s", "Závod pro dva: %s"}, // the menu puts in the track's name
    {"The route of mission %d: %s checkpoints in order, the finish is worth %s points, every other one 1 "
     "point to whoever reaches it first.",
     "Trasa mise %d: %s kontrolních bodů po pořadě, cíl má cenu %s bodů, každý jiný bod 1 bod pro toho, kdo "
     "ho projede první."},
    {"Whoever has more points at the finish wins; a draw goes to player 2.",
     "Vyhrává ten, kdo má v cíli víc bodů; při remíze vyhrává hráč 2."},
    {"Get well ahead of the other car and you score an extra point: the race then stops for a moment and "
     "both cars go on side by side from the leader's place.",
     "Když druhému autu pořádně ujedeš, získáš extra bod: závod se pak na chvíli zastaví a obě auta "
     "pokračují vedle sebe z místa vedoucího."},
    {"%s drives with: ", "%s řídí: "}, // the menu puts in the nick, then appends the keys
    Start,
    Return,
    // the one-player result
    {"Mission complete", "Mise splněna"},
    {"%s s over par", "%s s nad normovým časem"},
    {"%s s under par", "%s s pod normovým časem"},
    {"Right on par", "Přesně v normovém čase"},
    {"Score %d", "Skóre %d"},
    {"%s of %d in the table", "%s z %d v tabulce"}, // the place as "2nd" / "2." and the runs in the table
    {"Not among the ten best", "Mimo deset nejlepších"},
};

std::vector<TMissionLeg> MissionLegs() {
    std::vector<TMissionLeg> legs;
    for (int m = 1; m <= LastMission; ++m) {
        float x = MissionSetups[m].Start[0].X, y = MissionSetups[m].Start[0].Y;
        const std::vector<TMapPoint>& targets = MissionRoute(m);
        for (size_t k = targets.size(); k-- > 0;) {
            legs.push_back({x, y, targets[k].X, targets[k].Y});
            x = targets[k].X;
            y = targets[k].Y;
        }
    }
    return legs;
}
