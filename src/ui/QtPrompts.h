#pragma once

#include "ui/Prompts.h"

namespace veskaro {

/// The prompts of the desktop: modal message boxes and the standard file and colour dialogs, owned by
/// the active window.
class QtPrompts : public Prompts {
public:
    PromptAnswer showMessage(PromptIcon icon, const QString& text, PromptButtons buttons) override;
    QString chooseOpenFile(const QString& filter, const QString& initialFolder) override;
    QString chooseSaveFile(const QString& filter, const QString& initialFolder) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
};

} // namespace veskaro
