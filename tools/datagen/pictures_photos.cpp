#include "noise.h"
#include "pictures.h"

#include <algorithm>
#include <cmath>

namespace {

struct Vec3 {
    float x = 0, y = 0, z = 0;
};
Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Vec3 normalize(Vec3 a) { return a * (1.0f / std::sqrt(dot(a, a))); }

// One landscape: terrain shape, water, light and air.
struct Scene {
    uint32_t seed;
    float terrainScale;   // horizontal size of features (world units)
    float terrainHeight;  // world units
    float ridged;         // 0 = rolling hills, 1 = sharp ridges
    float waterLevel;     // world units; below the terrain's low points = no water
    Vec3 camera, target;
    Vec3 sunDir;
    Rgb sunColour, skyZenith, skyHorizon, fogColour;
    float fogDensity;     // per world unit
    float cloudCover;     // 0..1
    Rgb lowColour, highColour, snowColour;
    float snowLine;       // world height where snow starts
};

float terrainAt(const Scene& s, float x, float z, int octaves) {
    const float px = x / s.terrainScale, pz = z / s.terrainScale;
    float sum = 0.0f, amp = 0.5f, norm = 0.0f;
    float fx = px, fz = pz;
    for (int i = 0; i < octaves; ++i) {
        float n = valueNoise(fx, fz, s.seed + uint32_t(i) * 77U);
        const float ridge = 1.0f - std::abs(n);
        n = n * (1.0f - s.ridged) + (ridge * ridge * 2.0f - 1.0f) * s.ridged;
        sum += amp * n;
        norm += amp;
        const float nx = 1.6f * fx + 1.2f * fz, nz = -1.2f * fx + 1.6f * fz;
        fx = nx; fz = nz;
        amp *= i == 0 ? 0.45f : 0.42f;
    }
    // Flatten the valleys a little, like sediment.
    const float h = sum / norm;
    return s.terrainHeight * (h > 0.0f ? h : h * 0.55f);
}

Vec3 terrainNormal(const Scene& s, float x, float z, float t) {
    const float e = std::max(0.02f, 0.0015f * t);
    const float h = terrainAt(s, x, z, 8);
    const float hx = terrainAt(s, x + e, z, 8) - h;
    const float hz = terrainAt(s, x, z + e, 8) - h;
    return normalize({-hx, e, -hz});
}

// Distance along the ray to the terrain, or -1 when the ray leaves the scene.
float marchTerrain(const Scene& s, Vec3 o, Vec3 d, float maxT) {
    float t = 0.5f, lastT = t, lastH = 0.0f;
    for (int i = 0; i < 220 && t < maxT; ++i) {
        const Vec3 p = o + d * t;
        const float h = p.y - terrainAt(s, p.x, p.z, 6);
        if (h < 0.002f * t) {
            // Refine between the last point above and this one.
            return lastT + (t - lastT) * lastH / std::max(1e-4f, lastH - h);
        }
        lastT = t;
        lastH = h;
        t += std::max(0.35f * h, 0.004f * t + 0.02f);
    }
    return -1.0f;
}

float softShadow(const Scene& s, Vec3 p, Vec3 l) {
    float res = 1.0f, t = 0.3f;
    for (int i = 0; i < 20 && t < 60.0f; ++i) {
        const Vec3 q = p + l * t;
        const float h = q.y - terrainAt(s, q.x, q.z, 4);
        res = std::min(res, 10.0f * h / t);
        if (res < 0.0f) return 0.0f;
        t += std::max(0.35f, h * 0.8f);
    }
    return std::clamp(res, 0.0f, 1.0f);
}

Rgb sky(const Scene& s, Vec3 d) {
    const float up = std::max(d.y, 0.0f);
    Rgb c = mix(s.skyHorizon, s.skyZenith, std::pow(up, 0.4f));
    const float sd = std::max(dot(d, s.sunDir), 0.0f);
    c = c + s.sunColour * (0.35f * std::pow(sd, 8.0f) + 0.6f * std::pow(sd, 64.0f));
    if (sd > 0.9995f) c = c + s.sunColour * 18.0f;
    // Clouds on a plane high above.
    if (d.y > 0.01f && s.cloudCover > 0.0f) {
        const float k = 60.0f / d.y;
        const float cx = d.x * k * 0.02f, cz = d.z * k * 0.02f;
        float n = fbm(cx, cz, 6, s.seed + 500U) * 0.5f + 0.5f;
        n = smoothstep(1.0f - s.cloudCover, 1.05f - s.cloudCover * 0.4f, n);
        const Rgb lit = mix(s.skyHorizon * 0.9f + Rgb{0.1f, 0.1f, 0.1f}, s.sunColour * 1.1f, std::pow(sd, 4.0f));
        c = mix(c, lit, n * smoothstep(0.01f, 0.15f, d.y));
    }
    return c;
}

Rgb fog(const Scene& s, Rgb c, Vec3 d, float t) {
    const float f = 1.0f - std::exp(-t * s.fogDensity);
    const float sd = std::max(dot(d, s.sunDir), 0.0f);
    const Rgb air = mix(s.fogColour, s.sunColour, std::pow(sd, 8.0f) * 0.5f);
    return mix(c, air, f);
}

Rgb shadeTerrain(const Scene& s, Vec3 p, Vec3 d, float t) {
    const Vec3 n = terrainNormal(s, p.x, p.z, t);
    const float slope = n.y;
    const float rel = p.y / s.terrainHeight;
    Rgb albedo = mix(s.lowColour, s.highColour, smoothstep(0.55f, 0.85f, slope) * 0.2f +
                                                    smoothstep(-0.1f, 0.5f, rel) * 0.8f);
    // Rock on steep faces.
    albedo = mix(Rgb{0.28f, 0.25f, 0.22f}, albedo, smoothstep(0.55f, 0.8f, slope));
    const float grain = fbm(p.x * 2.0f, p.z * 2.0f, 3, s.seed + 900U);
    albedo = albedo * (0.85f + 0.3f * grain);
    const float snow = smoothstep(s.snowLine - 0.4f, s.snowLine + 0.4f, p.y + grain * 0.6f) *
                       smoothstep(0.6f, 0.85f, slope);
    albedo = mix(albedo, s.snowColour, snow);
    const float diff = std::max(dot(n, s.sunDir), 0.0f);
    const float sh = diff > 0.0f ? softShadow(s, p + n * 0.05f, s.sunDir) : 0.0f;
    const Rgb skyLight = s.skyZenith * (0.35f * (0.5f + 0.5f * n.y));
    const Rgb bounce = s.fogColour * (0.12f * (1.0f - n.y));
    const Rgb light = s.sunColour * (1.6f * diff * sh) + skyLight + bounce;
    return fog(s, albedo * light, d, t);
}

Rgb trace(const Scene& s, Vec3 o, Vec3 d) {
    const float maxT = 400.0f;
    float t = marchTerrain(s, o, d, maxT);
    // Water plane.
    if (d.y < 0.0f) {
        const float tw = (s.waterLevel - o.y) / d.y;
        if (tw > 0.0f && (t < 0.0f || tw < t)) {
            const Vec3 p = o + d * tw;
            const float rx = fbm(p.x * 1.5f, p.z * 4.0f, 4, s.seed + 300U);
            const float rz = fbm(p.x * 1.5f + 9.0f, p.z * 4.0f, 4, s.seed + 301U);
            const float amp = 0.06f / (1.0f + tw * 0.02f);
            const Vec3 n = normalize({rx * amp, 1.0f, rz * amp});
            Vec3 r = d - n * (2.0f * dot(d, n));
            r.y = std::abs(r.y);
            const float fres = 0.02f + 0.98f * std::pow(1.0f - std::max(-dot(d, n), 0.0f), 5.0f);
            Rgb refl;
            const float tr = marchTerrain(s, p + Vec3{0, 0.02f, 0}, r, maxT * 0.5f);
            if (tr > 0.0f) refl = shadeTerrain(s, p + r * tr, r, tr);
            else refl = sky(s, r);
            const Rgb deep = Rgb{0.02f, 0.06f, 0.08f} + s.skyZenith * 0.06f;
            return fog(s, mix(deep, refl, std::min(1.0f, fres + 0.15f)), d, tw);
        }
    }
    if (t > 0.0f) return shadeTerrain(s, o + d * t, d, t);
    return fog(s, sky(s, d), d, maxT * 0.15f);
}

Scene sceneFor(int number) {
    Scene s{};
    switch (number) {
        case 1:  // alpine lake at sunset
            s = {101, 14.0f, 7.0f, 0.8f, -0.6f, {0, 2.6f, 0}, {0, 1.2f, -10}, normalize({0.6f, 0.12f, -1}),
                 {1.6f, 0.85f, 0.45f}, {0.14f, 0.26f, 0.6f}, {0.95f, 0.6f, 0.4f}, {0.7f, 0.55f, 0.5f},
                 0.007f, 0.45f, {0.16f, 0.2f, 0.08f}, {0.3f, 0.28f, 0.2f}, {0.95f, 0.95f, 1.0f}, 3.2f};
            break;
        case 2:  // open sea under a bright noon sky with islands
            s = {202, 9.0f, 3.0f, 0.2f, 0.2f, {0, 1.0f, 0}, {0, 0.7f, -10}, normalize({-0.3f, 0.7f, -0.8f}),
                 {1.5f, 1.4f, 1.25f}, {0.12f, 0.32f, 0.75f}, {0.6f, 0.75f, 0.9f}, {0.6f, 0.72f, 0.85f},
                 0.008f, 0.55f, {0.2f, 0.3f, 0.1f}, {0.35f, 0.4f, 0.2f}, {1, 1, 1}, 99.0f};
            break;
        case 3:  // desert canyon in golden light
            s = {303, 18.0f, 9.0f, 0.55f, -9.0f, {0, 6.0f, 0}, {2, 2.5f, -10}, normalize({-0.8f, 0.3f, -0.4f}),
                 {1.7f, 1.15f, 0.7f}, {0.1f, 0.3f, 0.8f}, {0.75f, 0.72f, 0.68f}, {0.8f, 0.7f, 0.6f},
                 0.005f, 0.15f, {0.6f, 0.35f, 0.18f}, {0.75f, 0.5f, 0.3f}, {1, 1, 1}, 99.0f};
            break;
        case 4:  // blue hour over a fjord, a low moon
            s = {404, 11.0f, 6.0f, 0.9f, 1.8f, {0, 1.0f, 0}, {0, 1.8f, -10}, normalize({0.15f, 0.12f, -1}),
                 {0.8f, 0.85f, 1.0f}, {0.05f, 0.09f, 0.25f}, {0.45f, 0.5f, 0.75f}, {0.3f, 0.35f, 0.55f},
                 0.012f, 0.25f, {0.06f, 0.1f, 0.08f}, {0.15f, 0.17f, 0.2f}, {0.8f, 0.85f, 1.0f}, 2.2f};
            break;
        default:  // misty green hills at dawn
            s = {505, 8.0f, 3.5f, 0.0f, -0.8f, {0, 2.2f, 0}, {0, 0.8f, -10}, normalize({0.9f, 0.1f, -0.7f}),
                 {1.6f, 1.0f, 0.7f}, {0.35f, 0.45f, 0.65f}, {0.95f, 0.75f, 0.65f}, {0.85f, 0.75f, 0.7f},
                 0.045f, 0.3f, {0.15f, 0.3f, 0.08f}, {0.3f, 0.4f, 0.15f}, {1, 1, 1}, 99.0f};
            break;
    }
    // Keep the camera above the ground and the water.
    const float ground = std::max(terrainAt(s, s.camera.x, s.camera.z, 9), s.waterLevel);
    s.camera.y += ground;
    s.target.y += ground * 0.5f;
    return s;
}

}  // namespace

Rgb toneMap(Rgb c) {
    auto curve = [](float x) {
        x = std::max(x, 0.0f);
        const float y = (x * (2.51f * x + 0.03f)) / (x * (2.43f * x + 0.59f) + 0.14f);
        return std::pow(std::clamp(y, 0.0f, 1.0f), 1.0f / 2.2f);
    };
    return {curve(c.r), curve(c.g), curve(c.b)};
}

Image makePhoto(int number) {
    const Scene s = sceneFor(number);
    // 512 x 256 keeps the build fast; filtering and grain hide the softness when stretched.
    Image img(512, 256);
    const Vec3 fw = normalize(s.target - s.camera);
    const Vec3 right = normalize(cross(fw, {0, 1, 0}));
    const Vec3 up = cross(right, fw);
    const float lens = 1.6f;
    paintScreen(img, [&](float u, float v, int x, int y) {
            const Vec3 d = normalize(fw * lens + right * u + up * v);
            Rgb c = toneMap(trace(s, s.camera, d) * 1.1f);
            // Lens vignette and a little film grain, as a camera would give.
            const float vig = 1.0f - 0.22f * (u * u / (ScreenAspect * ScreenAspect) + v * v);
            const float grain = (hashUnit(x, y, s.seed + 7U) - 0.5f) * 0.025f;
            return Rgb{c.r + grain, c.g + grain, c.b + grain} * vig;
        });
    return img;
}
