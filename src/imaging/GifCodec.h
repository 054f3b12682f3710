#pragma once

#include "imaging/ByteSource.h"
#include "imaging/IndexedImage.h"
#include "imaging/LoadedPicture.h"

#include <string>

namespace veskaro {

/// Decodes the first image of a GIF onto a white canvas of the logical screen's size: interlacing
/// honoured, a local colour table before the global one, a smaller frame at its offset, transparent
/// pixels left white, a frame reaching past the screen clipped. Later images are never read. Tells
/// options.memoryNeeded what it is about to take. Throws VeskaroError "GIF error: <name>: ..." for
/// truncated or corrupt data and pixels beyond the colour table.
LoadedPicture decodeGif(ByteSource& source, const std::string& name, const LoadOptions& options = {});

/// Returns the bytes of a one-image GIF of the indexed picture; name is used in messages.
std::string encodeGif(const IndexedImage& image, const std::string& name);

/// Writes the indexed picture as a one-image GIF; an earlier file at path stays until the new one is complete.
void writeGif(const std::string& path, const IndexedImage& image);

} // namespace veskaro
