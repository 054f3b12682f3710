#include "ui/Icons.h"

// The pictures are compiled into the static GUI library, whose resources must be registered by hand.
static void registerIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace veskaro {

namespace {

// Our own picture, drawn for 16 x 16 pixels and twice that for screens with double density.
QIcon ownIcon(const QString& name) {
    static const bool registered = (registerIconResources(), true);
    static_cast<void>(registered);
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/%1.png").arg(name));
    icon.addFile(QStringLiteral(":/icons/%1@2x.png").arg(name));
    return icon;
}

// A theme may name an icon that cannot be drawn here (a vector picture without the engine for it); then
// our own picture stands in, so that no button is ever blank.
QIcon themedIcon(const char* themeName, const QString& ownName) {
    const QIcon themed = QIcon::fromTheme(QString::fromLatin1(themeName));
    return themed.pixmap(QSize(16, 16)).isNull() ? ownIcon(ownName) : themed;
}

} // namespace

QIcon menuIcon(MenuImage image) {
    switch (image) {
    case MenuImage::New:
        return themedIcon("document-new", QStringLiteral("new"));
    case MenuImage::Open:
        return themedIcon("document-open", QStringLiteral("open"));
    case MenuImage::Save:
        return themedIcon("document-save", QStringLiteral("save"));
    case MenuImage::Insert:
        return themedIcon("list-add", QStringLiteral("insert"));
    case MenuImage::Delete:
        return themedIcon("list-remove", QStringLiteral("delete"));
    case MenuImage::MoveUp:
        return themedIcon("go-up", QStringLiteral("moveup"));
    case MenuImage::MoveDown:
        return themedIcon("go-down", QStringLiteral("movedown"));
    case MenuImage::Preview:
        return themedIcon("document-print-preview", QStringLiteral("preview"));
    case MenuImage::Help:
        return themedIcon("help-contents", QStringLiteral("help"));
    case MenuImage::Undo:
        return themedIcon("edit-undo", QStringLiteral("undo"));
    case MenuImage::Redo:
        return themedIcon("edit-redo", QStringLiteral("redo"));
    case MenuImage::Duplicate:
        return themedIcon("edit-copy", QStringLiteral("duplicate"));
    case MenuImage::Upload:
        return themedIcon("document-send", QStringLiteral("upload"));
    }
    return {};
}

QIcon treeIcon(TreeImage image) {
    return image == TreeImage::Root ? themedIcon("x-office-presentation", QStringLiteral("tree-root"))
                                    : themedIcon("image-x-generic", QStringLiteral("tree-item"));
}

QIcon applicationIcon() {
    QIcon icon = ownIcon(QStringLiteral("veskaro"));
    icon.addFile(QStringLiteral(":/icons/veskaro-64.png"));
    return icon;
}

} // namespace veskaro
