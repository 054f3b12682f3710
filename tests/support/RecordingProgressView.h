#pragma once

#include "model/ProgressView.h"

#include <string>
#include <vector>

namespace veskaro::test {

/// Records every progress call as one short line, such as "hint Saving Data ... ..." or "step 10".
class RecordingProgressView : public ProgressView {
public:
    void setHint(const std::string& text) override { calls.push_back("hint " + text); }
    void setBusy(bool busy) override { calls.push_back(busy ? "busy" : "idle"); }
    void setMaximum(int maximum) override { calls.push_back("maximum " + std::to_string(maximum)); }
    void step(int by) override { calls.push_back("step " + std::to_string(by)); }
    void setPosition(int position) override { calls.push_back("position " + std::to_string(position)); }

    std::vector<std::string> calls;
};

} // namespace veskaro::test
