// The game's one music module. The game picks a piece by jumping to its first order:
//   0 race start and car selection, 1 intro and menus, 16, 38 and 54 the three race themes,
//   178 mission failed. Every piece loops back to its own first order.
#pragma once

#include "XmWriter.h"

constexpr int ORDER_START = 0;
constexpr int ORDER_MENU = 1;
constexpr int ORDER_RACE1 = 16;
constexpr int ORDER_RACE2 = 38;
constexpr int ORDER_RACE3 = 54;
constexpr int ORDER_FAILED = 178;

TXmModule MakeMusic();
