#include "cli/ConsoleProgress.h"

#include <algorithm>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace veskaro {

namespace {

constexpr int kBarWidth = 24;

} // namespace

ConsoleProgress::ConsoleProgress(std::FILE* stream, Style style) : m_stream(stream), m_style(style) {}

ConsoleProgress::~ConsoleProgress() {
    endBar();
}

ConsoleProgress::Style ConsoleProgress::styleFor(std::FILE* stream, bool quiet) {
    if (quiet)
        return Style::Quiet;
    return ::isatty(::fileno(stream)) ? Style::Bar : Style::Lines;
}

void ConsoleProgress::setHint(const std::string& text) {
    if (text == m_hint)
        return;
    if (text.empty())
        endBar();
    m_hint = text;
    m_picture.clear();
    if (m_style == Style::Lines && !text.empty())
        std::fprintf(m_stream, "%s\n", text.c_str());
    draw();
}

void ConsoleProgress::setMaximum(int maximum) {
    m_maximum = maximum;
    m_position = 0;
}

void ConsoleProgress::step(int by) {
    m_position = std::min(m_maximum, m_position + by);
    draw();
}

void ConsoleProgress::setPosition(int position) {
    m_position = position;
}

void ConsoleProgress::preparingPicture(int itemNumber, int itemCount, const std::string& name) {
    m_picture = std::to_string(itemNumber) + "/" + std::to_string(itemCount) + " " + name;
    if (m_style == Style::Lines)
        std::fprintf(m_stream, "image %d/%d: %s\n", itemNumber, itemCount, name.c_str());
    draw();
}

void ConsoleProgress::offerStop(bool offered) {
    if (offered == m_stopOffered)
        return;
    m_stopOffered = offered;
    m_interrupt.setCaught(offered);
}

bool ConsoleProgress::stopRequested() {
    return interrupted();
}

bool ConsoleProgress::interrupted() {
    return ConsoleInterrupt::requested();
}

void ConsoleProgress::draw() {
    if (m_style != Style::Bar || m_hint.empty())
        return;
    std::string line = m_hint;
    if (m_maximum > 0) {
        const int filled = kBarWidth * std::clamp(m_position, 0, m_maximum) / m_maximum;
        line.append(" [").append(static_cast<std::size_t>(filled), '#');
        line.append(static_cast<std::size_t>(kBarWidth - filled), ' ').append("]");
    }
    if (!m_picture.empty())
        line.append(" ").append(m_picture);
    std::fprintf(m_stream, "\r\033[K%s", line.c_str());
    std::fflush(m_stream);
    m_barShown = true;
}

void ConsoleProgress::endBar() {
    if (m_barShown) {
        std::fprintf(m_stream, "\r\033[K");
        std::fflush(m_stream);
        m_barShown = false;
    }
}

} // namespace veskaro
