#include "ui/QtPrompts.h"

#include "ui/PictureFileDialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace veskaro {

namespace {

QMessageBox::Icon boxIcon(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Warning:
        return QMessageBox::Warning;
    case PromptIcon::Error:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons boxButtons(PromptButtons buttons) {
    switch (buttons) {
    case PromptButtons::Ok:
        return QMessageBox::Ok;
    case PromptButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// Qt's dialogs answer with "/" on every system; the program's paths, and the project files that keep
// them, use the system's own delimiter (a backslash on Windows).
QStringList nativePaths(const QStringList& paths) {
    QStringList native;
    for (const QString& path : paths)
        native << QDir::toNativeSeparators(path);
    return native;
}

PromptAnswer answerOf(int button) {
    switch (button) {
    case QMessageBox::Yes:
        return PromptAnswer::Yes;
    case QMessageBox::No:
        return PromptAnswer::No;
    case QMessageBox::Ok:
        return PromptAnswer::Ok;
    default:
        return PromptAnswer::Cancel;
    }
}

} // namespace

PromptAnswer QtPrompts::showMessage(PromptIcon icon, const QString& text, PromptButtons buttons) {
    QMessageBox box(boxIcon(icon), QApplication::applicationDisplayName(), text, boxButtons(buttons),
                    QApplication::activeWindow());
    // The escape key and the close box give the mildest answer the box offers.
    if (buttons == PromptButtons::YesNo)
        box.setEscapeButton(QMessageBox::No);
    return answerOf(box.exec());
}

QString QtPrompts::chooseOpenFile(const QString& filter, const QString& initialFolder) {
    return QDir::toNativeSeparators(
        QFileDialog::getOpenFileName(QApplication::activeWindow(), QObject::tr("Open"), initialFolder, filter));
}

QString QtPrompts::chooseSaveFile(const QString& filter, const QString& initialFolder) {
    return QDir::toNativeSeparators(QFileDialog::getSaveFileName(QApplication::activeWindow(), QObject::tr("Save As"),
                                                                 initialFolder, filter, nullptr,
                                                                 QFileDialog::DontConfirmOverwrite));
}

std::optional<QColor> QtPrompts::chooseColor(const QColor& initial) {
    const QColor chosen = QColorDialog::getColor(initial, QApplication::activeWindow());
    return chosen.isValid() ? std::optional<QColor>(chosen) : std::nullopt;
}

QString QtPrompts::choosePictureFile(const QString& filter) {
    PictureFileDialog dialog(filter, false, m_settings, QApplication::activeWindow());
    if (!m_pictureFolder.isEmpty())
        dialog.setDirectory(m_pictureFolder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    m_pictureFolder = dialog.directory().absolutePath();
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

QStringList QtPrompts::choosePictureFiles(const QString& filter, const QString& initialFolder) {
    PictureFileDialog dialog(filter, true, m_settings, QApplication::activeWindow());
    dialog.setDirectory(initialFolder);
    return dialog.exec() == QDialog::Accepted ? nativePaths(dialog.selectedFiles()) : QStringList{};
}

int QtPrompts::runDialog(QDialog& dialog) {
    return dialog.exec();
}

} // namespace veskaro
