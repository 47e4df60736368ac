#include "player/PlayerData.h"
#include "TestSupport.h"
#include "uByteReader.h"
#include "uErrors.h"
#include "uText1250.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

TProfileRecord Player(const std::string& nick, int32_t index) {
    TProfileRecord record;
    record.Index = index;
    record.Nick = nick;
    record.Face = 3;
    return record;
}

int32_t I32At(const uint8_t* bytes) {
    return int32_t(uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                   uint32_t(bytes[3]) << 24);
}

class TProfileFileTest : public ::testing::Test {
  protected:
    std::string File() const { return Dir.File("player/profiles.dat"); }
    // A file of `count` sound records followed by `extra` further bytes.
    void WriteRecords(int count, size_t extra = 0) {
        std::vector<uint8_t> bytes;
        for (int i = 0; i < count; ++i) {
            auto record = EncodeProfile(Player("p" + std::to_string(i), i));
            bytes.insert(bytes.end(), record.begin(), record.end());
        }
        bytes.resize(bytes.size() + extra, 0);
        WriteBytes(bytes);
    }
    void WriteBytes(const std::vector<uint8_t>& bytes) {
        std::filesystem::create_directories(Dir.Path / "player");
        std::ofstream(File(), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    std::vector<uint8_t> FileBytes() const {
        std::vector<uint8_t> bytes;
        ReadWholeFile(File(), bytes);
        return bytes;
    }

    TTempDir Dir;
    TMessageRecorder Messages;
    TProfileList List;
};

} // namespace

TEST(ProfileRecord, LayoutIsFiftyTwoLittleEndianBytes) {
    TProfileRecord record = Player("Ester", 2);
    record.Selected = 1;
    record.Mission = 4;
    record.Score = 1234;
    record.ScoreCounter = -5;
    auto bytes = EncodeProfile(record);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(I32At(&bytes[4]), 2);
    EXPECT_EQ(I32At(&bytes[8]), 3);
    EXPECT_EQ(bytes[12], 5);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[13]), 5), "Ester");
    EXPECT_EQ(bytes[33], 4);
    EXPECT_EQ(I32At(&bytes[36]), -5);
    EXPECT_EQ(bytes[40], 0xD2); // 1234 = 0x04D2
    EXPECT_EQ(bytes[41], 0x04);
    EXPECT_EQ(I32At(&bytes[44]), 0);

    TProfileRecord back;
    std::string error;
    ASSERT_TRUE(DecodeProfile(bytes.data(), back, error)) << error;
    EXPECT_EQ(back.Nick, "Ester");
    EXPECT_EQ(back.Mission, 4);
    EXPECT_EQ(back.Score, 1234);
    EXPECT_EQ(back.ScoreCounter, -5);
}

TEST(ProfileRecord, FieldsOutOfRangeAndNicksNoPlayerCouldChooseAreRejected) {
    auto bytes = EncodeProfile(Player(std::string(MaxNickLength, 'x'), 0));
    TProfileRecord record;
    std::string error;
    auto rejects = [&](size_t offset, uint8_t value) {
        auto damaged = bytes;
        damaged[offset] = value;
        return !DecodeProfile(damaged.data(), record, error);
    };
    EXPECT_TRUE(rejects(12, 21)); // nick length
    EXPECT_FALSE(rejects(12, 20));
    EXPECT_TRUE(rejects(8, 22)); // face
    EXPECT_FALSE(rejects(8, 21));
    EXPECT_TRUE(rejects(11, 0xFF)); // face below 0
    EXPECT_TRUE(rejects(33, 16));   // mission
    EXPECT_FALSE(rejects(33, 15));
    // Scores a damaged file brings near the 32-bit limit, where scoring on would overflow.
    EXPECT_TRUE(rejects(43, 0x7F)); // score
    EXPECT_EQ(error, "score 2130706432 is outside -1000000000 .. 1000000000");
    EXPECT_TRUE(rejects(39, 0x80)); // score counter
    EXPECT_FALSE(rejects(43, 0x3B)); // 989,855,744: still a score
    // Nicks the launcher would refuse: none at all, control characters, bytes the code page leaves out.
    EXPECT_TRUE(rejects(12, 0));
    EXPECT_EQ(error, "the nick is empty, blank or holds control bytes");
    EXPECT_TRUE(rejects(13, '\t'));
    EXPECT_TRUE(rejects(14, 0x81));
    EXPECT_FALSE(rejects(13, 0xE1)); // á
}

TEST_F(TProfileFileTest, WholeRecordsAreReadAndACutOneKeptAsFarAsItGoes) {
    WriteRecords(2);
    List.LoadProfiles(File(), TestNotice);
    EXPECT_EQ(List.Records.size(), 2u);
    WriteRecords(3);
    std::vector<uint8_t> bytes = FileBytes();
    bytes.resize(2 * ProfileRecordSize + 26); // cut inside the third record's nick
    WriteBytes(bytes);
    List.LoadProfiles(File(), TestNotice);
    ASSERT_EQ(List.Records.size(), 3u);
    EXPECT_EQ(List.Records[2].Nick, "p2");
    EXPECT_EQ(List.Records[2].Mission, 1) << "a new player's mission after the cut";
    EXPECT_TRUE(std::filesystem::exists(File() + ".bad"));
    ASSERT_EQ(Messages.Messages.size(), 1u);
    EXPECT_NE(Messages.Messages[0].Text.find("record 3 is cut short"), std::string::npos);
    Messages.Messages.clear();
    WriteRecords(40);
    List.LoadProfiles(File(), TestNotice);
    EXPECT_EQ(List.Records.size(), 32u);
    EXPECT_TRUE(Messages.Messages.empty());
}

TEST_F(TProfileFileTest, NewPlayerIsInTheFileAtOnce) {
    WriteRecords(2);
    List.LoadProfiles(File(), TestNotice);
    EXPECT_EQ(List.AddProfile("Karel", File(), TestNotice), 2);
    std::vector<uint8_t> bytes = FileBytes();
    ASSERT_EQ(bytes.size(), 3u * ProfileRecordSize);
    const uint8_t* added = &bytes[2 * ProfileRecordSize];
    EXPECT_EQ(I32At(added + 4), 2);
    EXPECT_EQ(added[12], 5);
    EXPECT_EQ(added[33], 1);
    EXPECT_EQ(I32At(added + 40), 0);
    EXPECT_EQ(List.Find("Karel"), 2);
}

TEST_F(TProfileFileTest, NoPlayerIsAddedToAFullList) {
    WriteRecords(32);
    List.LoadProfiles(File(), TestNotice);
    EXPECT_EQ(List.AddProfile("late", File(), TestNotice), -1);
}

TEST_F(TProfileFileTest, RemovingRenumbersAndSaves) {
    WriteRecords(3);
    List.LoadProfiles(File(), TestNotice);
    ASSERT_TRUE(List.RemoveProfile(0, File(), TestNotice));
    EXPECT_FALSE(List.RemoveProfile(2, File(), TestNotice));
    TProfileList reread;
    reread.LoadProfiles(File(), TestNotice);
    ASSERT_EQ(reread.Records.size(), 2u);
    EXPECT_EQ(reread.Records[0].Nick, "p1");
    EXPECT_EQ(reread.Records[0].Index, 0);
    EXPECT_EQ(reread.Records[1].Index, 1);
}

TEST_F(TProfileFileTest, DamagedFileIsMovedAsideAndTheSoundRecordsKept) {
    WriteRecords(3);
    std::vector<uint8_t> bytes = FileBytes();
    bytes[ProfileRecordSize + 33] = 200; // the second record's mission
    WriteBytes(bytes);
    List.LoadProfiles(File(), TestNotice);
    ASSERT_EQ(List.Records.size(), 2u);
    EXPECT_EQ(List.Records[1].Nick, "p2");
    EXPECT_EQ(List.Records[1].Index, 1);
    EXPECT_FALSE(std::filesystem::exists(File()));
    EXPECT_TRUE(std::filesystem::exists(File() + ".bad"));
    ASSERT_EQ(Messages.Messages.size(), 1u);
    EXPECT_NE(Messages.Messages[0].Text.find(File()), std::string::npos) << Messages.Messages[0].Text;
}

TEST_F(TProfileFileTest, FailedSaveAddsNoPlayerAndSaysSo) {
    WriteRecords(2);
    List.LoadProfiles(File(), TestNotice);
    // Something that cannot be replaced by a file now stands where the profiles go.
    std::filesystem::remove(File());
    std::filesystem::create_directories(File() + "/inside");
    EXPECT_EQ(List.AddProfile("Karel", File(), TestNotice), -1);
    EXPECT_EQ(List.Records.size(), 2u);
    EXPECT_TRUE(std::filesystem::is_directory(File() + "/inside"));
    ASSERT_EQ(Messages.Messages.size(), 1u);
    EXPECT_NE(Messages.Messages[0].Text.find(File()), std::string::npos) << Messages.Messages[0].Text;
}

TEST(PlayerDataDir, FollowsXdgDataHomeThenHome) {
    TEnvironment home("HOME", "/home/player");
    {
        TEnvironment xdg("XDG_DATA_HOME", "/data");
        EXPECT_EQ(ProfilesFileName(), "/data/kalmirov/profiles.dat");
    }
    {
        TEnvironment xdg("XDG_DATA_HOME", "relative");
        EXPECT_EQ(HighscoreFileName(), "/home/player/.local/share/kalmirov/highscore.dat");
    }
    TEnvironment xdg("XDG_DATA_HOME", nullptr);
    TEnvironment noHome("HOME", nullptr);
    EXPECT_EQ(PlayerDataDir(), "");
}

TEST(ValidNick, TakesOneToNineteenCharactersOfWindows1250) {
    std::string bytes;
    EXPECT_TRUE(ValidNick("Rychlá 2", bytes));
    EXPECT_EQ(bytes, "Rychl\xE1 2");
    EXPECT_TRUE(ValidNick("ŘŘŘŘŘŘŘŘŘŘŘŘŘŘŘŘŘŘŘ", bytes)); // 19 characters, 38 bytes of UTF-8
    EXPECT_EQ(bytes, std::string(19, '\xD8')) << "one byte a character in the file";
    EXPECT_FALSE(ValidNick("ŘŘŘŘŘŘŘŘŘŘŘŘŘŘŘŘŘŘŘŘ", bytes));
    EXPECT_FALSE(ValidNick("abcdefghijklmnopqrst", bytes));
    EXPECT_FALSE(ValidNick("Peña", bytes)); // ñ has no byte in Windows-1250
    EXPECT_FALSE(ValidNick("", bytes));
    EXPECT_FALSE(ValidNick("   ", bytes));
    EXPECT_FALSE(ValidNick("Иван", bytes));         // no Cyrillic in the code page
    EXPECT_FALSE(ValidNick("a\xC3", bytes));        // cut UTF-8 sequence
    EXPECT_FALSE(ValidNick("\xC1\xA1", bytes));     // overlong 'a'
    EXPECT_FALSE(ValidNick("\xED\xA0\x80", bytes)); // surrogate
    EXPECT_FALSE(ValidNick("tab\there", bytes));
    EXPECT_TRUE(bytes.empty());
}

TEST(PlayerData, ResetEmptiesTheRunButKeepsTheCapacity) {
    TProfileRecord record = Player("Ema", 4);
    record.Mission = 7;
    record.Score = 50;
    TPlayerData player(record);
    EXPECT_EQ(player.ProfileIndex, 4);
    EXPECT_EQ(player.Mission, 7);
    player.SetCarType(3);
    player.Load.Items[2] = 9;
    for (int i = 0; i < 250; ++i)
        player.Tick();
    EXPECT_EQ(player.Ticks, 250);
    EXPECT_NEAR(player.Time, 2.5f, 1e-3f);
    player.Reset();
    EXPECT_EQ(player.Load.Total(), 0);
    EXPECT_EQ(player.Load.Capacity, 99);
    EXPECT_EQ(player.Time, 0);
    EXPECT_EQ(player.Ticks, 0);
    EXPECT_EQ(player.Score, 50) << "the score belongs to the profile, not the run";
    EXPECT_EQ(player.StatusTexts[0], "Better luck next time");
    EXPECT_EQ(player.StatusTexts[1], Utf8ToCp1250("Snad to příště vyjde!"));
}

TEST(PlayerData, CarTypesAndOverflowsAreRangeChecked) {
    TPlayerData player(Player("Ema", 0));
    player.SetCarType(0);
    EXPECT_EQ(player.Load.Capacity, 0);
    EXPECT_THROW(player.SetCarType(8), ERangeError);
    EXPECT_THROW(player.SetCarType(-1), ERangeError);
    EXPECT_EQ(player.CarType, 0);

    player.Score = INT32_MAX - 1;
    player.AddScore(1);
    EXPECT_THROW(player.AddScore(1), ERangeError);
    EXPECT_EQ(player.Score, INT32_MAX);

    player.Load.Items[0] = INT32_MAX;
    player.Load.Items[1] = 1;
    EXPECT_THROW(player.Load.Total(), ERangeError);
}
