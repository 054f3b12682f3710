#pragma once

namespace veskaro {

/// Keeps every large block in memory of its own, returned to the system as soon as it is freed, so that a
/// long run of pictures holds no more than its largest picture needs. Cheap to call again.
void mapLargeBlocksApart();

} // namespace veskaro
