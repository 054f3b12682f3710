#pragma once

#include "platform/Shell.h"

#include <string>
#include <vector>

namespace veskaro::test {

/// Records what would be launched, one line per call: "open <path>" or "start <program> | <argument>".
class RecordingShell : public Shell {
public:
    void openDocument(const std::string& path) override { calls.push_back("open " + path); }
    void startProgram(const std::string& program, const std::string& argument) override {
        calls.push_back("start " + program + " | " + argument);
    }

    std::vector<std::string> calls;
};

} // namespace veskaro::test
