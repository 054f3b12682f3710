#pragma once

#include "PublisherDouble.h"
#include "RecordingShell.h"
#include "ScriptedPrompts.h"
#include "TestFolders.h"

#include "model/ProgressView.h"
#include "platform/Places.h"
#include "platform/SettingsStore.h"
#include "ui/BrowserServices.h"
#include "ui/ControlNames.h"
#include "ui/TMainForm.h"
#include "ui/TreeWidgetItemTree.h"

#include <QTabWidget>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

namespace veskaro::test {

/// The real designer window with scripted prompts, a publisher double and a shell that only records what
/// it would launch, and ways to reach its controls. It works in the per-user folders of the test, where
/// its settings lie too, and no installed browser is looked for.
struct DesignerWindow {
    explicit DesignerWindow(const PerUserFolders& folders) : places(folders.places()) {}

    Places places;
    ScriptedPrompts prompts;
    PublisherDouble publisher{places};
    RecordingShell shell;
    std::unique_ptr<SettingsStore> settings = openSystemSettingsStore();
    BrowserServices browsers{*settings, shell, BrowserSearchPlaces{}};
    TMainForm window{prompts, publisher, places, browsers};

    /// Returns the control with that object name; a missing one fails the test.
    template <typename Control> Control& find(const char* name) {
        auto* control = window.findChild<Control*>(QLatin1String(name));
        if (!control)
            throw std::logic_error(std::string("no control named ") + name);
        return *control;
    }

    QTreeWidget& tree() { return find<QTreeWidget>(names::trvwDesignPanel); }

    /// Selects the node at an absolute position, as a click would.
    void select(int position) { tree().setCurrentItem(window.itemTree().nodeAt(position)); }

    int selectedPosition() { return window.itemTree().absoluteIndex(tree().currentItem()); }

    /// Returns the captions of all nodes, depth first, each indented by two blanks per level.
    QStringList outline() {
        QStringList lines;
        for (QTreeWidgetItemIterator it(&tree()); *it; ++it)
            lines << QString(2 * TreeWidgetItemTree::depth(*it), u' ') + (*it)->text(0);
        return lines;
    }

    /// Returns the image paths of the project's items, in order.
    QStringList itemPaths() {
        QStringList paths;
        for (const TItemData& item : window.project().items())
            paths << QString::fromStdString(item.IOriginalImagePath);
        return paths;
    }

    /// Returns the texts of the visible tabs, in order.
    QStringList visibleTabs() {
        auto& pages = find<QTabWidget>(names::pgcntrl1);
        QStringList tabs;
        for (int i = 0; i < pages.count(); ++i)
            if (pages.isTabVisible(i))
                tabs << pages.tabText(i);
        return tabs;
    }

    QString activeTab() {
        auto& pages = find<QTabWidget>(names::pgcntrl1);
        return pages.tabText(pages.currentIndex());
    }

    /// Reads a project file into the window's project and tree through the loader, as opening does.
    void load(const std::string& path) {
        SilentProgressView progress;
        window.project().LoadFromFile(path, window.itemTree(), progress);
        window.ScriptParamsToWindow();
        window.setModified(false);
    }
};

/// Writes a project file whose items have these image paths and levels below the root.
inline void writeProject(const std::string& path, const std::vector<std::pair<std::string, int>>& items) {
    TkvlAppletAgent project;
    project.SetDefaults();
    for (const auto& [imagePath, level] : items) {
        TItemData item = TkvlAppletAgent::DefaultItem();
        item.IOriginalImagePath = imagePath;
        item.ILevel = std::to_string(level);
        project.InsertItem(project.itemCount(), item);
    }
    SilentProgressView progress;
    project.SaveToFile(path, progress);
}

} // namespace veskaro::test
