#pragma once
// What the fuzzing harnesses share: a scratch folder of their own, inputs
// written to a file for the readers that take a path, and the program
// started once on the build's program folder.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fuzzing {

// A folder of this process's own, made on first use (in /dev/shm when there
// is one, so that the readers' file traffic stays in memory).
const std::string& scratchDir();

// Writes the bytes to `name` in the scratch folder; returns the path.
std::string writeScratch(const std::string& name, const uint8_t* data, size_t size);

// The build's program folder: the folder of the running harness.
std::string programDir();

// Points the program at its program folder and at scratch folders for the
// user's data, projects and configuration, silences message boxes, makes the
// offscreen GUI application the drawing needs, and starts the model up (the
// shipped catalogue, settings, sections, sets). Aborts when that fails: a
// harness without its program proves nothing.
void startProgram();

}  // namespace fuzzing
