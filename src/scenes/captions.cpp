#include "scenes/captions.h"

#include <array>

namespace {
constexpr std::array<CaptionLine, 1> EventLines = {{{10, 140, "Presented at Vesk"}}};
constexpr std::array<CaptionLine, 2> CodeLines = {
    {{20, 20, "Code"}, {20, 80, "Tovalin\nMurdoquin\nVelorn\nOstrik"}}};
constexpr std::array<CaptionLine, 2> MusicLines = {{{20, 20, "Music"}, {20, 80, "Murdoquin"}}};
}  // namespace

std::span<const CaptionLine> captionLinesAt(uint32_t now) {
    if (now > 13000) return MusicLines;
    if (now > 8000) return CodeLines;
    if (now > 3000) return EventLines;
    return {};
}
