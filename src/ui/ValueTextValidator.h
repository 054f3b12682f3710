#pragma once

#include <QValidator>

#include <functional>
#include <optional>

namespace veskaro {

/// Why a text field refused typed text: a brief form that fits the hint line, and the whole explanation.
struct TextRefusal {
    QString brief;
    QString whole;
};

/// Refuses text that holds the project file's value terminator "#$@", which would split the value when
/// the project is read back, and text that a further rule of the field refuses. It keeps why it refused
/// last, for the explanation the window shows.
class ValueTextValidator : public QValidator {
    Q_OBJECT
public:
    /// Returns why a text cannot be taken, or nothing when it can.
    using Rule = std::function<std::optional<TextRefusal>(const QString&)>;

    /// Refuses the terminator, and what rule refuses.
    explicit ValueTextValidator(QObject* parent, Rule rule = {});

    State validate(QString& input, int& position) const override;

    /// Returns why the last text was refused.
    const TextRefusal& lastRefusal() const { return m_lastRefusal; }
    /// Returns why text holding the value terminator is refused.
    static TextRefusal terminatorRefusal();

private:
    Rule m_rule;
    mutable TextRefusal m_lastRefusal;
};

} // namespace veskaro
