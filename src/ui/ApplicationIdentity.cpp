#include "ui/ApplicationIdentity.h"

#include <QGuiApplication>

namespace veskaro {

void setApplicationIdentity() {
    QGuiApplication::setApplicationName(QStringLiteral("Veskaro"));
    QGuiApplication::setDesktopFileName(QStringLiteral("veskaro"));
}

} // namespace veskaro
