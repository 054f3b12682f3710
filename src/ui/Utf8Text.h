#pragma once

#include <QString>

#include <string>

namespace veskaro {

// The core holds project values, paths and messages as UTF-8, in memory as in its files. The window moves
// text in and out through these two alone, so that what it shows and saves is what veskaro-cli reads,
// whatever the system's locale.

/// Returns UTF-8 text of the core (a project value, a path, a message) as a QString.
inline QString fromUtf8Text(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

/// Returns a QString as the UTF-8 text the core holds.
inline std::string toUtf8Text(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace veskaro
