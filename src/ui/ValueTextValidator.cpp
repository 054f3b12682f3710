#include "ui/ValueTextValidator.h"

namespace veskaro {

namespace {

const QString kTerminator = QStringLiteral("#$@");

} // namespace

QValidator::State ValueTextValidator::validate(QString& input, int&) const {
    return input.contains(kTerminator) ? Invalid : Acceptable;
}

QString ValueTextValidator::refusal() {
    return tr("\"#$@\" cannot be typed here: the project file ends every value with it.");
}

} // namespace veskaro
