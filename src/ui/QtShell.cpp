#include "ui/QtShell.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace veskaro {

void QtShell::openDocument(const std::string& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromLocal8Bit(path)));
}

void QtShell::startProgram(const std::string& program, const std::string& argument) {
    // The argument goes over as one word of the new process's command line, blanks and all.
    QProcess::startDetached(QString::fromLocal8Bit(program), {QString::fromLocal8Bit(argument)});
}

} // namespace veskaro
