#pragma once

#include <QFileDialog>

class QLabel;

namespace veskaro {

namespace names {
inline constexpr auto PicturePreview = "PicturePreview";
inline constexpr auto PictureSize = "PictureSize";
} // namespace names

/// A file-open dialog for pictures with a preview pane: the picture under the cursor is shown scaled
/// down, with its size in pixels, or a short note when it cannot be read.
class PictureFileDialog : public QFileDialog {
    Q_OBJECT
public:
    /// Opens pictures matching filter (Qt form); several lets the user choose more than one.
    PictureFileDialog(const QString& filter, bool several, QWidget* parent = nullptr);

    /// Shows the picture of a file in the preview pane; anything else empties it.
    void showPreview(const QString& path);

private:
    QLabel* m_picture = nullptr;
    QLabel* m_size = nullptr;
};

} // namespace veskaro
