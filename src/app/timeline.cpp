#include "app/timeline.h"

#include <cstddef>

#include "platform/random.h"

int32_t applyTimeline(int32_t sceneIndex, uint32_t now) {
    uint32_t endTime = 0;
    for (int32_t j = 1; j <= SceneCount; ++j) {
        endTime += Timeline[std::size_t(j - 1)];
        if (sceneIndex == j - 1 && endTime < now) sceneIndex = j;
    }
    return sceneIndex;
}

void pickPictureAfterParticles(PictureState& state) {
    state.currentPicture = runtime::rand() % 5 + 1;
}

void stepPictureBeats(PictureState& state, uint32_t now) {
    if (state.pictureCursor < PictureBeats.size() && now > PictureBeats[state.pictureCursor]) {
        state.currentPicture = runtime::rand() % 5 + 1;
        ++state.pictureCursor;
    }
}

void resetPicturesAfterWarp(PictureState& state) {
    state.currentPicture = 5;
    state.pictureCursor = 0;
}

void stepPictureSlideshow(PictureState& state, uint32_t now) {
    if (now - state.pictureCursor > 1500u) {
        ++state.currentPicture;
        state.pictureCursor = now;
    }
}
