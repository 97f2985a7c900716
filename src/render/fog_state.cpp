#include "render/fog_state.h"

#include <GL/gl.h>

FogState readFogState() {
    FogState fog;
    fog.enabled = glIsEnabled(GL_FOG) == GL_TRUE;
    if (!fog.enabled) return fog;
    GLint mode = 0;
    glGetIntegerv(GL_FOG_MODE, &mode);
    fog.mode = mode;
    glGetFloatv(GL_FOG_START, &fog.start);
    glGetFloatv(GL_FOG_END, &fog.end);
    glGetFloatv(GL_FOG_COLOR, fog.colour.data());
    return fog;
}
