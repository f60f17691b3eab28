#pragma once

namespace quib {

// The whole program: decides the run mode and runs it. Returns the exit status.
int RunApplication(int argc, char** argv);

}  // namespace quib
