#include "font/text_drawing.h"

void drawText(int32_t, int32_t, int32_t, int32_t, std::string) {}
