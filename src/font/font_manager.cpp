#include "font/font_manager.h"

int32_t currentFont = 0;

FontManager* FontManager::instance() { return nullptr; }
FontManager::FontManager() = default;
FontManager::~FontManager() = default;
uint32_t FontManager::addFontTexture(const std::string&) { return 0; }
void destroyFontManager() {}
