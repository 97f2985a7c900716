#include "font/font_manager.h"

#include <cstdlib>

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
    for (int32_t row = 0; row < fontTable->getRowCount(); ++row)
        addFontTexture(fontTable->cell(row, "mapfile"));
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
