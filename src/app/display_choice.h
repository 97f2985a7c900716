#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/desktop_display.h"

// The player's choice of monitor, as plain functions over what the video driver reports.

// --list-displays: one line per monitor, "INDEX: NAME at X,Y, WIDTHxHEIGHT" (its bounds in
// window coordinates), the primary (0) first.
std::string displayListText(const std::vector<DisplayInfo>& displays);

// Why --display=index names no monitor of the `count` there are; empty when it names one.
std::string displayChoiceError(uint32_t index, size_t count);
