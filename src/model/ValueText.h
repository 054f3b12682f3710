#pragma once

#include "model/AppletTypes.h"
#include "platform/AsciiText.h"

#include <optional>
#include <string>
#include <string_view>

namespace veskaro {

/// Reads a decimal integer with an optional sign; throws VeskaroError "'%s' is not a valid integer value".
int strToInt(std::string_view text);

/// Reads a decimal integer as strToInt does; nothing for a text that is none.
std::optional<int> wholeNumberOf(std::string_view text);

/// Returns the file-name part of a path: the text after the last "\" or "/".
std::string fileNamePart(std::string_view path);

/// Tells whether a text is a bare file name: not empty, not "." or "..", and without a folder separator
/// ("/" or "\"), a drive or stream colon, or a control character.
bool isBareFileName(std::string_view name);

/// Returns the prepared picture an item names: its IImageFile when that is a bare file name, otherwise
/// nothing. Every reader of IImageFile goes through here, because an edited project file could otherwise
/// make publishing read, write and link a file outside the published folder.
std::string pictureFileOf(const TItemData& item);

/// Returns the file that an item's picture path names: the path trimmed and, when it is relative, taken
/// from projectFolder, the folder of the project file, so that a project finds its pictures wherever the
/// program was started. A project never saved (empty folder) keeps relative paths as they are.
std::string resolvePicturePath(const std::string& projectFolder, std::string_view picturePath);

} // namespace veskaro
