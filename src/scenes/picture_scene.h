#pragma once
#include <cstdint>
#include <optional>

// The picture scenes (start picture, beat pictures, slideshow, greetings, lumenkarp): one
// picture of the picture set stretched over the whole viewport, its first stored row
// (t = 0) along the bottom edge. `backdrop` says what lies under it: ClearedFrame when
// nothing has been drawn since the frame's clear (as for every picture scene), which lets
// an opaque picture skip additive blending over the black frame; Drawn assumes nothing.
enum class PictureBackdrop { ClearedFrame, Drawn };
void drawPicture(int32_t index, PictureBackdrop backdrop = PictureBackdrop::Drawn);

// The entry of the picture set (0..12) that drawPicture shows for `index`. Indices above
// 12 (a slideshow brought in early by the skip key keeps stepping) stay on the last picture;
// negative ones show nothing. The set is never read outside its 13 entries.
std::optional<int32_t> pictureSlotFor(int32_t index);

// Forgets what is known about the pictures' opacity (their textures are made anew).
void resetPictureScene();
