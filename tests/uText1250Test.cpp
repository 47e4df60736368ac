#include "uText1250.h"

#include <gtest/gtest.h>

TEST(uText1250, CzechLettersConvertBothWays) {
    std::string text = Utf8ToCp1250("Příliš žluťoučký kůň úpěl ďábelské ódy");
    EXPECT_EQ(static_cast<uint8_t>(text[1]), 0xF8); // ř
    EXPECT_EQ(static_cast<uint8_t>(text[2]), 0xED); // í
    EXPECT_EQ(Cp1250ToUtf8(text), "Příliš žluťoučký kůň úpěl ďábelské ódy");
}

TEST(uText1250, UpperCaseCoversCzech) {
    EXPECT_EQ(Cp1250ToUtf8(UpperCp1250(Utf8ToCp1250("áčďéěíňóřšťúůýž"))), "ÁČĎÉĚÍŇÓŘŠŤÚŮÝŽ");
    EXPECT_EQ(Cp1250ToUtf8(UpperCp1250(Utf8ToCp1250("Mise č. 3: Závod"))), "MISE Č. 3: ZÁVOD");
    EXPECT_EQ(Cp1250ToUtf8(UpperCp1250(Utf8ToCp1250("ß÷ľźśą"))), "ß÷ĽŹŚĄ");
}

TEST(uText1250, UnknownAndMalformedBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1250("a\xE2\x82"), "a??");
    EXPECT_EQ(Utf8ToCp1250("日"), "?");
    EXPECT_EQ(Utf8ToCp1250("\xFF"), "?");
    EXPECT_EQ(Utf8ToCp1250("€"), "\x80");
}

TEST(uText1250, UpperCaseOfMenuTextsKeepsEverythingElse) {
    // Menu and HUD texts are drawn upper-cased: digits, punctuation and letters already upper stay.
    EXPECT_EQ(Cp1250ToUtf8(UpperCp1250(Utf8ToCp1250("Hráč 1: šipky, 100 % — ůž"))), "HRÁČ 1: ŠIPKY, 100 % — ŮŽ");
    EXPECT_EQ(UpperCp1250(""), "");
    EXPECT_EQ(Cp1250ToUtf8(UpperCp1250(Utf8ToCp1250("ÁČŘŮ"))), "ÁČŘŮ");
}
