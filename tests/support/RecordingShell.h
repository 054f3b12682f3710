#pragma once

#include "platform/Shell.h"

#include <string>
#include <utility>
#include <vector>

namespace veskaro::test {

/// Records what would be launched, one line per call: "open <path>", "address <address>" or
/// "start <program> | <argument>"; every launch starts unless a test sets launchesStart to false.
class RecordingShell : public Shell {
public:
    bool openDocument(const std::string& path) override { return record("open " + path); }
    bool openAddress(const std::string& address) override { return record("address " + address); }
    bool startProgram(const std::string& program, const std::string& argument) override {
        return record("start " + program + " | " + argument);
    }

    std::vector<std::string> calls;
    bool launchesStart = true;

private:
    bool record(std::string call) {
        calls.push_back(std::move(call));
        return launchesStart;
    }
};

} // namespace veskaro::test
