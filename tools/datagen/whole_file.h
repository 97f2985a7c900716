#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Writes `bytes` as the file `path`, whole or not at all: into a temporary of its own
// beside it, renamed over `path` only once every byte is written and the file closed
// without error. On failure (a full disk, say) the temporary is removed, `path` is left as
// it was, and a std::runtime_error says why in one line.
void writeWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);
