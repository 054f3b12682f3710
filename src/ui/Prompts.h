#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

#include <optional>

class QDialog;

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
    /// Asks for one picture in a dialog that previews the picture under the cursor; empty when cancelled.
    /// The dialog starts in the folder where it was last confirmed.
    virtual QString choosePictureFile(const QString& filter) = 0;
    /// Asks for any number of pictures in a resizable dialog with the same preview, starting in
    /// initialFolder; returns them in the order the dialog lists them, none when cancelled.
    virtual QStringList choosePictureFiles(const QString& filter, const QString& initialFolder) = 0;
    /// Shows one of the program's own dialogs modally and returns its result (QDialog::Accepted or Rejected).
    virtual int runDialog(QDialog& dialog) = 0;
};

} // namespace veskaro
