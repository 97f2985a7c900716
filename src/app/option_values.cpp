#include "app/option_values.h"

#include <charconv>

bool parseWholeNumber(const std::string& text, uint64_t low, uint64_t high, uint64_t& value) {
    if (text.empty() || text.size() > 20) return false;
    uint64_t parsed = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, parsed);
    if (error != std::errc() || stop != end || parsed < low || parsed > high) return false;
    value = parsed;
    return true;
}

bool parseRangeValue(const std::string& text, uint64_t low, uint64_t high, uint64_t& from,
                     uint64_t& to) {
    const size_t dash = text.find('-');
    if (dash == std::string::npos) return false;
    uint64_t a = 0, b = 0;
    if (!parseWholeNumber(text.substr(0, dash), low, high, a) ||
        !parseWholeNumber(text.substr(dash + 1), low, high, b) || a >= b)
        return false;
    from = a;
    to = b;
    return true;
}

bool parseSizeValue(const std::string& text, int minSide, int maxSide, int& width, int& height) {
    const size_t x = text.find('x');
    if (x == std::string::npos) return false;
    uint64_t w = 0, h = 0;
    if (!parseWholeNumber(text.substr(0, x), uint64_t(minSide), uint64_t(maxSide), w) ||
        !parseWholeNumber(text.substr(x + 1), uint64_t(minSide), uint64_t(maxSide), h))
        return false;
    width = int(w);
    height = int(h);
    return true;
}

std::string programName(const char* argv0, const std::string& fallback) {
    const std::string path = argv0 != nullptr ? argv0 : "";
    const std::string name = path.substr(path.find_last_of('/') + 1);
    return name.empty() ? fallback : name;
}
