// The tips shown after start-up: the tips program in the working directory
// starts when the user has left its marker file there.
#pragma once

namespace discforge {

struct AppPaths;
class ShellPort;

// True when the marker file is there and the program was started.
bool StartTips(const AppPaths& paths, ShellPort& shell);

} // namespace discforge
