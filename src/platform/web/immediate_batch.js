// Batching of immediate-mode primitives for the browser's fixed-function emulation. Each
// glBegin/glEnd pair costs the emulation a draw call of its own, with a dozen WebGL calls
// around it, and the particle scene draws 575 sprites a frame that way, each in a colour of
// its own. Here consecutive primitives drawn with the same vertex layout are collected and
// drawn as one list of triangles as soon as anything else happens: every other GL entry
// point the show calls (the list below; scripts/web.sh checks that the program imports no
// other) draws the collected primitives first, so drawing and state changes keep the show's
// order. Each vertex of the list carries its primitive's colour as four floats: the vertex
// shader reads the same values it would read from the current colour, so the pixels are the
// same. A primitive drawn alone reaches the emulation exactly as the show made it.
// A primitive made while the scissor test is on with an empty box (a show frame nobody
// sees) could not touch a pixel: it is dropped, and costs no draw call. The current colour
// and texture coordinate it leaves are kept all the same.

// Entry points that only read or change state: they draw what is pending first.
var batchFlushers = [
  'glBindTexture', 'glBlendFunc', 'glClear', 'glClearColor', 'glCopyTexImage2D',
  'glDeleteTextures', 'glDisable', 'glEnable', 'glFinish', 'glFogf', 'glFrustum',
  'glGenTextures', 'glGetError', 'glGetFloatv', 'glGetIntegerv', 'glGetTexLevelParameteriv',
  'glIsEnabled', 'glIsTexture', 'glLoadIdentity', 'glLoadMatrixf', 'glMatrixMode',
  'glMultMatrixf', 'glOrtho', 'glPixelStorei', 'glPopAttrib', 'glPopMatrix',
  'glPrioritizeTextures', 'glPushAttrib', 'glPushMatrix', 'glReadPixels', 'glRotated',
  'glRotatef', 'glScissor', 'glTexEnvf', 'glTexEnvi', 'glTexImage2D', 'glTexParameteri',
  'glTranslatef', 'glViewport', 'gluOrtho2D', 'eglSwapBuffers'];

// Entry points that make primitives: replaced below by ones that collect them.
var batchMakers = ['glBegin', 'glEnd', 'glVertex2i', 'glVertex2f', 'glVertex3f', 'glTexCoord2i',
                   'glTexCoord2f', 'glTexCoord2d', 'glColor4f'];

mergeInto(LibraryManager.library, {
  $ImmediateBatch: {
    // The primitive being made: per vertex s, t, x, y, z, with the texture coordinate given
    // last before the vertex.
    mode: -1,          // its mode; -1 outside glBegin/glEnd
    made: null,        // Float32Array, grown as needed
    count: 0,          // its vertices
    untextured: 0,     // its vertices made before the first texture coordinate
    textured: false,   // a texture coordinate was given since glBegin
    s: 0, t: 0,        // the texture coordinate given last
    emptyScissor: false, // the scissor box set last has no pixel

    // The collected primitives as one list of triangles: per vertex r, g, b, a, then s, t
    // when they are textured, then x, y, z, w.
    batch: null,       // Float32Array, grown as needed
    batchFloats: 0,    // floats of the batch in use
    batchTextured: false,
    primitives: 0,     // primitives collected
    vertices: 0,       // their vertices as triangles
    first: null,       // the first of them as made, for drawing it alone
    real: {},          // the emulation's own entry points, by role
    orders: {},        // triangles(mode, count) by mode and count

    // Largest batch, vertices (40 bytes each): well within the emulation's 2 MB vertex buffer.
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

    order: function(mode, count) {
      var byCount = ImmediateBatch.orders[mode] || (ImmediateBatch.orders[mode] = []);
      return byCount[count] || (byCount[count] = ImmediateBatch.triangles(mode, count));
    },

    // The primitive just made (in mode), copied.
    snapshot: function(mode) {
      var b = ImmediateBatch;
      return { mode: mode, made: b.made.slice(0, 5 * b.count), count: b.count, untextured: b.untextured,
               textured: b.textured, colour: new Float32Array(GLImmediate.clientColor) };
    },

    // A primitive as the show made it, in the colour it was made in.
    drawAlone: function(p) {
      var real = ImmediateBatch.real;
      var current = GLImmediate.clientColor;
      GLImmediate.clientColor = p.colour;
      real.begin(p.mode);
      for (var i = 0; i < p.count; i++) {
        var v = 5 * i;
        if (p.textured && i >= p.untextured) real.texCoord(p.made[v], p.made[v + 1]);
        real.vertex3(p.made[v + 2], p.made[v + 3], p.made[v + 4]);
      }
      real.end();
      GLImmediate.clientColor = current;
    },

    // Draws the collected primitives. Several go to the emulation as one primitive whose
    // vertices carry their colour as floats (the emulation's own glColor4f between glBegin
    // and glEnd would store bytes).
    flush: function() {
      var b = ImmediateBatch;
      if (b.primitives == 0) return;
      var first = b.first;
      var several = b.primitives > 1;
      b.primitives = 0;
      b.vertices = 0;
      b.first = null;
      if (!several) {
        b.batchFloats = 0;
        b.drawAlone(first);
        return;
      }
      b.real.begin(0x4);
      GLImmediate.vertexData.set(b.batch.subarray(0, b.batchFloats));
      GLImmediate.vertexCounter = b.batchFloats;
      b.batchFloats = 0;
      // The vertex layout, in the order of the batch.
      GLImmediate.addRendererComponent(GLImmediate.COLOR, 4, GLctx.FLOAT);
      if (b.batchTextured) GLImmediate.addRendererComponent(GLImmediate.TEXTURE0, 2, GLctx.FLOAT);
      GLImmediate.addRendererComponent(GLImmediate.VERTEX, 4, GLctx.FLOAT);
      b.real.end();
    },

    begin: function(mode) {
      var b = ImmediateBatch;
      b.mode = mode;
      b.count = 0;
      b.untextured = 0;
      b.textured = false;
    },

    texCoord: function(s, t) {
      var b = ImmediateBatch;
      b.s = s;
      b.t = t;
      b.textured = true;
    },

    vertex: function(x, y, z) {
      var b = ImmediateBatch;
      if (5 * b.count == b.made.length) {
        var grown = new Float32Array(2 * b.made.length);
        grown.set(b.made);
        b.made = grown;
      }
      var v = 5 * b.count++;
      b.made[v] = b.s;
      b.made[v + 1] = b.t;
      b.made[v + 2] = x;
      b.made[v + 3] = y;
      b.made[v + 4] = z;
      if (!b.textured) b.untextured = b.count;
    },

    end: function() {
      var b = ImmediateBatch;
      var mode = b.mode;
      b.mode = -1;
      // Turning the scissor test on or setting the box drew what was pending.
      if (b.emptyScissor && GLctx.isEnabled(GLctx.SCISSOR_TEST)) return;
      // Vertices before the first texture coordinate: the emulation cannot draw such a
      // primitive in one piece either; it goes on alone, as made.
      var alone = !b.batchable(mode) || (b.textured && b.untextured > 0);
      var order = b.order(mode, b.count);
      if (alone || (b.primitives > 0 && b.textured != b.batchTextured) ||
          b.vertices + order.length > b.MAX_VERTICES) {
        b.flush();
      }
      if (alone) {
        b.drawAlone(b.snapshot(mode));
        return;
      }
      if (b.primitives == 0) {
        b.first = b.snapshot(mode);
        b.batchTextured = b.textured;
      }
      var floats = b.batchFloats + order.length * (b.textured ? 10 : 8);
      if (floats > b.batch.length) {
        var grown = new Float32Array(Math.max(floats, 2 * b.batch.length));
        grown.set(b.batch.subarray(0, b.batchFloats));
        b.batch = grown;
      }
      var batch = b.batch, made = b.made, colour = GLImmediate.clientColor, at = b.batchFloats;
      for (var i = 0; i < order.length; i++) {
        var v = 5 * order[i];
        batch[at++] = colour[0];
        batch[at++] = colour[1];
        batch[at++] = colour[2];
        batch[at++] = colour[3];
        if (b.textured) {
          batch[at++] = made[v];
          batch[at++] = made[v + 1];
        }
        batch[at++] = made[v + 2];
        batch[at++] = made[v + 3];
        batch[at++] = made[v + 4];
        batch[at++] = 1;
      }
      b.batchFloats = at;
      b.primitives++;
      b.vertices += order.length;
    },
  },

  immediateBatchInstall__deps: ['$ImmediateBatch', '$GLImmediate', '$texEnvModeAsFloat'],
  immediateBatchInstall__postset:
    batchFlushers.map(function(name) {
      return 'if (typeof _' + name + ' == "function") { let real = _' + name + '; _' + name +
             ' = function() { ImmediateBatch.flush(); return real.apply(null, arguments); }; }';
    }).join('\n') + '\n' +
    'ImmediateBatch.made = new Float32Array(5 * 64);\n' +
    'ImmediateBatch.batch = new Float32Array(10 * 64);\n' +
    'ImmediateBatch.real = { begin: _glBegin, end: _glEnd, vertex3: _glVertex3f, texCoord: _glTexCoord2i };\n' +
    '_glBegin = function(mode) { ImmediateBatch.begin(mode); };\n' +
    '_glEnd = function() { ImmediateBatch.end(); };\n' +
    '_glVertex3f = function(x, y, z) { ImmediateBatch.vertex(x, y, z); };\n' +
    '_glVertex2i = _glVertex2f = function(x, y) { ImmediateBatch.vertex(x, y, 0); };\n' +
    '_glTexCoord2i = _glTexCoord2f = _glTexCoord2d = function(s, t) { ImmediateBatch.texCoord(s, t); };\n' +
    '{ let real = _glScissor; _glScissor = function(x, y, w, h) {' +
    ' ImmediateBatch.emptyScissor = w <= 0 || h <= 0; return real(x, y, w, h); }; }\n' +
    '{ let real = _glColor4f; _glColor4f = function(r, g, b, a) {' +
    ' if (ImmediateBatch.mode >= 0) throw "glColor between glBegin and glEnd is not supported";' +
    ' real(r, g, b, a); }; }',
  // Included by -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE; its postset does the work.
  immediateBatchInstall: function() {},
});
