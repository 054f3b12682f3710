#include "ui/ValueTextValidator.h"

#include "model/AppletTypes.h"

namespace veskaro {

namespace {

const QString kTerminator = QString::fromLatin1(kValueTerminator);

} // namespace

QValidator::State ValueTextValidator::validate(QString& input, int&) const {
    return input.contains(kTerminator) ? Invalid : Acceptable;
}

QString ValueTextValidator::refusal() {
    return tr("\"%1\" cannot be typed here: the project file ends every value with it.").arg(kTerminator);
}

} // namespace veskaro
