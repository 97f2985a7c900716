#include "icon.h"

#include "pictures.h"

#include <algorithm>
#include <cmath>

namespace {

struct Vec {
    float x = 0, y = 0;
};

// The cube in icon units (0..1 across, y down), seen corner-on: from the front corner
// `Centre` the lid spans edges `Left` and `Right`, the walls hang down by `Down`.
constexpr float Radius = 0.46f;  // centre to each outer corner
constexpr Vec Centre{0.5f, 0.5f};
constexpr Vec Left{-Radius * 0.8660254f, -Radius * 0.5f};
constexpr Vec Right{Radius * 0.8660254f, -Radius * 0.5f};
constexpr Vec Down{0.0f, Radius};

// Coordinates (s, t) of point p on the face spanned by edges e and f from the front corner;
// true when p lies on that face (both within 0..1).
bool onFace(Vec p, Vec e, Vec f, float& s, float& t) {
    const float dx = p.x - Centre.x, dy = p.y - Centre.y;
    const float det = e.x * f.y - e.y * f.x;
    s = (dx * f.y - dy * f.x) / det;
    t = (e.x * dy - e.y * dx) / det;
    return s >= 0.0f && s <= 1.0f && t >= 0.0f && t <= 1.0f;
}

// Bilinear sample of a tiling texture at (u, v) in texture widths (wraps around).
Rgb sample(const Image& texture, float u, float v, float* alpha = nullptr) {
    const float x = u * float(texture.width) - 0.5f, y = v * float(texture.height) - 0.5f;
    const float fx = std::floor(x), fy = std::floor(y);
    const float wx = x - fx, wy = y - fy;
    auto texel = [&](int dx, int dy) {
        const int tx = ((int(fx) + dx) % texture.width + texture.width) % texture.width;
        const int ty = ((int(fy) + dy) % texture.height + texture.height) % texture.height;
        return texture.at(tx, ty);
    };
    Rgb c;
    float a = 0.0f;
    for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) {
            const float w = (dx != 0 ? wx : 1.0f - wx) * (dy != 0 ? wy : 1.0f - wy);
            const float* p = texel(dx, dy);
            c = c + Rgb{p[0], p[1], p[2]} * w;
            a += p[3] * w;
        }
    if (alpha != nullptr) *alpha = a;
    return c;
}

struct Art {
    Image metal = makeCubeTexture();
    Image caustics = makeBlueTexture();
    Image plate = makePlatePicture();
};

// Colour of the cube at point p, or false when p is off the cube. Each wall shows one
// plate of the metal (half the texture's width), lit less than the lid.
bool cubeColour(const Art& art, Vec p, Rgb& colour) {
    float s = 0, t = 0;
    if (onFace(p, Left, Right, s, t)) {
        float alpha = 0.0f;
        const Rgb emblem = sample(art.plate, 0.5f + (s - 0.5f) * 1.25f, 0.5f + (t - 0.5f) * 1.25f, &alpha);
        const bool inside = std::abs(s - 0.5f) < 0.4f && std::abs(t - 0.5f) < 0.4f;
        colour = sample(art.caustics, s * 0.5f, t * 0.5f) * 1.6f + (inside ? emblem * alpha : Rgb{});
    } else if (onFace(p, Left, Down, s, t)) {
        colour = sample(art.metal, (1.0f - s) * 0.5f, t * 0.5f) * 0.9f;
    } else if (onFace(p, Right, Down, s, t)) {
        colour = sample(art.metal, s * 0.5f, t * 0.5f) * 0.62f;
    } else {
        return false;
    }
    colour = {std::min(colour.r, 1.0f), std::min(colour.g, 1.0f), std::min(colour.b, 1.0f)};
    return true;
}

}  // namespace

Image makeIcon(int size) {
    static const Art art;
    Image icon(size, size);
    // Supersampled so that edges are smooth and the texture's detail is averaged, not
    // aliased, at small sizes: about 1024 samples across the icon, at least 4 per pixel side.
    const int grid = std::max(4, 1024 / size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            Rgb sum;
            int covered = 0;
            for (int j = 0; j < grid; ++j)
                for (int i = 0; i < grid; ++i) {
                    const Vec p{(float(x) + (float(i) + 0.5f) / float(grid)) / float(size),
                                (float(y) + (float(j) + 0.5f) / float(grid)) / float(size)};
                    Rgb c;
                    if (!cubeColour(art, p, c)) continue;
                    sum = sum + c;
                    ++covered;
                }
            const float coverage = float(covered) / float(grid * grid);
            setPixel(icon, x, y, covered > 0 ? sum * (1.0f / float(covered)) : Rgb{}, coverage);
        }
    return icon;
}
