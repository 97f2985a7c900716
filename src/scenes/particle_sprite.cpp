#include "scenes/particle_sprite.h"

SpriteImage makeParticleSprite() {
    SpriteImage image{};
    for (int row = 0; row < SpriteSize; ++row) {
        for (int column = 0; column < SpriteSize; ++column) {
            const int qr = row < 8 ? row : SpriteSize - 1 - row;
            const int qc = column < 8 ? column : SpriteSize - 1 - column;
            const uint8_t alpha = SpriteQuadrant[qr][qc];
            const uint8_t white = alpha > 0 ? 255 : 0;
            uint8_t* pixel = &image[std::size_t(row * SpriteSize + column) * 4];
            pixel[0] = white;
            pixel[1] = white;
            pixel[2] = white;
            pixel[3] = alpha;
        }
    }
    return image;
}
