#include "web/HighscoreSubmit.h"

#include "player/Config.h"
#include "uErrors.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr size_t MaxNick = 128; // bytes; the table never holds more, and the URL stays bounded
bool KeptAsIs(unsigned char byte) {
    return byte == '*' || byte == '-' || byte == '.' || byte == '@' || byte == '_' ||
           (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

// The insert request of one entry. The nick is cut to the table's 128 bytes, so the URL is never longer than
// the server's address and 500 characters.
std::string InsertUrl(const std::string& server, const THighscoreEntry& entry, int mission) {
    std::string nick = UrlEncode(entry.Nick.substr(0, MaxNick));
    char query[512]; // the path, at most 3 * 128 characters of nick and four 32-bit numbers
    std::snprintf(query, sizeof query,
                  "/games_kalmirov_highscore.php?action=insert&nick=%s&mission=%d&car=%d&score=%d&time=%d",
                  nick.c_str(), mission, int(entry.CarType), int(entry.Score), int(entry.TimeMs));
    return server + query;
}

} // namespace

std::string HighscoreServerAddress() {
    const char* fromEnvironment = std::getenv("KALMIROV_HIGHSCORE_SERVER");
    std::string server =
        fromEnvironment != nullptr && fromEnvironment[0] != '\0' ? fromEnvironment : Config().HighscoreServer;
    while (!server.empty() && server.back() == '/')
        server.pop_back();
    return server;
}

std::vector<std::string> InsertUrls(const THighscores& table, int mission, const std::string& server) {
    if (mission < 0 || mission >= HighscoreTables)
        throw ERangeError("Highscore table " + std::to_string(mission) + " out of range.");
    std::vector<std::string> urls;
    for (const THighscoreEntry& entry : table.Tables[size_t(mission)])
        if (!entry.Nick.empty() && entry.Score != 0)
            urls.push_back(InsertUrl(server, entry, mission));
    return urls;
}

std::string UrlEncode(const std::string& text) {
    static const char HEX[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(text.size() * 3);
    for (char c : text) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (byte == 0)
            break;
        if (KeptAsIs(byte)) {
            encoded.push_back(c);
        } else if (byte == ' ') {
            encoded.push_back('+');
        } else {
            encoded.push_back('%');
            encoded.push_back(HEX[byte >> 4]);
            encoded.push_back(HEX[byte & 0x0F]);
        }
    }
    return encoded;
}
