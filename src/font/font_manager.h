#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "font/data_table.h"

// The process-wide registry of fonts, built on first use from "data/fonts.data": one font
// per table row, its image (column "mapfile") loaded through the texture manager once per
// file name; rows naming the same file share the texture.
class FontManager {
public:
    // Registers destroyFontManager with atexit (once per process), then builds the manager
    // when there is none.
    static FontManager* instance();
    virtual ~FontManager();

    // Loads an image as a texture (priority 0) and appends its id; returns the id.
    uint32_t addFontTexture(const std::string& fileName);

    std::vector<uint32_t> fontTextures;     // texture id of each font row, in row order
    std::unique_ptr<DataTable> fontTable;   // the font definition file (columns mapfile,
                                            // xspace, yspace); never null once built

private:
    FontManager();
};

// Row index of the font that drawText uses; 0 once the manager is built.
extern int32_t currentFont;

// Exit routine: deletes the manager (if any) and clears the instance pointer. The font
// textures stay with the texture manager. Also the reset of the show's state, with
// currentFont set back to 0.
void destroyFontManager();
