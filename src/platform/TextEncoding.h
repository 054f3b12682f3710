#pragma once

#include "platform/TextFile.h"

#include <string>
#include <string_view>
#include <vector>

namespace veskaro {

/// Tells whether text is well-formed UTF-8: no stray or missing continuation bytes, no overlong forms, no
/// surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view text);

/// Returns Windows-1252 text in UTF-8. The five bytes the code page leaves unassigned become the control
/// characters of the same number, as Windows reads them, so that no byte is lost.
std::string windows1252ToUtf8(std::string_view text);

/// Hands out the lines of a text file's bytes (ended as TextLineReader reads them) in UTF-8, one at a
/// time: as they are when all of them are valid UTF-8, otherwise each read as Windows-1252, the code page
/// older project files were written in.
class Utf8LineReader {
public:
    /// Judges the encoding of all the lines of bytes and starts at the first.
    explicit Utf8LineReader(std::string bytes);

    /// Puts the next line into line and returns true, or returns false when no line is left.
    bool next(std::string& line);

private:
    TextLineReader m_lines;
    bool m_windows1252 = false;
};

} // namespace veskaro
