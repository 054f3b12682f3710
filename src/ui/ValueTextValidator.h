#pragma once

#include <QValidator>

namespace veskaro {

/// Refuses text that holds the project file's value terminator "#$@", which would split the value when
/// the project is read back. Everything else is acceptable as it is.
class ValueTextValidator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;

    State validate(QString& input, int& position) const override;

    /// Returns the short explanation shown when a field refuses such text.
    static QString refusal();
};

} // namespace veskaro
