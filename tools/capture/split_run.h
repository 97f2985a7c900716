#pragma once
#include <string>
#include <vector>

#include "capture_options.h"
#include "capture_run.h"

// A recording split into parts: each part a run of its own (another process here, or one
// on another machine), joined into one video whose video stream is the parts' streams
// copied one after the other and whose sound is the soundtrack muxed once for the whole
// range. Both return the exit status of the run (0, or 1 after a failure reported on
// stderr as one line) and leave no part files behind; targets.video is planned.

// --jobs: runs this program once per part (recorded_range.h: splitRanges) with `args` (the
// run's own arguments) less --jobs and --chapters, plus the part's --start, --end and a --video file of
// this run's own beside the output, all at once; then joins the parts into targets.video
// (claimed). A failed part fails the whole run with its reason; the others are stopped.
int recordInParts(const CaptureOptions& options, const std::vector<std::string>& args,
                  CaptureTargets& targets);

// --join: checks that options.joinParts are consecutive ranges of one recording (their
// comments say which range each holds) with one size and codec (else exit status 2,
// nothing created), then claims targets.video (and the chapter list) and joins them into
// it, the sound encoded and the chapters written as the options ask.
int joinRecordings(const CaptureOptions& options, CaptureTargets& targets);
