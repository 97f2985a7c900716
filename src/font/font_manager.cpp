#include "font/font_manager.h"

#include <cstdlib>
#include <map>

#include "texture/texture_manager.h"

int32_t currentFont = 0;

namespace {
FontManager* fontManager = nullptr;
bool exitRoutineRegistered = false;
}

FontManager* FontManager::instance() {
    if (fontManager == nullptr) {
        if (!exitRoutineRegistered) exitRoutineRegistered = std::atexit(destroyFontManager) == 0;
        fontManager = new FontManager();
    }
    return fontManager;
}

FontManager::FontManager() : fontTable(readDataTable("data/fonts.data")) {
    // Rows that name the same image share its texture: a table of many rows would otherwise
    // load and keep one copy of the image per row (gigabytes for ten thousand rows).
    std::map<std::string, uint32_t> loaded;  // file name -> texture id
    for (int32_t row = 0; row < fontTable->getRowCount(); ++row) {
        const std::string file = fontTable->cell(row, "mapfile");
        const auto known = loaded.find(file);
        if (known != loaded.end())
            fontTextures.push_back(known->second);
        else
            loaded.emplace(file, addFontTexture(file));
    }
    currentFont = 0;
}

FontManager::~FontManager() = default;

uint32_t FontManager::addFontTexture(const std::string& fileName) {
    const uint32_t id = TextureManager::instance()->loadTexture(fileName, 0.0f);
    fontTextures.push_back(id);
    return id;
}

void destroyFontManager() {
    delete fontManager;
    fontManager = nullptr;
    currentFont = 0;
}
