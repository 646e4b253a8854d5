#pragma once
// Measures, on request, how long a play command takes to reach the output:
// from the command to the first samples given to the output module and to
// the first block handed to the sound driver. With the environment variable
// ZUL_TIMINGS naming a file, each measurement appends one line to it
// ("play-to-output <ms> play-to-driver <ms>"); without it nothing is done.
//
// Threads: the play command on the UI thread; the notes from the decode
// thread. One measurement at a time; a new command restarts it.

namespace zul {

void MarkPlayCommand();
void NoteOutputWrite();
void NoteDriverWrite();

}  // namespace zul
