#!/usr/bin/env python3
"""Fails when the built program imports a GL entry point that the immediate-mode batching
(src/platform/web/immediate_batch.js) does not know: such a call could change state while
primitives made before it are still waiting to be drawn.

Usage: check_imports.py SOLTAREK_JS IMMEDIATE_BATCH_JS"""
import re
import sys

program, batcher = (open(path).read() for path in sys.argv[1:3])
imports = re.search(r"var asmLibraryArg\s*=\s*\{(.*?)\}", program, re.S)
if not imports:
    sys.exit("check_imports: no import table in " + sys.argv[1])
used = set(re.findall(r":\s*_((?:gl|glu|egl)[A-Z]\w*)", imports.group(1)))
known = set(re.findall(r"'((?:gl|glu|egl)[A-Z]\w*)'", batcher))
unknown = sorted(used - known - {"eglChooseConfig", "eglCreateContext", "eglCreateWindowSurface",
                                 "eglGetDisplay", "eglGetError", "eglInitialize", "eglMakeCurrent"})
if unknown:
    sys.exit("check_imports: GL entry points unknown to the batching: " + ", ".join(unknown))
