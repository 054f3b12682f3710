#pragma once

#include "upload/UploadTarget.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace veskaro {

class Prompts;
class SpinEdit;

/// The dialog "Upload to Web Server": where the published slider goes (protocol, host, port, user, remote
/// folder), how the user signs in (password, key file or SSH agent), whether the password is remembered in
/// the desktop's secret store and whether files the slider no longer uses are removed. "Upload" accepts it;
/// "Test Connection" hands the target as shown to the tester it was given.
class UploadDialog : public QDialog {
    Q_OBJECT
public:
    /// What the dialog shows and gives back.
    struct Choices {
        UploadTarget target;
        std::string password; // or the key file's passphrase; never kept by the dialog beyond its life
        bool rememberPassword = false;
        bool deleteStale = false;
    };

    /// Key files are chosen through prompts; tester runs "Test Connection" on the choices shown.
    UploadDialog(Prompts& prompts, std::function<void(const Choices&)> tester, QWidget* parent = nullptr);
    ~UploadDialog() override;

    void showChoices(const Choices& choices);
    /// Returns the choices as the controls show them, the texts trimmed; the port 0 stands for the
    /// protocol's own.
    Choices choices() const;

    /// Returns the name of the control that does not hold what an upload needs (an empty host, a key file
    /// not given), with the reason; nothing when the choices will do.
    std::optional<std::pair<QWidget*, QString>> missingChoice() const;

private:
    void buildDialog();
    void followAuthentication();
    void pickKeyFile();
    void testConnection();
    void upload();

    Prompts& m_prompts;
    std::function<void(const Choices&)> m_tester;
    QComboBox* m_protocol = nullptr;
    QLineEdit* m_host = nullptr;
    SpinEdit* m_port = nullptr;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_folder = nullptr;
    QComboBox* m_auth = nullptr;
    QLineEdit* m_keyFile = nullptr;
    QToolButton* m_keyButton = nullptr;
    QLineEdit* m_password = nullptr;
    QLabel* m_passwordCaption = nullptr;
    QCheckBox* m_remember = nullptr;
    QCheckBox* m_deleteStale = nullptr;
    QLabel* m_note = nullptr;
};

} // namespace veskaro
