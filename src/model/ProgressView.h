#pragma once

#include <string>

namespace veskaro {

/// Where long work reports itself: the hint line, the busy cursor and the progress bar of the window,
/// a terminal bar in the command line, a recorder in the tests. Implementations never throw.
class ProgressView {
public:
    virtual ~ProgressView() = default;

    virtual void setHint(const std::string& text) = 0;
    virtual void setBusy(bool busy) = 0;
    virtual void setMaximum(int maximum) = 0;
    virtual void step(int by) = 0;
    virtual void setPosition(int position) = 0;
    /// Tells which picture is being prepared: its item's number (from 1), the number of items and the
    /// picture's file name, so that a front end can name it without reading the hint line.
    virtual void preparingPicture(int itemNumber, int itemCount, const std::string& name) = 0;
    /// Offers the user a way to stop the work under way (a Cancel button, Esc, Ctrl+C) for as long as
    /// offered is true; a front end without one ignores it.
    virtual void offerStop(bool offered) { (void)offered; }
    /// Answers the user while the work runs on other threads, and returns true once the user has asked
    /// to stop.
    virtual bool stopRequested() { return false; }
};

/// Offers the user a way to stop for as long as it lives.
class StopOffer {
public:
    explicit StopOffer(ProgressView& view) : m_view(view) { m_view.offerStop(true); }
    ~StopOffer() { m_view.offerStop(false); }
    StopOffer(const StopOffer&) = delete;
    StopOffer& operator=(const StopOffer&) = delete;

private:
    ProgressView& m_view;
};

/// Shows a status text with the busy cursor for as long as it lives, and on every way out returns the
/// view to an empty hint line, the normal cursor and an empty progress bar.
class ProgressScope {
public:
    ProgressScope(ProgressView& view, const std::string& hint) : m_view(view) {
        m_view.setHint(hint);
        m_view.setBusy(true);
    }
    ~ProgressScope() {
        m_view.setPosition(0);
        m_view.setHint({});
        m_view.setBusy(false);
    }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

private:
    ProgressView& m_view;
};

/// A view that shows nothing.
class SilentProgressView : public ProgressView {
public:
    void setHint(const std::string&) override {}
    void setBusy(bool) override {}
    void setMaximum(int) override {}
    void step(int) override {}
    void setPosition(int) override {}
    void preparingPicture(int, int, const std::string&) override {}
};

} // namespace veskaro
