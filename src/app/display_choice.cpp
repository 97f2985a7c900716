#include "app/display_choice.h"

std::string displayListText(const std::vector<DisplayInfo>& displays) {
    std::string text;
    for (const DisplayInfo& d : displays) {
        text += std::to_string(d.index) + ": " + (d.name.empty() ? "(no name)" : d.name) + " at " +
                std::to_string(d.bounds.left) + "," + std::to_string(d.bounds.top) + ", " +
                std::to_string(d.bounds.right - d.bounds.left) + "x" +
                std::to_string(d.bounds.bottom - d.bounds.top) + "\n";
    }
    return text;
}

std::string displayChoiceError(uint32_t index, size_t count) {
    if (index < count) return {};
    const std::string which = count == 1 ? "only display 0" : "displays 0 to " + std::to_string(count - 1);
    return "--display=" + std::to_string(index) + ": there is no display " + std::to_string(index) +
           " (this desktop has " + which + "; see --list-displays)";
}
