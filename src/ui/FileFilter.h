#pragma once

#include <QString>

namespace veskaro {

/// Returns a file-dialog filter written as pairs "Name|*.a;*.b|Other|*.*" in the form the Qt dialogs take,
/// "Name (*.a *.b);;Other (*)": the patterns are separated by blanks, a name that ends in its own pattern
/// list keeps it there, and "*.*" matches every file, also one without an extension.
QString qtFileFilter(const QString& pairs);

} // namespace veskaro
