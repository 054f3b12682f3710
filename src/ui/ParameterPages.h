#pragma once

#include "model/AppletTypes.h"
#include "model/ProjectOptions.h"
#include "ui/ParameterBinding.h"
#include "ui/ValueTextValidator.h"

#include <QList>
#include <QTabWidget>

#include <array>
#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace veskaro {

class ColorPanel;
class SpinEdit;

/// The parameter pages of the designer window: "Script" and "Path" for the root, "Item General" for an
/// item. It builds them with their controls under their object names, holds the controls by type, and
/// moves values between the controls and the project's records through the binding tables.
class ParameterPages : public QTabWidget {
    Q_OBJECT
public:
    /// Builds the three pages with the default state of their controls.
    explicit ParameterPages(QWidget* parent = nullptr);

    /// Returns the script parameters as the pages show them; the field without a control stays empty.
    TAppletData scriptParams() const;
    /// Shows script parameters in their controls, in the binding table's order. Throws VeskaroError
    /// "'%s' is not a valid integer value" at a number or colour it cannot read; the fields before it
    /// show their new values, the others keep theirs.
    void showScriptParams(const TAppletData& parameters);
    /// Returns options with the values the group "Pictures for Visitors" shows in place of its own, for each
    /// control the user changed since the options were last shown; a number typed beyond its range counts
    /// as the nearest bound. The other values stay as options has them.
    ProjectOptions options(ProjectOptions options) const;
    /// Shows the options of the group "Pictures for Visitors". A number that is none (a file edited by
    /// hand) shows the option's default, one beyond the range its nearest bound; either stays in the
    /// project as it is until the user changes the field, so that publishing names it rather than the
    /// window replacing it unseen.
    void showOptions(const ProjectOptions& options);
    /// Returns item with the values the page "Item General" shows in place of its own; the values the
    /// page does not show (the prepared picture, its size, the level) stay as item has them.
    TItemData item(TItemData item) const;
    /// Shows an item's values on the page "Item General".
    void showItem(const TItemData& item);

    /// Shows the pages of the root ("Script", "Path") or of an item ("Item General"). Going from one
    /// item to another changes nothing, so that a tab chosen by hand stays in front.
    void arrangeFor(bool root);
    /// Makes the next arrangement bring the first page of its kind to the front.
    void forgetArrangement() { m_arrangedForRoot.reset(); }

    /// Shows the picture of a file in the preview, scaled to the preview's size while it is read.
    /// Returns the reader's error for a file it cannot read as a picture, and shows a note instead.
    QString showPicture(const QString& file);
    /// Hides the preview.
    void hidePicture();

    /// Returns the image path as the page shows it, untrimmed.
    QString imagePath() const;
    /// Puts an image path into its field as if it were typed.
    void setImagePath(const QString& path);
    /// Puts a link into the link field as if it were typed.
    void setLink(const QString& link);

    /// Returns the button that picks a local page for the link.
    QToolButton* linkButton() const { return m_linkButton; }
    /// Returns the button that picks the item's picture.
    QToolButton* pictureButton() const { return m_pictureButton; }
    /// Returns the eight colour panels of the navigation buttons.
    const std::array<ColorPanel*, 8>& colorPanels() const { return m_colorPanels; }
    /// Returns the help buttons of the parameter groups; each carries its help page's number as "Tag".
    const QList<QToolButton*>& helpButtons() const { return m_helpButtons; }
    /// Returns the controls that show their hint in the hint line while the mouse is over them.
    const QList<QWidget*>& hintControls() const { return m_hintControls; }

signals:
    /// The user changed the value a control shows (typing, a pick, a click), not a transfer to the pages.
    /// Comes before edited(), so that the edit is in the project when edited() arrives.
    void editedByUser(QWidget* control);
    /// A value that a control shows changed (a text, a number, a colour, a switch or a choice), by the
    /// user or by a transfer to the pages.
    void edited();
    /// A text field refused typed text, for the reason given.
    void textRefused(QLineEdit* field, const TextRefusal& reason);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildScriptPage();
    QWidget* buildItemPage();
    QWidget* buildPathPage();
    QGroupBox* buildPicturesGroup();

    // Each builds a control for a bound field under the binding table's name and takes it into the table.
    QLineEdit* textField(std::string TAppletData::*field);
    QLineEdit* textField(std::string TItemData::*field);
    SpinEdit* numberField(std::string TAppletData::*field);
    ColorPanel* colorField(std::string TAppletData::*field, QLabel* caption);
    QComboBox* suggestionField(std::string TItemData::*field, const QStringList& suggestions);
    // Each names a control after its row of the binding table, takes it into the table and makes it
    // report its changes: a control that edits a value reports its edits because it is bound.
    void bind(std::string TAppletData::*field, QWidget* control);
    void bind(std::string TItemData::*field, QWidget* control);
    void bindOption(const char* option, QWidget* control);
    void reportEditsOf(QWidget* control);
    QToolButton* helpButton(const char* name, int tag);
    QLineEdit* sliderNameField();
    void guardText(QLineEdit* field, ValueTextValidator* validator);
    // Makes a control's change signal report an edit, and the user's own edits as such.
    template <typename Control, typename Signal> void reportEdits(Control* control, Signal signal) {
        connect(control, signal, this, [this, control] {
            if (!m_showingValues)
                emit editedByUser(control);
            emit edited();
        });
    }

    QWidget* m_scriptPage = nullptr;
    QWidget* m_itemPage = nullptr;
    QWidget* m_pathPage = nullptr;
    std::array<QWidget*, kScriptBinding.size()> m_scriptControls{};
    std::array<QWidget*, kItemBinding.size()> m_itemControls{};
    std::array<QWidget*, kOptionBinding.size()> m_optionControls{};
    std::array<bool, kOptionBinding.size()> m_optionEdited{};
    std::array<ColorPanel*, 8> m_colorPanels{};
    QList<QToolButton*> m_helpButtons;
    QList<QWidget*> m_hintControls;
    QLineEdit* m_imagePath = nullptr;
    QComboBox* m_link = nullptr;
    QToolButton* m_linkButton = nullptr;
    QToolButton* m_pictureButton = nullptr;
    QLabel* m_preview = nullptr;
    ValueTextValidator* m_validator = nullptr;
    std::optional<bool> m_arrangedForRoot;
    // Set while values of the project are shown, whose changes of the controls are no edits of the user.
    bool m_showingValues = false;
};

} // namespace veskaro
