// Batching of immediate-mode primitives for the browser's fixed-function emulation. Each
// glBegin/glEnd pair costs the emulation a draw call of its own, and the particle scene
// draws 575 sprites a frame that way. Here consecutive primitives drawn with the same
// colour and the same vertex layout are collected and drawn as one list of triangles as
// soon as anything else happens: every other GL entry point the show calls (the list
// below; scripts/web.sh checks that the program imports no other) draws the collected
// primitives first, so drawing and state changes keep the show's order. A primitive drawn
// alone reaches the emulation exactly as the show made it.

// Entry points that only read or change state: they draw what is pending first.
var batchFlushers = [
  'glBindTexture', 'glBlendFunc', 'glClear', 'glClearColor', 'glDeleteTextures', 'glDisable',
  'glEnable', 'glFogf', 'glFrustum', 'glGenTextures', 'glGetError', 'glGetFloatv',
  'glGetIntegerv', 'glGetTexLevelParameteriv', 'glIsEnabled', 'glIsTexture', 'glLoadIdentity',
  'glLoadMatrixf', 'glMatrixMode', 'glMultMatrixf', 'glPixelStorei', 'glPopAttrib',
  'glPopMatrix', 'glPrioritizeTextures', 'glPushAttrib', 'glPushMatrix', 'glReadPixels',
  'glRotated', 'glRotatef', 'glScissor', 'glTexEnvf', 'glTexImage2D', 'glTexParameteri',
  'glTranslatef', 'glViewport', 'gluOrtho2D', 'eglSwapBuffers'];

// Entry points that make primitives: replaced below by ones that collect them.
var batchMakers = ['glBegin', 'glEnd', 'glVertex2i', 'glVertex2f', 'glVertex3f', 'glTexCoord2i',
                   'glTexCoord2f', 'glTexCoord2d', 'glColor4f'];

mergeInto(LibraryManager.library, {
  $ImmediateBatch: {
    open: null,     // the primitive being made: { mode, xyzw: [x, y, z, w, ...], st: [s, t, ...] }
    texcoord: null, // [s, t] given since glBegin, null before the first
    pending: [],    // finished primitives not drawn yet: same layout, same colour
    vertices: 0,    // vertices of the pending primitives as triangles
    real: {},       // the emulation's own entry points, by role

    // Largest batch, vertices: well within the emulation's 2 MB vertex buffer.
    MAX_VERTICES: 30000,

    batchable: function(mode) {
      return mode == 0x4 /* TRIANGLES */ || mode == 0x5 /* TRIANGLE_STRIP */ || mode == 0x7 /* QUADS */;
    },

    // Vertex indices of a primitive's triangles, in the order and winding WebGL draws them.
    triangles: function(mode, count) {
      var indices = [];
      if (mode == 0x4) {
        for (var i = 0; i + 2 < count; i += 3) indices.push(i, i + 1, i + 2);
      } else if (mode == 0x5) {
        for (var i = 0; i + 2 < count; i++) {
          if (i % 2 == 0) indices.push(i, i + 1, i + 2);
          else indices.push(i + 1, i, i + 2);
        }
      } else {
        for (var i = 0; i + 3 < count; i += 4) indices.push(i, i + 1, i + 2, i, i + 2, i + 3);
      }
      return indices;
    },

    emit: function(mode, primitives, orderOf) {
      var real = ImmediateBatch.real;
      real.begin(mode);
      primitives.forEach(function(p) {
        orderOf(p).forEach(function(i) {
          if (p.st) real.texCoord(p.st[2 * i], p.st[2 * i + 1]);
          real.vertex3(p.xyzw[4 * i], p.xyzw[4 * i + 1], p.xyzw[4 * i + 2]);
        });
      });
      real.end();
    },

    flush: function() {
      var pending = ImmediateBatch.pending;
      if (pending.length == 0) return;
      ImmediateBatch.pending = [];
      ImmediateBatch.vertices = 0;
      if (pending.length == 1) {
        ImmediateBatch.emit(pending[0].mode, pending, ImmediateBatch.identity);
      } else {
        ImmediateBatch.emit(0x4, pending, function(p) {
          return ImmediateBatch.triangles(p.mode, p.xyzw.length / 4);
        });
      }
    },

    identity: function(p) {
      var order = [];
      for (var i = 0; i < p.xyzw.length / 4; i++) order.push(i);
      return order;
    },

    begin: function(mode) {
      ImmediateBatch.open = { mode: mode, xyzw: [], st: [] };
      ImmediateBatch.texcoord = null;
    },

    vertex: function(x, y, z) {
      var p = ImmediateBatch.open;
      p.xyzw.push(x, y, z, 1);
      if (ImmediateBatch.texcoord) p.st.push(ImmediateBatch.texcoord[0], ImmediateBatch.texcoord[1]);
    },

    end: function() {
      var p = ImmediateBatch.open;
      ImmediateBatch.open = null;
      var vertices = p.xyzw.length / 4;
      // Vertices before the first texture coordinate: the emulation cannot draw such a
      // primitive in one piece either; it goes on alone, as made.
      var alone = !ImmediateBatch.batchable(p.mode) || (p.st.length > 0 && p.st.length / 2 != vertices);
      if (p.st.length == 0) p.st = null;
      var count = ImmediateBatch.triangles(p.mode, vertices).length;
      var pending = ImmediateBatch.pending;
      if (alone || (pending.length > 0 && !!p.st != !!pending[0].st) ||
          ImmediateBatch.vertices + count > ImmediateBatch.MAX_VERTICES) {
        ImmediateBatch.flush();
      }
      if (alone) {
        ImmediateBatch.emit(p.mode, [p], ImmediateBatch.identity);
        return;
      }
      pending.push(p);
      ImmediateBatch.vertices += count;
    },

    // The current colour is about to become r, g, b, a (clamped to 0..1 as GL does):
    // primitives made with another colour are drawn first.
    colour: function(r, g, b, a) {
      var next = [r, g, b, a].map(function(c) { return Math.fround(Math.max(0, Math.min(1, c))); });
      var current = GLImmediate.clientColor;
      if (!next.every(function(c, i) { return c == current[i]; })) ImmediateBatch.flush();
    },
  },

  immediateBatchInstall__deps: ['$ImmediateBatch', '$GLImmediate', '$texEnvModeAsFloat'],
  immediateBatchInstall__postset:
    batchFlushers.map(function(name) {
      return 'if (typeof _' + name + ' == "function") { let real = _' + name + '; _' + name +
             ' = function() { ImmediateBatch.flush(); return real.apply(null, arguments); }; }';
    }).join('\n') + '\n' +
    'ImmediateBatch.real = { begin: _glBegin, end: _glEnd, vertex3: _glVertex3f, texCoord: _glTexCoord2i };\n' +
    '_glBegin = function(mode) { ImmediateBatch.begin(mode); };\n' +
    '_glEnd = function() { ImmediateBatch.end(); };\n' +
    '_glVertex3f = function(x, y, z) { ImmediateBatch.vertex(x, y, z); };\n' +
    '_glVertex2i = _glVertex2f = function(x, y) { ImmediateBatch.vertex(x, y, 0); };\n' +
    '_glTexCoord2i = _glTexCoord2f = _glTexCoord2d = function(s, t) { ImmediateBatch.texcoord = [s, t]; };\n' +
    '{ let real = _glColor4f; _glColor4f = function(r, g, b, a) {' +
    ' if (ImmediateBatch.open) throw "glColor between glBegin and glEnd is not supported";' +
    ' ImmediateBatch.colour(r, g, b, a); real(r, g, b, a); }; }',
  // Included by -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE; its postset does the work.
  immediateBatchInstall: function() {},
});
