// printf-style formatting into a string, for the numbers the screens show ("%.2f", "%d / %d").
#pragma once

#include <cstdio>
#include <string>

template <typename... TValues> std::string Format(const char* pattern, TValues... values) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, pattern, values...);
    return buffer;
}
