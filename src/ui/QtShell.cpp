#include "ui/QtShell.h"

#include "ui/Utf8Text.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace veskaro {

bool QtShell::openDocument(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(fromUtf8Text(path)));
}

bool QtShell::openAddress(const std::string& address) {
    return QDesktopServices::openUrl(QUrl(fromUtf8Text(address)));
}

bool QtShell::startProgram(const std::string& program, const std::string& argument) {
    // The argument goes over as one word of the new process's command line, blanks and all.
    return QProcess::startDetached(fromUtf8Text(program), {fromUtf8Text(argument)});
}

} // namespace veskaro
