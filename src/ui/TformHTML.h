#pragma once

#include <QWidget>

#include <string>
#include <vector>

class QPlainTextEdit;

namespace veskaro {

/// The holder of the last built page, a window the program never shows. It keeps the page's lines as
/// the bytes the generator wrote, so that the preview page is written back unchanged whatever the
/// system's code page makes of them; the text view only mirrors them.
class TformHTML : public QWidget {
    Q_OBJECT
public:
    explicit TformHTML(QWidget* parent = nullptr);

    /// Replaces the held page with these lines.
    void setPageLines(std::vector<std::string> lines);
    const std::vector<std::string>& pageLines() const { return m_lines; }

private:
    std::vector<std::string> m_lines;
    QPlainTextEdit* m_memoHTMLBuild = nullptr;
};

} // namespace veskaro
