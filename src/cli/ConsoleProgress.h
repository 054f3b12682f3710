#pragma once

#include "model/ProgressView.h"
#include "platform/ConsoleInterrupt.h"

#include <cstdio>
#include <string>

namespace veskaro {

/// Shows long work on the terminal: a redrawn bar with the picture being prepared when stderr is a
/// terminal, one plain line per step otherwise, nothing when quiet. While a stop is offered, Ctrl+C
/// asks for it instead of ending the process.
class ConsoleProgress : public ProgressView {
public:
    enum class Style { Bar, Lines, Quiet };

    ConsoleProgress(std::FILE* stream, Style style);
    ~ConsoleProgress() override;

    /// Returns the style that suits stream and the wish to be quiet.
    static Style styleFor(std::FILE* stream, bool quiet);

    void setHint(const std::string& text) override;
    void setBusy(bool) override {}
    void setMaximum(int maximum) override;
    void step(int by) override;
    void setPosition(int position) override;
    void preparingPicture(int itemNumber, int itemCount, const std::string& name) override;
    void offerStop(bool offered) override;
    bool stopRequested() override;

    /// Returns true when Ctrl+C asked to stop while a stop was offered.
    static bool interrupted();

private:
    void draw();
    void endBar();

    std::FILE* m_stream;
    Style m_style;
    std::string m_hint;
    std::string m_picture; // "3/24 meadow.gif" while pictures are prepared
    int m_maximum = 0;
    int m_position = 0;
    bool m_barShown = false;
    bool m_stopOffered = false;
    ConsoleInterrupt m_interrupt;
};

} // namespace veskaro
