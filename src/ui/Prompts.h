#pragma once

#include <QColor>
#include <QString>

#include <optional>

namespace veskaro {

enum class PromptIcon { Information, Warning, Error };
enum class PromptButtons { Ok, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Yes, No, Cancel };

/// Every question, message and standard dialog the window shows, so that tests can script the answers.
class Prompts {
public:
    virtual ~Prompts() = default;

    /// Shows a message box and returns the button chosen; closing the box answers Cancel, or No when there
    /// is no Cancel button, or Ok.
    virtual PromptAnswer showMessage(PromptIcon icon, const QString& text, PromptButtons buttons) = 0;
    /// Asks for an existing file to open; empty when cancelled. Filters are in the form "Name (*.ext)".
    virtual QString chooseOpenFile(const QString& filter, const QString& initialFolder) = 0;
    /// Asks for a file to save to, without asking before replacing a file and without adding an
    /// extension; empty when cancelled. An empty initial folder leaves the dialog's own choice.
    virtual QString chooseSaveFile(const QString& filter, const QString& initialFolder) = 0;
    /// Asks for a colour, starting from initial; nothing when cancelled.
    virtual std::optional<QColor> chooseColor(const QColor& initial) = 0;
};

} // namespace veskaro
