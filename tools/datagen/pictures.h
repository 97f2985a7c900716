#pragma once
#include "image.h"

// Full-screen pictures are stretched over the whole screen; shapes are laid out for a 16:9
// screen so that circles stay round there.
inline constexpr float ScreenAspect = 16.0f / 9.0f;

// Position of pixel (x, y) in screen-shaped coordinates: x in -aspect..aspect, y in -1..1 (up).
inline void screenCoords(const Image& img, int x, int y, float& u, float& v) {
    u = ((float(x) + 0.5f) / float(img.width) * 2.0f - 1.0f) * ScreenAspect;
    v = 1.0f - (float(y) + 0.5f) / float(img.height) * 2.0f;
}

// Sets every pixel to paint(u, v, x, y), with (u, v) from screenCoords.
template <typename Paint>
void paintScreen(Image& img, Paint paint) {
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            float u, v;
            screenCoords(img, x, y, u, v);
            setPixel(img, x, y, paint(u, v, x, y));
        }
}

// The five beat pictures (1..5), bold and each in a style of its own.
Image makeAbstractPicture(int number);
// The five rendered landscapes (1..5).
Image makePhoto(int number);
// Title card, greetings card, closing logo card.
Image makeTitleCard();
Image makeGreetingsCard();
Image makeLogoCard();
// Seamless textures and the plate picture of the closing scene.
Image makeCubeTexture();
Image makeBlueTexture();
Image makePlatePicture();

// Filmic curve for rendered light values (0..inf) to display 0..1, with gamma.
Rgb toneMap(Rgb c);
Rgb hsv(float h, float s, float v);  // hue in turns (0..1)
