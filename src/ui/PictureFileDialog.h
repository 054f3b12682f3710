#pragma once

#include <QFileDialog>

class QLabel;

namespace veskaro {

namespace names {
inline constexpr auto PicturePreview = "PicturePreview";
inline constexpr auto PictureSize = "PictureSize";
} // namespace names

class SettingsStore;

/// A file-open dialog for pictures with a preview pane: the picture under the cursor is shown scaled
/// down, with its size in pixels, or a short note when it cannot be read. It opens wide enough for its
/// columns and its filter to be read whole, or at the size the user left the last one at.
class PictureFileDialog : public QFileDialog {
    Q_OBJECT
public:
    /// Opens pictures matching filter (Qt form); several lets the user choose more than one. The size the
    /// user leaves the dialog at is kept in sizes, when given, for the next one.
    PictureFileDialog(const QString& filter, bool several, SettingsStore* sizes, QWidget* parent = nullptr);

    /// Shows the picture of a file in the preview pane; anything else empties it.
    void showPreview(const QString& path);

    void done(int result) override;

private:
    QSize readableSize();

    SettingsStore* m_sizes;
    QLabel* m_picture = nullptr;
    QLabel* m_size = nullptr;
};

} // namespace veskaro
