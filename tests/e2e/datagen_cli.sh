#!/usr/bin/env bash
# datagen takes options as options wherever they stand: --help prints the usage and an
# unknown option is refused, and neither writes a single file.
source "$(dirname "$0")/lib/common.bash"
DATAGEN="$BUILD_DIR/tools/datagen/datagen"
mkdir "$WORK_DIR/empty"
cd "$WORK_DIR/empty"
"$DATAGEN" --help > ../usage.txt || fail "--help: exit $?"
grep -q '^usage: datagen' ../usage.txt || fail "--help printed: $(cat ../usage.txt)"
set +e
"$DATAGEN" --bogus out 2> ../err.txt
code=$?
set -e
[ "$code" = 2 ] || fail "unknown option: exit $code"
[ -z "$(ls -A)" ] || fail "files written: $(ls -A)"
echo "datagen command line: ok"
