#pragma once

#include <QIcon>

namespace veskaro {

/// The pictures of the menus and the tool bar, by their place in the window's image list.
enum class MenuImage {
    New = 0,
    Open = 1,
    Save = 2,
    Insert = 6,
    Delete = 7,
    MoveUp = 8,
    MoveDown = 9,
    Preview = 11,
    Help = 12,
    // Not in the image list: commands of the designer beyond it.
    Undo,
    Redo,
    Duplicate,
    Upload
};

/// The pictures of the item tree.
enum class TreeImage { Item = 0, Root = 1 };

/// Returns the desktop theme's icon for the image where the theme has one, else Veskaro's own.
QIcon menuIcon(MenuImage image);
QIcon treeIcon(TreeImage image);
/// Returns the program's own icon.
QIcon applicationIcon();

} // namespace veskaro
