#include "ui/QtShell.h"

#include "ui/Utf8Text.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace veskaro {

void QtShell::openDocument(const std::string& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(fromUtf8Text(path)));
}

void QtShell::openAddress(const std::string& address) {
    QDesktopServices::openUrl(QUrl(fromUtf8Text(address)));
}

void QtShell::startProgram(const std::string& program, const std::string& argument) {
    // The argument goes over as one word of the new process's command line, blanks and all.
    QProcess::startDetached(fromUtf8Text(program), {fromUtf8Text(argument)});
}

} // namespace veskaro
