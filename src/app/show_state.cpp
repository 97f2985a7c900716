#include "app/show_state.h"

#include "app/audio_clock.h"
#include "app/frame.h"
#include "app/input.h"
#include "app/music.h"
#include "app/shell.h"
#include "app/transport.h"
#include "font/font_manager.h"
#include "platform/display.h"
#include "platform/random.h"
#include "render/frame_pixels.h"
#include "render/matrices.h"
#include "render/start_gl_state.h"
#include "scenes/cube_scene.h"
#include "scenes/opening_scene.h"
#include "scenes/particle_scene.h"
#include "scenes/picture_scene.h"
#include "scenes/warp_scenes.h"
#include "texture/image_prefetch.h"
#include "texture/texture_manager.h"
#include "texture/texture_names.h"
#include "texture/texture_sets.h"

void resetShowState() {
    // The application shell.
    resetShell();
    resetInput();
    resetShowClock();
    resetMusic();
    resetFrame();
    resetTransport();
    // The scenes and the render helpers.
    resetOpeningScene();
    resetParticleScene();
    resetPictureScene();
    resetWarpScenes();
    resetCubeScene();
    perspectiveMatrix = Matrix4{};
    resetFramePixels();
    resetStartGlState();
    // Fonts before textures, as at exit: the font registry's textures live in the other.
    destroyFontManager();
    stopImagePrefetch();
    destroyTextureManager();
    resetTextureSets();
    resetOwnTextureNames();
    // The platform's show-visible state.
    runtime::resetRand();
    setDesktopRect(DesktopRect{});
}

void rewindShowState() {
    rewindTimeline();
    rewindPictures();
    resetOpeningScene();
    resetWarpScenes();
    resetCubeScene();
    perspectiveMatrix = Matrix4{};
    resetFramePixels();
    currentFont = 0;
    // Kept: the picture scene's opacity verdicts, made once per texture from its pixels.
    // The particles take the generator's first draws, as at start-up.
    runtime::resetRand();
    rewindParticleScene();
    restoreStartGlState();
}
