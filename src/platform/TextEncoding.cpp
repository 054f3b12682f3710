#include "platform/TextEncoding.h"

namespace veskaro {

namespace {

// The characters of the bytes 0x80 to 0x9F; the rest of Windows-1252 is Latin-1, the code point of the
// byte itself. 0x81, 0x8D, 0x8F, 0x90 and 0x9D are unassigned and stand for themselves.
constexpr char16_t kHighControls[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

struct Sequence {
    std::size_t length; // bytes in all, the lead byte included; 0 for a byte that leads nothing
    char32_t lowest;    // the smallest character that needs that many bytes
    char32_t payload;   // the bits the lead byte carries
};

Sequence sequenceLedBy(unsigned char lead) {
    if ((lead & 0xE0) == 0xC0)
        return {2, 0x80, lead & 0x1Fu};
    if ((lead & 0xF0) == 0xE0)
        return {3, 0x800, lead & 0x0Fu};
    if ((lead & 0xF8) == 0xF0)
        return {4, 0x10000, lead & 0x07u};
    return {0, 0, 0};
}

} // namespace

bool isValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        const Sequence sequence = sequenceLedBy(lead);
        if (sequence.length == 0 || text.size() - i < sequence.length)
            return false;
        char32_t c = sequence.payload;
        for (std::size_t k = 1; k < sequence.length; ++k) {
            const auto byte = static_cast<unsigned char>(text[i + k]);
            if (!isContinuation(byte))
                return false;
            c = (c << 6) | (byte & 0x3Fu);
        }
        if (c < sequence.lowest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        i += sequence.length;
    }
    return true;
}

std::string windows1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        appendUtf8(out, byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte);
    }
    return out;
}

Utf8LineReader::Utf8LineReader(std::string bytes) : m_lines(std::move(bytes)) {
    // A file holds one encoding, so a single byte that is not UTF-8 makes the whole file Windows-1252,
    // also the stretches of it that happen to look like UTF-8. Line ends are the same bytes in both, so the
    // lines are judged together, as the file would be.
    for (std::string line; !m_windows1252 && m_lines.next(line);)
        m_windows1252 = !isValidUtf8(line);
    m_lines.rewind();
}

bool Utf8LineReader::next(std::string& line) {
    if (!m_lines.next(line))
        return false;
    if (m_windows1252)
        line = windows1252ToUtf8(line);
    return true;
}

} // namespace veskaro
