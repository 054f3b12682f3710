#pragma once

#include "ui/Prompts.h"

#include <QDialog>

#include <deque>
#include <functional>
#include <vector>

namespace veskaro::test {

/// Prompts whose answers a test lays out beforehand; it records every message shown. A prompt without a
/// prepared answer is recorded as unexpected and answered as if the user cancelled.
class ScriptedPrompts : public Prompts {
public:
    struct Message {
        PromptIcon icon;
        QString text;
        PromptButtons buttons;
    };

    PromptAnswer showMessage(PromptIcon icon, const QString& text, PromptButtons buttons) override {
        messages.push_back({icon, text, buttons});
        if (buttons == PromptButtons::Ok)
            return PromptAnswer::Ok;
        return next(answers, PromptAnswer::Cancel, "message " + text);
    }
    QString chooseOpenFile(const QString& filter, const QString& initialFolder) override {
        openFilters.push_back(filter);
        openFolders.push_back(initialFolder);
        return next(openFiles, QString(), QStringLiteral("open dialog"));
    }
    QString chooseSaveFile(const QString& filter, const QString& initialFolder) override {
        saveFilters.push_back(filter);
        saveFolders.push_back(initialFolder);
        return next(saveFiles, QString(), QStringLiteral("save dialog"));
    }
    std::optional<QColor> chooseColor(const QColor& initial) override {
        colorsOffered.push_back(initial);
        return next(colors, std::optional<QColor>(), QStringLiteral("colour dialog"));
    }
    QString choosePictureFile(const QString& filter) override {
        pictureFilters.push_back(filter);
        return next(pictureFiles, QString(), QStringLiteral("picture dialog"));
    }
    QStringList choosePictureFiles(const QString& filter, const QString& initialFolder) override {
        pictureFilters.push_back(filter);
        pictureFolders.push_back(initialFolder);
        return next(pictureFileLists, QStringList(), QStringLiteral("pictures dialog"));
    }
    /// Hands the dialog to the next prepared action, which works its controls as a user would; the
    /// dialog's result is what the action left.
    int runDialog(QDialog& dialog) override {
        dialogsShown.push_back(dialog.windowTitle());
        dialog.setResult(QDialog::Rejected);
        const auto act =
            next(dialogActions, std::function<void(QDialog&)>(), QStringLiteral("dialog ") + dialog.windowTitle());
        if (act)
            act(dialog);
        return dialog.result();
    }

    std::deque<PromptAnswer> answers;
    std::deque<QString> openFiles; // an empty name cancels the dialog
    std::deque<QString> saveFiles;
    std::deque<std::optional<QColor>> colors;
    std::deque<QString> pictureFiles;         // an empty name cancels the dialog
    std::deque<QStringList> pictureFileLists; // an empty list cancels the dialog
    std::deque<std::function<void(QDialog&)>> dialogActions;

    std::vector<Message> messages;
    std::vector<QString> openFilters;
    std::vector<QString> openFolders;
    std::vector<QString> saveFilters;
    std::vector<QString> saveFolders;
    std::vector<QString> pictureFilters;
    std::vector<QString> pictureFolders;
    std::vector<QColor> colorsOffered;
    std::vector<QString> dialogsShown;
    std::vector<QString> unexpected;

private:
    template <typename T> T next(std::deque<T>& queue, T cancelled, const QString& what) {
        if (queue.empty()) {
            unexpected.push_back(what);
            return cancelled;
        }
        T answer = queue.front();
        queue.pop_front();
        return answer;
    }
};

} // namespace veskaro::test
