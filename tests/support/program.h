#pragma once
// What tests that need the running program share: the model started on the
// build's program folder, and a Qt application for drawing without a screen.

#include <string>

namespace testing_support {

// Starts the model as the program does, on the build's program folder, with
// the user's folders in a fresh temporary folder named after `name`.
// False when it does not start.
bool startProgramFresh(const std::string& name);

// The sample project that comes with the program.
std::string sampleProjectPath();

// A Qt application on the offscreen platform, made once, for tests that draw
// with Qt's painter.
void ensureGuiApplication();

}  // namespace testing_support
