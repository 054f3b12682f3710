#pragma once

#include <functional>

namespace veskaro {

class Prompts;

/// Runs a command: an error it raises is shown in an error box through prompts, and the program goes on.
void runCommand(Prompts& prompts, const std::function<void()>& command);

} // namespace veskaro
