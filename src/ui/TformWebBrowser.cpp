#include "ui/TformWebBrowser.h"

#include "browse/BrowserDetection.h"
#include "ui/BrowserServices.h"
#include "ui/Prompts.h"
#include "ui/RunCommand.h"
#include "ui/Utf8Text.h"
#include "ui/WidgetNaming.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace veskaro {

namespace {

// Programs on Linux and macOS carry no extension, so only Windows narrows the choice to its program types.
QString programFilter() {
#ifdef _WIN32
    return QStringLiteral("Execute Files (*.exe *.com)");
#else
    return QStringLiteral("Execute Files (*)");
#endif
}

} // namespace

TformWebBrowser::TformWebBrowser(BrowserServices& services, Prompts& prompts, QWidget* parent)
    : QDialog(parent), m_services(services), m_prompts(prompts) {
    buildDialog();
    connectHandlers();
    FormCreate();
}

void TformWebBrowser::buildDialog() {
    setObjectName(QLatin1String(names::formWebBrowser));
    setWindowTitle(tr("Web Browser"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(393, 237);

    auto* group = new QGroupBox(tr("Web Browser"));
    auto* choices = new QVBoxLayout(group);
    m_default = named(new QRadioButton(tr("Use Default Browser")), names::RadioButtonBrowserDefault);
    m_known = named(new QRadioButton(tr("Use Known Browser in System")), names::RadioButtonBrowserKnownInSystem);
    m_browserList = named(new QComboBox, names::ComboBoxBrowserList);
    m_specified = named(new QRadioButton(tr("User Specified Browser Program")), names::RadioButtonBrowserUserSpecify);
    // The dialog's own rules decide which choice is checked, including none from odd stored settings.
    for (QRadioButton* radio : {m_default, m_known, m_specified})
        radio->setAutoExclusive(false);
    m_programPath = named(new QLineEdit, names::editSpecifiedBrowserFileName);
    auto* browse = named(new QToolButton, names::spdbtnOpenExeFile);
    browse->setAutoRaise(true);
    browse->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));

    // The list and the program row sit indented under the choice they belong to.
    auto* listRow = new QHBoxLayout;
    listRow->setContentsMargins(20, 0, 0, 0);
    listRow->addWidget(m_browserList);
    auto* programRow = new QHBoxLayout;
    programRow->setContentsMargins(20, 0, 0, 0);
    programRow->addWidget(new QLabel(tr("Execute File:")));
    programRow->addWidget(m_programPath, 1);
    programRow->addWidget(browse);
    choices->addWidget(m_default);
    choices->addWidget(m_known);
    choices->addLayout(listRow);
    choices->addWidget(m_specified);
    choices->addLayout(programRow);

    auto* ok = named(new QPushButton(tr("OK")), names::bitbtnOk);
    ok->setDefault(true);
    auto* cancel = named(new QPushButton(tr("Cancel")), names::bitbtnCancel);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);

    centreOnScreen(*this);
}

void TformWebBrowser::connectHandlers() {
    connect(m_default, &QRadioButton::clicked, this, [this] { checkByUser(BrowserKind::Default); });
    connect(m_known, &QRadioButton::clicked, this, &TformWebBrowser::RadioButtonBrowserKnownInSystemClick);
    connect(m_specified, &QRadioButton::clicked, this, [this] { checkByUser(BrowserKind::Specified); });
    // Only the user's choice arrives here: selecting by program does not check the known browser.
    connect(m_browserList, &QComboBox::activated, this, &TformWebBrowser::ComboBoxBrowserListChange);
    connect(m_programPath, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_choice.setProgramPath(toUtf8Text(text)); });
    connect(findChild<QToolButton*>(QLatin1String(names::spdbtnOpenExeFile)), &QToolButton::clicked, this,
            &TformWebBrowser::spdbtnOpenExeFileClick);
    connect(findChild<QPushButton*>(QLatin1String(names::bitbtnOk)), &QPushButton::clicked, this,
            &TformWebBrowser::bitbtnOkClick);
    connect(findChild<QPushButton*>(QLatin1String(names::bitbtnCancel)), &QPushButton::clicked, this, &QDialog::reject);
}

void TformWebBrowser::FormCreate() {
    m_choice = BrowserChoice(detectBrowsers(m_services.settings, m_services.places));
    for (const TWebBrowserNamePath& browser : m_choice.detectedBrowsers())
        m_browserList->addItem(fromUtf8Text(browser.Name));
    m_choice.load(m_services.settings);
    m_programPath->setText(fromUtf8Text(m_choice.programPath()));
    showChoice();
}

PageOpening TformWebBrowser::OpenPage(const std::string& folder, const std::string& fileName) {
    return m_choice.OpenPage(m_services.shell, folder, fileName);
}

void TformWebBrowser::RadioButtonBrowserKnownInSystemClick() {
    checkByUser(BrowserKind::Known);
}

void TformWebBrowser::ComboBoxBrowserListChange(int index) {
    m_choice.chooseListItem(index);
    showChoice();
}

void TformWebBrowser::spdbtnOpenExeFileClick() {
    const QString chosen = m_prompts.chooseOpenFile(programFilter(), QString());
    if (chosen.isEmpty())
        return;
    m_programPath->setText(chosen);
    m_choice.setProgramPath(toUtf8Text(chosen));
}

// The dialog runs its own event loop, where an error may not pass: it is shown, and the dialog stays open.
void TformWebBrowser::bitbtnOkClick() {
    runCommand(m_prompts, [this] {
        m_choice.save(m_services.settings);
        accept();
    });
}

// A click on a radio button always leaves it checked, as a radio button does.
void TformWebBrowser::checkByUser(BrowserKind kind) {
    m_choice.setChecked(kind, true);
    showChoice();
}

void TformWebBrowser::showChoice() {
    m_default->setChecked(m_choice.isChecked(BrowserKind::Default));
    m_known->setChecked(m_choice.isChecked(BrowserKind::Known));
    m_specified->setChecked(m_choice.isChecked(BrowserKind::Specified));
    m_browserList->setCurrentIndex(m_choice.selectedIndex());
}

} // namespace veskaro
