// Desktop GL 1.1 behaviour that the show relies on and the browser's fixed-function
// emulation (emscripten's legacy GL emulation over WebGL 1) lacks. Linked with --js-library,
// so these definitions take the place of the emulation's own where both exist.
mergeInto(LibraryManager.library, {
  // Texture names as on the desktop: binding a name that was never generated creates the
  // texture (the show binds its texture ids and reserved names directly), and generated
  // names are the lowest ones not in use (WebGL would number them with its other objects).
  glBindTexture__deps: ['$GL', '$texEnvModeAsFloat', '$texImageSizes'],
  glBindTexture: function(target, name) {
    var texture = GL.textures[name];
    if (name && !texture) {
      texture = GLctx.createTexture();
      texture.name = name;
      GL.textures[name] = texture;
    }
    GLctx.bindTexture(target, name ? texture : null);
    if (target == 0xDE1 /* TEXTURE_2D */) texImageSizes.bound = name ? texture : null;
  },

  // The size of each level's image, which WebGL cannot be asked for: recorded on the
  // texture object by glTexImage2D (the show uses texture unit 0 only).
  $texImageSizes: { bound: null },
  $texImageSizes__postset:
    'var uploadTexImage2D = _glTexImage2D;' +
    '_glTexImage2D = function(target, level, internalFormat, width, height) {' +
    '  uploadTexImage2D.apply(null, arguments);' +
    '  var texture = texImageSizes.bound;' +
    '  if (target == 0xDE1 && texture) (texture.levelSizes = texture.levelSizes || [])[level] = [width, height];' +
    '};',
  glGetTexLevelParameteriv__deps: ['$texImageSizes'],
  glGetTexLevelParameteriv: function(target, level, pname, value) {
    var texture = target == 0xDE1 ? texImageSizes.bound : null;
    var size = texture && texture.levelSizes && texture.levelSizes[level] || [0, 0];
    if (pname == 0x1000 /* TEXTURE_WIDTH */) HEAP32[value >> 2] = size[0];
    else if (pname == 0x1001 /* TEXTURE_HEIGHT */) HEAP32[value >> 2] = size[1];
    else GL.recordError(0x500 /* GL_INVALID_ENUM */);
  },

  glGenTextures__deps: ['$GL'],
  glGenTextures: function(count, names) {
    var name = 1;
    for (var i = 0; i < count; i++) {
      while (GL.textures[name]) name++;
      var texture = GLctx.createTexture();
      texture.name = name;
      GL.textures[name] = texture;
      HEAP32[(names >> 2) + i] = name;
    }
  },

  // Double-precision texture coordinates: the emulation keeps them as JS numbers anyway.
  glTexCoord2d__deps: ['glTexCoord2i'],
  glTexCoord2d: function(s, t) { _glTexCoord2i(s, t); },

  // The emulation takes GL_TEXTURE_ENV_MODE only through glTexEnvi; the show sets it with
  // glTexEnvf (the mode as a float). Wrapped after the emulation has installed its hooks.
  $texEnvModeAsFloat__deps: ['$GLImmediate'],
  $texEnvModeAsFloat__postset:
    'var emulatedTexEnvf = _glTexEnvf;' +
    '_glTexEnvf = function(target, pname, param) {' +
    '  if (pname == 0x2200) GLImmediate.TexEnvJIT.hook_texEnvi(target, pname, param);' +
    '  else emulatedTexEnvf(target, pname, param);' +
    '};',
  $texEnvModeAsFloat: {},

  // Residency priorities mean nothing to WebGL.
  glPrioritizeTextures: function(count, names, priorities) {},

  // State queries the emulation passes to WebGL unchanged, where they do not exist.
  glGetIntegerv__deps: ['$emscriptenWebGLGet', '$GLEmulation'],
  glGetIntegerv: function(name, value) {
    if (name == 0xB65) { // GL_FOG_MODE: kept by the emulation
      HEAP32[value >> 2] = GLEmulation.fogMode;
      return;
    }
    if (name == 0xBE1) name = 0x80C9; // GL_BLEND_SRC: WebGL's GL_BLEND_SRC_RGB
    else if (name == 0xBE0) name = 0x80C8; // GL_BLEND_DST: WebGL's GL_BLEND_DST_RGB
    emscriptenWebGLGet(name, value, {{{ cDefine('EM_FUNC_SIG_PARAM_I') }}});
  },

  // glPushAttrib / glPopAttrib for the groups the overlay saves: GL_ENABLE_BIT (the
  // capabilities the show uses, 2D texturing among them), GL_TRANSFORM_BIT (the matrix
  // mode) and GL_VIEWPORT_BIT. Other groups are not saved.
  $attribStack: [],
  $attribCapabilities: [0xB60 /* FOG */, 0xB50 /* LIGHTING */, 0xBC0 /* ALPHA_TEST */,
                        0xBE2 /* BLEND */, 0xB44 /* CULL_FACE */, 0xB71 /* DEPTH_TEST */,
                        0xC11 /* SCISSOR_TEST */, 0xBD0 /* DITHER */, 0xB90 /* STENCIL_TEST */],
  glPushAttrib__deps: ['$attribStack', '$attribCapabilities', '$GLImmediate', 'glIsEnabled'],
  glPushAttrib: function(mask) {
    var saved = { mask: mask };
    if (mask & 0x2000) { // GL_ENABLE_BIT
      saved.enabled = attribCapabilities.map(function(cap) { return _glIsEnabled(cap); });
      var unit = GLImmediate.TexEnvJIT.getActiveTexture();
      saved.texture2D = GLImmediate.TexEnvJIT.getTexUnitType(unit) == 0xDE1;
    }
    if (mask & 0x1000) saved.matrix = GLImmediate.currentMatrix; // GL_TRANSFORM_BIT
    if (mask & 0x800) saved.viewport = GLctx.getParameter(GLctx.VIEWPORT); // GL_VIEWPORT_BIT
    attribStack.push(saved);
  },

  glPopAttrib__deps: ['$attribStack', '$attribCapabilities', '$GLImmediate', '$GL', 'glIsEnabled',
                      'glEnable', 'glDisable', 'glMatrixMode'],
  glPopAttrib: function() {
    var saved = attribStack.pop();
    if (!saved) {
      GL.recordError(0x504 /* GL_STACK_UNDERFLOW */);
      return;
    }
    if (saved.enabled) {
      attribCapabilities.forEach(function(cap, i) {
        if (!!_glIsEnabled(cap) != !!saved.enabled[i]) (saved.enabled[i] ? _glEnable : _glDisable)(cap);
      });
      var unit = GLImmediate.TexEnvJIT.getActiveTexture();
      var texture2D = GLImmediate.TexEnvJIT.getTexUnitType(unit) == 0xDE1;
      if (texture2D != saved.texture2D) (saved.texture2D ? _glEnable : _glDisable)(0xDE1);
    }
    if (saved.matrix !== undefined)
      _glMatrixMode(saved.matrix == 0 ? 0x1700 : saved.matrix == 1 ? 0x1701 : 0x1702);
    if (saved.viewport) GLctx.viewport(saved.viewport[0], saved.viewport[1], saved.viewport[2], saved.viewport[3]);
  },
});
