#include "ScorePages.h"

#include "tables/GameConsts.h"

#include <cstdio>

namespace {

constexpr const char* STYLE = R"css(
body { font-family: "DejaVu Sans", Verdana, sans-serif; background: #eef1f4; color: #1d2733; margin: 0; }
header { background: #1d2733; color: #fff; padding: 18px 32px; }
header h1 { margin: 0; font-size: 26px; letter-spacing: 1px; }
header p { margin: 4px 0 0; color: #aab6c3; font-size: 14px; }
nav { padding: 10px 32px; background: #d9dfe6; font-size: 14px; }
nav a { display: inline-block; color: #1d2733; margin-right: 14px; text-decoration: none; line-height: 1.6; }
nav a:hover { text-decoration: underline; }
main { padding: 8px 32px 32px; }
section { background: #fff; border-radius: 6px; box-shadow: 0 1px 3px rgba(0,0,0,.15); margin: 18px 0;
          padding: 12px 18px; max-width: 860px; }
h2 { margin: 4px 0 10px; font-size: 19px; }
h2 span { color: #7a8794; font-weight: normal; font-size: 15px; margin-right: 6px; }
table { border-collapse: collapse; width: 100%; font-size: 15px; table-layout: fixed; }
col.rank { width: 5%; } col.nick { width: 43%; } col.car { width: 20%; } col.score { width: 14%; }
col.time { width: 18%; }
col.replay { width: 10%; } table.verified col.nick { width: 33%; }
h3 { margin: 14px 0 6px; font-size: 15px; color: #4a5866; }
p.proof { background: #fff8e0; border-left: 4px solid #e0b000; padding: 8px 12px; max-width: 836px; font-size: 14px; }
th { text-align: left; border-bottom: 2px solid #c7d0d9; padding: 6px 8px; color: #4a5866; }
td { padding: 5px 8px; border-bottom: 1px solid #e5e9ee; overflow-wrap: anywhere; }
tr:nth-child(even) td { background: #f6f8fa; }
td.num, th.num { text-align: right; font-variant-numeric: tabular-nums; }
td.rank { color: #7a8794; }
tr.first td { font-weight: bold; }
p.empty { color: #7a8794; font-style: italic; margin: 4px 0 8px; }
)css";

constexpr const char* TABLE_HEAD = R"html(<table>
<colgroup><col class="rank"><col class="nick"><col class="car"><col class="score"><col class="time"></colgroup>
<tr><th class="num">#</th><th>Nick</th><th>Car</th><th class="num">Score</th><th class="num">Time (s)</th></tr>
)html";

constexpr const char* VERIFIED_HEAD = R"html(<table class="verified">
<colgroup><col class="rank"><col class="nick"><col class="car"><col class="score"><col class="time"><col class="replay"></colgroup>
<tr><th class="num">#</th><th>Nick</th><th>Car</th><th class="num">Score</th><th class="num">Time (s)</th><th>Replay</th></tr>
)html";

std::string RunCells(int rank, const TRun& run) {
    return std::string(rank == 1 ? "<tr class=\"first\">" : "<tr>") + "<td class=\"num rank\">" +
           std::to_string(rank) + "</td><td>" + HtmlEscape(run.Nick) + "</td><td>" +
           HtmlEscape(CarName(run.CarType)) + "</td><td class=\"num\">" + std::to_string(run.Score) +
           "</td><td class=\"num\">" + FormatSeconds(run.TimeMs) + "</td>";
}

void AppendBoard(std::string& page, const TMissionBoard& board) {
    page += "<section id=\"mission-" + std::to_string(board.Mission) + "\">\n<h2><span>Mission " +
            std::to_string(board.Mission) + "</span>" + HtmlEscape(MissionName(board.Mission)) + "</h2>\n";
    if (board.Verified.empty()) {
        page += "<p class=\"empty\">No verified runs yet.</p>\n";
    } else {
        page += VERIFIED_HEAD;
        int rank = 0;
        for (const TVerifiedRun& run : board.Verified) {
            std::string id = std::to_string(run.Id);
            page += RunCells(++rank, run.Run) + "<td><a href=\"/api/runs/" + id +
                    "/replay\" download=\"kalmirov-run-" + id + ".dat\">replay</a></td></tr>\n";
        }
        page += "</table>\n";
    }
    if (!board.Unverified.empty()) {
        page += "<h3>Unverified (sent without a replay)</h3>\n";
        page += TABLE_HEAD;
        int rank = 0;
        for (const TRun& run : board.Unverified)
            page += RunCells(++rank, run) + "</tr>\n";
        page += "</table>\n";
    }
    page += "</section>\n";
}

} // namespace

std::string HtmlEscape(std::string_view text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&#39;";
            break;
        default:
            escaped.push_back(c);
        }
    }
    return escaped;
}

std::string JsonString(std::string_view text) {
    std::string json = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            json.push_back('\\');
            json.push_back(c);
        } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned char>(c));
            json += code;
        } else {
            json.push_back(c);
        }
    }
    return json + "\"";
}

std::string FormatSeconds(int32_t timeMs) {
    char text[32];
    std::snprintf(text, sizeof text, "%d.%03d", timeMs / 1000, timeMs % 1000);
    return text;
}

std::string MissionName(int mission) {
    return mission >= FirstMission && mission <= LastMission ? MissionTable[mission].Name.English : "?";
}

std::string CarName(int carType) {
    return carType >= 0 && carType <= LastCarType ? CarTable[carType].Name : "?";
}

std::string LeaderboardPage(const std::vector<TMissionBoard>& boards) {
    std::string page = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                       "<title>Kalmirov highscores</title>\n<style>";
    page += STYLE;
    page += "</style>\n</head>\n<body>\n<header><h1>Kalmirov highscores</h1>"
            "<p>The fastest runs of every mission</p></header>\n<nav><a href=\"/\">All missions</a>";
    for (int mission = FirstMission; mission <= LastMission; ++mission)
        page += "<a href=\"/?mission=" + std::to_string(mission) + "\">" + std::to_string(mission) + ". " +
                HtmlEscape(MissionName(mission)) + "</a>";
    page += "</nav>\n<main>\n<p class=\"proof\">A verified run was sent as its replay, and this server drove "
            "that replay again in its own copy of the game: its inputs, from its own start, reach the finish "
            "in exactly the time and score shown. Verification cannot tell a person from a program. "
            "Unverified runs were sent as bare numbers by older versions of the game.</p>\n";
    for (const TMissionBoard& board : boards)
        AppendBoard(page, board);
    page += "</main>\n</body>\n</html>\n";
    return page;
}

std::string RunsJson(const std::vector<TRun>& runs) {
    std::string json = "[";
    for (const TRun& run : runs) {
        if (json.size() > 1)
            json += ",";
        json += "{\"nick\":" + JsonString(run.Nick) + ",\"car\":" + std::to_string(run.CarType) +
                ",\"carName\":" + JsonString(CarName(run.CarType)) +
                ",\"score\":" + std::to_string(run.Score) + ",\"timeMs\":" + std::to_string(run.TimeMs) + "}";
    }
    return json + "]";
}

std::string VerifiedRunsJson(const std::vector<TVerifiedRun>& runs) {
    std::string json = "[";
    for (const TVerifiedRun& run : runs) {
        if (json.size() > 1)
            json += ",";
        std::string id = std::to_string(run.Id);
        json += "{\"id\":" + id + ",\"verified\":true,\"nick\":" + JsonString(run.Run.Nick) +
                ",\"car\":" + std::to_string(run.Run.CarType) +
                ",\"carName\":" + JsonString(CarName(run.Run.CarType)) +
                ",\"score\":" + std::to_string(run.Run.Score) +
                ",\"timeMs\":" + std::to_string(run.Run.TimeMs) + ",\"replay\":\"/api/runs/" + id +
                "/replay\"}";
    }
    return json + "]";
}
