#pragma once

#include "model/ProgressView.h"

#include <string>
#include <vector>

namespace veskaro::test {

/// Records every progress call as one short line, such as "hint Saving Data ... ...", "step 10" or
/// "picture 2/3 meadow.gif".
class RecordingProgressView : public ProgressView {
public:
    void setHint(const std::string& text) override { calls.push_back("hint " + text); }
    void setBusy(bool busy) override { calls.push_back(busy ? "busy" : "idle"); }
    void setMaximum(int maximum) override { calls.push_back("maximum " + std::to_string(maximum)); }
    void step(int by) override { calls.push_back("step " + std::to_string(by)); }
    void setPosition(int position) override { calls.push_back("position " + std::to_string(position)); }
    void preparingPicture(int itemNumber, int itemCount, const std::string& name) override {
        calls.push_back("picture " + std::to_string(itemNumber) + "/" + std::to_string(itemCount) + " " + name);
    }

    std::vector<std::string> calls;
};

} // namespace veskaro::test
