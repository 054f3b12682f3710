#pragma once

#include "ui/Prompts.h"

namespace veskaro {

class SettingsStore;

/// The prompts of the desktop: modal message boxes and the standard file and colour dialogs, owned by
/// the active window.
class QtPrompts : public Prompts {
public:
    /// Keeps the size the user leaves the picture dialogs at in settings from now on; none keeps nothing.
    void keepDialogSizesIn(SettingsStore* settings) { m_settings = settings; }

    PromptAnswer showMessage(PromptIcon icon, const QString& text, PromptButtons buttons) override;
    QString chooseOpenFile(const QString& filter, const QString& initialFolder) override;
    QString chooseSaveFile(const QString& filter, const QString& initialFolder) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    QString choosePictureFile(const QString& filter) override;
    QStringList choosePictureFiles(const QString& filter, const QString& initialFolder) override;
    int runDialog(QDialog& dialog) override;

private:
    QString m_pictureFolder;
    SettingsStore* m_settings = nullptr;
};

} // namespace veskaro
