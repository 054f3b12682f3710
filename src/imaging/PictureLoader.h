#pragma once

#include "imaging/ByteSource.h"
#include "imaging/LoadedPicture.h"

#include <string>

namespace veskaro {

/// Loads a picture file. Its extension, in any letter case, names its format and so the prepared
/// picture's ("Unknown picture file extension (.ext)" otherwise); where the content is another of the
/// three formats, the content decides the decoder, and a picture of any other kind (a PNG named ".jpg")
/// is refused. Throws VeskaroError naming the file on every failure.
LoadedPicture loadPicture(const std::string& path, const LoadOptions& options = {});

/// Returns the size loadPicture gives a picture file (LoadedPicture's sourceWidth and sourceHeight), read
/// from its header alone; width 0 when the header does not tell it. Throws VeskaroError as loadPicture does
/// when the file cannot be opened or is none of our formats.
PictureSize pictureSizeOf(const std::string& path);

/// Decodes a picture from source as loadPicture does a file named by its extension as `named`; name
/// stands for the file in messages.
LoadedPicture decodePicture(ByteSource& source, const std::string& name, PictureFormat named,
                            const LoadOptions& options = {});

} // namespace veskaro
