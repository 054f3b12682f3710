#include "ui/UploadDialog.h"

#include "ui/ControlNames.h"
#include "ui/Prompts.h"
#include "ui/SpinEdit.h"
#include "ui/Utf8Text.h"
#include "ui/WidgetNaming.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace veskaro {

namespace {

QString trimmed(const QLineEdit* edit) {
    return edit->text().trimmed();
}

} // namespace

UploadDialog::UploadDialog(Prompts& prompts, std::function<void(const Choices&)> tester, QWidget* parent)
    : QDialog(parent), m_prompts(prompts), m_tester(std::move(tester)) {
    buildDialog();
}

// The password field is cleared before the dialog goes, so that its text does not outlive the dialog in
// the field's own buffers any longer than it must.
UploadDialog::~UploadDialog() {
    m_password->clear();
}

void UploadDialog::buildDialog() {
    setObjectName(QLatin1String(names::formUpload));
    setWindowTitle(tr("Upload to Web Server"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);

    m_protocol = named(new QComboBox, names::cmbxUploadProtocol);
    m_protocol->addItem(tr("SFTP (SSH)"), static_cast<int>(UploadProtocol::Sftp));
    m_protocol->addItem(tr("FTPS (FTP with TLS)"), static_cast<int>(UploadProtocol::Ftps));
    m_protocol->addItem(tr("FTP (unencrypted)"), static_cast<int>(UploadProtocol::Ftp));
    form->addRow(tr("&Protocol"), m_protocol);
    m_host = named(new QLineEdit, names::edtUploadHost);
    form->addRow(tr("&Host"), m_host);
    m_port = named(new SpinEdit(0, 65535), names::spnedtUploadPort);
    m_port->setToolTip(tr("0 uses the protocol's own port: 22 for SFTP, 21 for FTPS and FTP"));
    form->addRow(tr("P&ort"), m_port);
    m_user = named(new QLineEdit, names::edtUploadUser);
    form->addRow(tr("Us&er"), m_user);
    m_folder = named(new QLineEdit, names::edtUploadFolder);
    m_folder->setPlaceholderText(tr("below the login folder, or /absolute/path"));
    form->addRow(tr("Remote &folder"), m_folder);

    m_auth = named(new QComboBox, names::cmbxUploadAuth);
    m_auth->addItem(tr("Password"), static_cast<int>(UploadAuth::Password));
    m_auth->addItem(tr("Key file"), static_cast<int>(UploadAuth::Key));
    m_auth->addItem(tr("SSH agent"), static_cast<int>(UploadAuth::Agent));
    form->addRow(tr("&Sign in with"), m_auth);
    auto* keyRow = new QHBoxLayout;
    m_keyFile = named(new QLineEdit, names::edtUploadKeyFile);
    m_keyButton = named(new QToolButton, names::spdbtnUploadKeyFile);
    m_keyButton->setText(QStringLiteral("..."));
    m_keyButton->setToolTip(tr("Choose the private key file"));
    keyRow->addWidget(m_keyFile, 1);
    keyRow->addWidget(m_keyButton);
    auto* keyCaption = new QLabel(tr("&Key file"));
    keyCaption->setBuddy(m_keyFile);
    form->addRow(keyCaption, keyRow);
    m_password = named(new QLineEdit, names::edtUploadPassword);
    m_password->setEchoMode(QLineEdit::Password);
    m_passwordCaption = new QLabel(tr("Pass&word"));
    m_passwordCaption->setBuddy(m_password);
    form->addRow(m_passwordCaption, m_password);
    m_remember = named(new QCheckBox(tr("&Remember password")), names::chkbxRememberPassword);
    form->addRow(QString(), m_remember);
    m_deleteStale = named(new QCheckBox(tr("Remove files the slider &no longer uses")), names::chkbxDeleteStale);
    m_deleteStale->setToolTip(tr("Only files an earlier upload sent are ever removed"));
    form->addRow(QString(), m_deleteStale);

    m_note = named(new QLabel, names::lblUploadNote);
    m_note->setWordWrap(true);
    m_note->setTextFormat(Qt::PlainText);
    layout->addWidget(m_note);

    auto* buttons = new QHBoxLayout;
    auto* test = named(new QPushButton(tr("&Test Connection")), names::btnTestConnection);
    auto* upload = named(new QPushButton(tr("&Upload")), names::btnUpload);
    auto* cancel = named(new QPushButton(tr("Cancel")), names::btnUploadCancel);
    upload->setDefault(true);
    buttons->addWidget(test);
    buttons->addStretch(1);
    buttons->addWidget(upload);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(m_protocol, &QComboBox::currentIndexChanged, this, &UploadDialog::followAuthentication);
    connect(m_auth, &QComboBox::currentIndexChanged, this, &UploadDialog::followAuthentication);
    connect(m_keyButton, &QToolButton::clicked, this, &UploadDialog::pickKeyFile);
    connect(test, &QPushButton::clicked, this, &UploadDialog::testConnection);
    connect(upload, &QPushButton::clicked, this, &UploadDialog::upload);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    followAuthentication();
}

void UploadDialog::showChoices(const Choices& choices) {
    m_protocol->setCurrentIndex(m_protocol->findData(static_cast<int>(choices.target.protocol)));
    m_host->setText(fromUtf8Text(choices.target.host));
    m_port->setValue(choices.target.port);
    m_user->setText(fromUtf8Text(choices.target.user));
    m_folder->setText(fromUtf8Text(choices.target.folder));
    m_auth->setCurrentIndex(m_auth->findData(static_cast<int>(choices.target.auth)));
    m_keyFile->setText(fromUtf8Text(choices.target.keyFile));
    m_password->setText(fromUtf8Text(choices.password));
    m_remember->setChecked(choices.rememberPassword);
    m_deleteStale->setChecked(choices.deleteStale);
    followAuthentication();
}

UploadDialog::Choices UploadDialog::choices() const {
    Choices choices;
    choices.target.protocol = static_cast<UploadProtocol>(m_protocol->currentData().toInt());
    choices.target.host = toUtf8Text(trimmed(m_host));
    choices.target.port = std::clamp(m_port->value(), m_port->minimum(), m_port->maximum());
    choices.target.user = toUtf8Text(trimmed(m_user));
    choices.target.folder = toUtf8Text(trimmed(m_folder));
    choices.target.auth = static_cast<UploadAuth>(m_auth->currentData().toInt());
    if (choices.target.auth == UploadAuth::Key)
        choices.target.keyFile = toUtf8Text(trimmed(m_keyFile));
    if (choices.target.auth != UploadAuth::Agent)
        choices.password = toUtf8Text(m_password->text());
    choices.rememberPassword = m_remember->isChecked() && choices.target.auth != UploadAuth::Agent;
    choices.deleteStale = m_deleteStale->isChecked();
    return choices;
}

std::optional<std::pair<QWidget*, QString>> UploadDialog::missingChoice() const {
    if (trimmed(m_host).isEmpty())
        return std::pair<QWidget*, QString>{m_host, tr("Please give the web server's host name.")};
    if (m_port->value() != std::clamp(m_port->value(), m_port->minimum(), m_port->maximum()))
        return std::pair<QWidget*, QString>{m_port, tr("A port lies between 1 and 65535; 0 uses the protocol's own.")};
    if (m_auth->currentData().toInt() == static_cast<int>(UploadAuth::Key) && trimmed(m_keyFile).isEmpty())
        return std::pair<QWidget*, QString>{m_keyFile, tr("Please choose the private key file.")};
    return std::nullopt;
}

// Keys and the agent are SSH's; FTP and FTPS sign in with a password only. The password field then asks
// for the key file's passphrase, which may also be empty.
void UploadDialog::followAuthentication() {
    const bool sftp = m_protocol->currentData().toInt() == static_cast<int>(UploadProtocol::Sftp);
    if (!sftp)
        m_auth->setCurrentIndex(m_auth->findData(static_cast<int>(UploadAuth::Password)));
    m_auth->setEnabled(sftp);
    const auto auth = static_cast<UploadAuth>(m_auth->currentData().toInt());
    m_keyFile->setEnabled(auth == UploadAuth::Key);
    m_keyButton->setEnabled(auth == UploadAuth::Key);
    m_password->setEnabled(auth != UploadAuth::Agent);
    m_remember->setEnabled(auth != UploadAuth::Agent);
    m_passwordCaption->setText(auth == UploadAuth::Key ? tr("P&assphrase") : tr("Pass&word"));
    m_note->setText(m_protocol->currentData().toInt() == static_cast<int>(UploadProtocol::Ftp)
                        ? tr("FTP sends the password and the files unencrypted: use SFTP or FTPS where the "
                             "server offers them.")
                        : QString());
}

void UploadDialog::pickKeyFile() {
    const QString chosen =
        m_prompts.chooseOpenFile(tr("Private key files (*)"), QDir::homePath() + QStringLiteral("/.ssh"));
    if (!chosen.isEmpty())
        m_keyFile->setText(chosen);
}

void UploadDialog::testConnection() {
    if (const auto missing = missingChoice()) {
        m_prompts.showMessage(PromptIcon::Warning, missing->second, PromptButtons::Ok);
        missing->first->setFocus();
        return;
    }
    m_tester(choices());
}

void UploadDialog::upload() {
    if (const auto missing = missingChoice()) {
        m_prompts.showMessage(PromptIcon::Warning, missing->second, PromptButtons::Ok);
        missing->first->setFocus();
        return;
    }
    accept();
}

} // namespace veskaro
