#pragma once

#include <QString>
#include <QStringList>

namespace veskaro {

/// Returns a file-dialog filter written as pairs "Name|*.a;*.b|Other|*.*" in the form the Qt dialogs take,
/// "Name (*.a *.b);;Other (*)": the patterns are separated by blanks, a name that ends in its own pattern
/// list keeps it there, and "*.*" matches every file, also one without an extension.
QString qtFileFilter(const QString& pairs);

/// Returns the filter of the picture dialogs: all readable pictures, then each format, in the Qt form.
QString pictureFileFilter();

/// Returns the extensions of the readable pictures, lower case without the dot.
QStringList pictureExtensions();

} // namespace veskaro
