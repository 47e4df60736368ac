#include "uErrors.h"
#include "uPlatform.h"

#include <filesystem>

std::string ErrorText(const std::exception& error) {
    std::string text = error.what();
    if (text.find(NativePath(".\\data\\")) == std::string::npos)
        return text;
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::absolute(DataFolder(), ec).lexically_normal();
    text += "\r\nThe game looks for its data in " + folder.string();
    if (!std::filesystem::is_directory(folder, ec))
        text += ", a folder that does not exist: name the folder that holds the data in KALMIROV_DATA";
    return text + ".";
}

std::string FormatMessage(const std::string& pattern, const std::string& value) {
    std::string::size_type at = pattern.find("%s");
    if (at == std::string::npos)
        return pattern;
    return pattern.substr(0, at) + value + pattern.substr(at + 2);
}
