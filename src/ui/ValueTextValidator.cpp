#include "ui/ValueTextValidator.h"

#include "model/AppletTypes.h"

namespace veskaro {

namespace {

const QString kTerminator = QString::fromLatin1(kValueTerminator);

} // namespace

ValueTextValidator::ValueTextValidator(QObject* parent, Rule rule) : QValidator(parent), m_rule(std::move(rule)) {}

QValidator::State ValueTextValidator::validate(QString& input, int&) const {
    std::optional<TextRefusal> refusal;
    if (input.contains(kTerminator))
        refusal = terminatorRefusal();
    else if (m_rule)
        refusal = m_rule(input);
    if (!refusal)
        return Acceptable;
    m_lastRefusal = *refusal;
    return Invalid;
}

TextRefusal ValueTextValidator::terminatorRefusal() {
    return {tr("\"%1\" cannot be typed here.").arg(kTerminator),
            tr("\"%1\" cannot be typed here: the project file ends every value with it.").arg(kTerminator)};
}

} // namespace veskaro
