#pragma once
#include <cstdint>
#include <string>
#include <vector>

class DataTable;

// The process-wide registry of fonts, built on first use from "data/fonts.data".
class FontManager {
public:
    static FontManager* instance();
    virtual ~FontManager();

    // Loads an image as a texture (priority 0) and appends its id; returns the id.
    uint32_t addFontTexture(const std::string& fileName);

    std::vector<uint32_t> fontTextures;  // texture id of each font row, in row order
    DataTable* fontTable = nullptr;      // the font definition file; owned

private:
    FontManager();
};

// Row index of the font that drawText uses; 0 once the manager is built.
extern int32_t currentFont;

// Exit routine: deletes the manager (if any) and clears the instance pointer.
void destroyFontManager();
