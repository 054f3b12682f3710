#include "ui/ParameterPages.h"

#include "generate/PublishedPictures.h"
#include "generate/PublishingProblems.h"
#include "model/ParameterRules.h"
#include "model/ValueText.h"
#include "ui/ColorPanel.h"
#include "ui/ControlNames.h"
#include "ui/Icons.h"
#include "ui/SpinEdit.h"
#include "ui/TCheckGroupBox.h"
#include "ui/Utf8Text.h"
#include "ui/ValueTextValidator.h"
#include "ui/WidgetNaming.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <tuple>
#include <utility>

namespace veskaro {

namespace {

// Reads a record from the controls that the rows of its binding table edit, row by row.
template <typename Record, std::size_t N>
Record recordFromControls(const std::array<FieldBinding<Record>, N>& table, const std::array<QWidget*, N>& controls) {
    Record record;
    for (std::size_t row = 0; row < N; ++row)
        record.*table[row].field = ControlToText(*controls[row]);
    return record;
}

template <typename Record, std::size_t N>
void showRecordInControls(const Record& record, const std::array<FieldBinding<Record>, N>& table,
                          const std::array<QWidget*, N>& controls) {
    for (std::size_t row = 0; row < N; ++row)
        TextToControl(record.*table[row].field, *controls[row]);
}

// The caption of a parameter: bold, like every parameter caption of the pages.
QLabel* captionLabel(const QString& text) {
    auto* label = new QLabel(text);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

QLabel* wrappedLabel(const QString& text) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

QGroupBox* group(const char* name, const QString& caption) {
    return named(new QGroupBox(caption), name);
}

QToolButton* browseButton(const char* name) {
    auto* button = named(new QToolButton, name);
    button->setIcon(menuIcon(MenuImage::Open));
    button->setAutoRaise(true);
    return button;
}

// A row of a grid: a caption and a field that keeps its natural width.
void addFieldRow(QGridLayout* grid, int row, const QString& caption, QWidget* field) {
    grid->addWidget(captionLabel(caption), row, 0);
    grid->addWidget(field, row, 1, Qt::AlignLeft);
}

// Returns the row of a binding table that holds field.
template <typename Record, std::size_t N>
std::size_t rowOf(const std::array<FieldBinding<Record>, N>& table, std::string Record::*field) {
    for (std::size_t row = 0; row < N; ++row)
        if (table[row].field == field)
            return row;
    throw std::logic_error("a parameter page binds a field that its binding table does not hold");
}

// A binding table row without its control would leave a value that is never shown nor stored.
template <typename Record, std::size_t N>
void requireEveryControl(const std::array<FieldBinding<Record>, N>& table, const std::array<QWidget*, N>& controls) {
    for (std::size_t row = 0; row < N; ++row)
        if (!controls[row])
            throw std::logic_error(std::string("the parameter pages have no control ") + table[row].control);
}

// Nothing checks the options between the window and publishing, so a number typed beyond its range reaches
// the project as its nearest bound, even while the field still shows what was typed.
std::string optionText(const QWidget& control) {
    if (const auto* spin = qobject_cast<const SpinEdit*>(&control))
        return std::to_string(std::clamp(spin->value(), spin->minimum(), spin->maximum()));
    return ControlToText(control);
}

std::size_t optionRow(const char* option) {
    for (std::size_t row = 0; row < kOptionBinding.size(); ++row)
        if (std::string_view(kOptionBinding[row].option) == option)
            return row;
    throw std::logic_error("a parameter page binds an option that its binding table does not hold");
}

} // namespace

ParameterPages::ParameterPages(QWidget* parent) : QTabWidget(parent), m_validator(new ValueTextValidator(this)) {
    setObjectName(QLatin1String(names::pgcntrl1));
    m_scriptPage = buildScriptPage();
    m_itemPage = buildItemPage();
    m_pathPage = buildPathPage();
    requireEveryControl(kScriptBinding, m_scriptControls);
    requireEveryControl(kItemBinding, m_itemControls);
    for (std::size_t row = 0; row < kOptionBinding.size(); ++row)
        if (!m_optionControls[row])
            throw std::logic_error(std::string("the parameter pages have no control ") + kOptionBinding[row].control);
    addTab(m_scriptPage, tr("Script"));
    addTab(m_itemPage, tr("Item General"));
    addTab(m_pathPage, tr("Path"));
    // Wrapped texts need more height in a narrow page; ask for the height the narrowest page needs.
    for (QWidget* page : {m_scriptPage, m_itemPage, m_pathPage})
        if (page->hasHeightForWidth())
            page->setMinimumHeight(page->heightForWidth(page->minimumSizeHint().width()));
    // Never smaller than the pages need with the fonts of this desktop.
    setMinimumSize(minimumSizeHint().expandedTo(QSize(433, 420)));
    for (QLineEdit* field : findChildren<QLineEdit*>())
        field->installEventFilter(this);
}

// Undo and redo keys go to the window's commands, which take back a field's typing as one step, rather
// than to the field's own history, which knows nothing of the project.
bool ParameterPages::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeyCombination combination = key->keyCombination();
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
            combination == QKeyCombination(Qt::CTRL, Qt::Key_Y) ||
            combination == QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z)) {
            event->ignore();
            return true;
        }
    }
    return QTabWidget::eventFilter(watched, event);
}

// --- Transfers ---

TAppletData ParameterPages::scriptParams() const {
    return recordFromControls(kScriptBinding, m_scriptControls);
}

void ParameterPages::showScriptParams(const TAppletData& parameters) {
    const QScopedValueRollback showing(m_showingValues, true);
    showRecordInControls(parameters, kScriptBinding, m_scriptControls);
}

ProjectOptions ParameterPages::options(ProjectOptions options) const {
    for (std::size_t row = 0; row < kOptionBinding.size(); ++row)
        if (m_optionEdited[row])
            options.set(kOptionBinding[row].option, optionText(*m_optionControls[row]));
    return options;
}

// The options' block may come from a file edited by hand; its values never stop the transfer.
void ParameterPages::showOptions(const ProjectOptions& options) {
    const QScopedValueRollback showing(m_showingValues, true);
    m_optionEdited.fill(false);
    for (std::size_t row = 0; row < kOptionBinding.size(); ++row) {
        const char* option = kOptionBinding[row].option;
        std::string text = options.value(option);
        if (qobject_cast<SpinEdit*>(m_optionControls[row]) && !wholeNumberOf(text))
            text = *defaultOptionValue(option);
        TextToControl(text, *m_optionControls[row]);
    }
}

TItemData ParameterPages::item(TItemData item) const {
    for (std::size_t row = 0; row < kItemBinding.size(); ++row)
        item.*kItemBinding[row].field = ControlToText(*m_itemControls[row]);
    return item;
}

void ParameterPages::showItem(const TItemData& item) {
    const QScopedValueRollback showing(m_showingValues, true);
    showRecordInControls(item, kItemBinding, m_itemControls);
}

// --- Arrangement and preview ---

void ParameterPages::arrangeFor(bool root) {
    if (m_arrangedForRoot == root)
        return;
    const int scriptTab = indexOf(m_scriptPage);
    const int itemTab = indexOf(m_itemPage);
    const int pathTab = indexOf(m_pathPage);
    setTabVisible(root ? scriptTab : itemTab, true);
    setTabVisible(pathTab, root);
    setCurrentIndex(root ? scriptTab : itemTab);
    setTabVisible(root ? itemTab : scriptTab, false);
    m_arrangedForRoot = root;
}

QString ParameterPages::showPicture(const QString& file) {
    // Decoded straight to the preview's size: a large photograph never sits in memory whole.
    QImageReader reader(file);
    const qreal ratio = m_preview->devicePixelRatioF();
    reader.setScaledSize(m_preview->size() * ratio);
    const QImage image = reader.read();
    m_preview->show();
    if (image.isNull()) {
        m_preview->setPixmap({});
        m_preview->setText(tr("This picture cannot be shown."));
        return reader.errorString();
    }
    QPixmap picture = QPixmap::fromImage(image);
    picture.setDevicePixelRatio(ratio);
    m_preview->setPixmap(picture);
    return {};
}

void ParameterPages::hidePicture() {
    m_preview->hide();
}

QString ParameterPages::imagePath() const {
    return m_imagePath->text();
}

void ParameterPages::setImagePath(const QString& path) {
    m_imagePath->setText(path);
}

void ParameterPages::setLink(const QString& link) {
    m_link->setEditText(link);
}

// --- Building ---

void ParameterPages::bind(std::string TAppletData::*field, QWidget* control) {
    const std::size_t row = rowOf(kScriptBinding, field);
    named(control, kScriptBinding[row].control);
    m_scriptControls[row] = control;
    reportEditsOf(control);
}

void ParameterPages::bind(std::string TItemData::*field, QWidget* control) {
    const std::size_t row = rowOf(kItemBinding, field);
    named(control, kItemBinding[row].control);
    m_itemControls[row] = control;
    reportEditsOf(control);
}

void ParameterPages::bindOption(const char* option, QWidget* control) {
    const std::size_t row = optionRow(option);
    named(control, kOptionBinding[row].control);
    m_optionControls[row] = control;
    // Connected before the edit is reported, so that the project takes the value with the edit.
    const auto markEdited = [this, row] {
        if (!m_showingValues)
            m_optionEdited[row] = true;
    };
    if (auto* spin = qobject_cast<SpinEdit*>(control))
        connect(spin, &SpinEdit::changed, this, markEdited);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        connect(button, &QAbstractButton::toggled, this, markEdited);
    reportEditsOf(control);
}

// The kinds are tried in the order the binding converts them, the more special before the more general.
void ParameterPages::reportEditsOf(QWidget* control) {
    if (auto* combo = qobject_cast<QComboBox*>(control))
        reportEdits(combo, &QComboBox::editTextChanged);
    else if (auto* spin = qobject_cast<SpinEdit*>(control))
        reportEdits(spin, &SpinEdit::changed);
    else if (auto* edit = qobject_cast<QLineEdit*>(control))
        reportEdits(edit, &QLineEdit::textChanged);
    else if (auto* panel = qobject_cast<ColorPanel*>(control))
        reportEdits(panel, &ColorPanel::colorChanged);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        reportEdits(button, &QAbstractButton::toggled);
    else
        throw std::logic_error("a parameter page binds a control that cannot report its edits");
}

// Every text field refuses the value terminator as it is typed; the spin edits take digits and signs only.
QLineEdit* ParameterPages::textField(std::string TAppletData::*field) {
    auto* edit = new QLineEdit;
    bind(field, edit);
    guardText(edit, m_validator);
    return edit;
}

QLineEdit* ParameterPages::textField(std::string TItemData::*field) {
    auto* edit = new QLineEdit;
    bind(field, edit);
    guardText(edit, m_validator);
    return edit;
}

SpinEdit* ParameterPages::numberField(std::string TAppletData::*field) {
    const AppletField& rules = appletField(field);
    auto* spin = new SpinEdit(rules.lowest, rules.highest);
    bind(field, spin);
    m_hintControls.append(spin);
    return spin;
}

// The caption is the panel's label: it names the panel to assistive tools as it names it on the page.
ColorPanel* ParameterPages::colorField(std::string TAppletData::*field, QLabel* caption) {
    auto* panel = new ColorPanel;
    bind(field, panel);
    panel->setAccessibleName(caption->text());
    caption->setBuddy(panel);
    m_hintControls.append(panel);
    return panel;
}

QComboBox* ParameterPages::suggestionField(std::string TItemData::*field, const QStringList& suggestions) {
    auto* combo = new QComboBox;
    // Editable before it is bound, so that its line edit is there to report the typing.
    combo->setEditable(true);
    bind(field, combo);
    // The list only suggests: typed text is stored as it is and never joins the list.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(suggestions);
    combo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    guardText(combo->lineEdit(), m_validator);
    return combo;
}

void ParameterPages::guardText(QLineEdit* field, ValueTextValidator* validator) {
    field->setValidator(validator);
    connect(field, &QLineEdit::inputRejected, this,
            [this, field, validator] { emit textRefused(field, validator->lastRefusal()); });
}

// The slider name names the style sheet file, so a name that publishing would refuse as too long is
// refused as it is typed. An edit that shortens such a name (loaded from a file) is taken, so that the
// user can always bring it within the limit.
QLineEdit* ParameterPages::sliderNameField() {
    auto* edit = new QLineEdit;
    bind(&TAppletData::pSliderName, edit);
    // The field holds the edited text already while the validator looks at it: the text before the edit
    // is the one it last reported.
    auto shown = std::make_shared<QString>();
    connect(edit, &QLineEdit::textChanged, this, [shown](const QString& text) { *shown = text; });
    auto* validator = new ValueTextValidator(this, [shown](const QString& name) -> std::optional<TextRefusal> {
        if (sliderNameFits(toUtf8Text(name)) || name.size() < shown->size())
            return std::nullopt;
        return TextRefusal{tr("A slider name holds at most %1 bytes.").arg(kLongestSliderId),
                           fromUtf8Text(sliderNameProblemText(SliderNameProblem::TooLong))};
    });
    guardText(edit, validator);
    return edit;
}

QToolButton* ParameterPages::helpButton(const char* name, int tag) {
    auto* button = named(new QToolButton, name);
    button->setIcon(menuIcon(MenuImage::Help));
    button->setAutoRaise(true);
    // The help pages are looked up by this number.
    button->setProperty("Tag", tag);
    m_helpButtons.append(button);
    return button;
}

QWidget* ParameterPages::buildScriptPage() {
    auto* page = named(new QWidget, names::tbshtScript);
    m_hintControls.append(page);
    auto* layout = new QVBoxLayout(page);

    QGroupBox* general = group(names::grpbx_Script_Menu, tr("General"));
    auto* generalGrid = new QGridLayout(general);
    generalGrid->addWidget(captionLabel(tr("Name")), 0, 0);
    generalGrid->addWidget(sliderNameField(), 0, 1);
    addFieldRow(generalGrid, 1, tr("Width"), numberField(&TAppletData::sliderWidth));
    addFieldRow(generalGrid, 2, tr("Height"), numberField(&TAppletData::sliderHeight));
    generalGrid->addWidget(helpButton(names::SpeedButton1, 1), 0, 2, Qt::AlignRight | Qt::AlignTop);
    generalGrid->setColumnStretch(1, 1);
    layout->addWidget(general);

    QGroupBox* navigation = group(names::GroupBox1, tr("Navigation Buttons"));
    auto* navigationGrid = new QGridLayout(navigation);
    navigationGrid->addWidget(captionLabel(tr("Vertical Offset")), 0, 0);
    navigationGrid->addWidget(numberField(&TAppletData::navBtnVerticalOffset), 0, 1, 1, 3, Qt::AlignLeft);
    // Text colours at the left with their panels, background colours to their right.
    using ColorField = std::string TAppletData::*;
    const std::array<std::tuple<QString, ColorField, QString, ColorField>, 4> colorRows{{
        {tr("Normal Text Color"), &TAppletData::navBtnTextColorNormal, tr("Normal BG Color"),
         &TAppletData::navBtnBgColorNormal},
        {tr("Hover Text Color"), &TAppletData::navBtnTextColorHover, tr("Hover BG Color"),
         &TAppletData::navBtnBgColorHover},
        {tr("Active Text Color"), &TAppletData::navBtnTextColorActive, tr("Active BG Color"),
         &TAppletData::navBtnBgColorActive},
        {tr("Active Hover Text Color"), &TAppletData::navBtnTextColorActiveHover, tr("Active Hover BG Color"),
         &TAppletData::navBtnBgColorActiveHover},
    }};
    // Each panel keeps to the left of its cell, beside its caption, however wide the window grows: the
    // room to spare goes to the empty column before the help button.
    int row = 1;
    auto panel = m_colorPanels.begin();
    for (const auto& [textCaption, textColor, backgroundCaption, backgroundColor] : colorRows) {
        for (const auto& [caption, field, column] :
             {std::tuple{textCaption, textColor, 0}, std::tuple{backgroundCaption, backgroundColor, 2}}) {
            QLabel* label = captionLabel(caption);
            *panel = colorField(field, label);
            navigationGrid->addWidget(label, row, column);
            navigationGrid->addWidget(*panel++, row, column + 1, Qt::AlignLeft);
        }
        ++row;
    }
    navigationGrid->setColumnMinimumWidth(1, 40);
    navigationGrid->setColumnStretch(4, 1);
    navigationGrid->addWidget(helpButton(names::SpeedButton2, 2), 0, 5, Qt::AlignRight | Qt::AlignTop);
    layout->addWidget(navigation);

    QGroupBox* timing = group(names::GroupBox9, tr("Timing"));
    auto* timingGrid = new QGridLayout(timing);
    addFieldRow(timingGrid, 0, tr("Automatic Transition Duration"), numberField(&TAppletData::transDurAuto));
    addFieldRow(timingGrid, 1, tr("Manual Transition Duration"), numberField(&TAppletData::transDurManual));
    addFieldRow(timingGrid, 2, tr("Delay Switching Image"), numberField(&TAppletData::switchImageDelay));
    timingGrid->setColumnStretch(1, 1);
    timingGrid->addWidget(helpButton(names::SpeedButton11, 3), 0, 2, Qt::AlignRight | Qt::AlignTop);
    layout->addWidget(timing);
    layout->addWidget(buildPicturesGroup());
    layout->addStretch(1);
    return page;
}

QGroupBox* ParameterPages::buildPicturesGroup() {
    QGroupBox* pictures = group(names::grpbxPicturesForVisitors, tr("Pictures for Visitors"));
    auto* grid = new QGridLayout(pictures);
    const std::array<std::pair<const char*, QString>, 3> switches{{
        {"Pictures.HighDensity", tr("Sharp on high-density screens")},
        {"Pictures.WebP", tr("Modern picture format (WebP) with a fallback")},
        {"Pictures.LazyLoad", tr("Load later pictures when they are needed")},
    }};
    int row = 0;
    for (const auto& [option, caption] : switches) {
        auto* box = new QCheckBox(caption);
        bindOption(option, box);
        grid->addWidget(box, row++, 0, 1, 2);
    }
    const char* quality = "Pictures.JpegQuality";
    auto* spin = new SpinEdit(kLowestJpegQuality, kHighestJpegQuality);
    spin->setValue(strToInt(*defaultOptionValue(quality)));
    bindOption(quality, spin);
    spin->setToolTip(
        tr("From %1 (smallest files) to %2 (best pictures)").arg(kLowestJpegQuality).arg(kHighestJpegQuality));
    m_hintControls.append(spin);
    QLabel* caption = captionLabel(tr("Quality of JPEG pictures"));
    caption->setBuddy(spin);
    spin->setAccessibleName(caption->text());
    grid->addWidget(caption, row, 0);
    grid->addWidget(spin, row, 1, Qt::AlignLeft);
    grid->setColumnStretch(1, 1);
    grid->addWidget(helpButton(names::SpeedButtonPictures, 9), 0, 2, Qt::AlignRight | Qt::AlignTop);
    return pictures;
}

QWidget* ParameterPages::buildItemPage() {
    auto* page = named(new QWidget, names::tbshtItemGeneral);
    auto* layout = new QVBoxLayout(page);

    QGroupBox* image = group(names::GroupBox12, tr("Original Image Path"));
    auto* imageRow = new QHBoxLayout(image);
    m_imagePath = textField(&TItemData::IOriginalImagePath);
    imageRow->addWidget(m_imagePath, 1);
    m_pictureButton = browseButton(names::spdbtnOriginalImagePath);
    imageRow->addWidget(m_pictureButton);
    imageRow->addWidget(helpButton(names::SpeedButton13, 5));
    layout->addWidget(image);

    QGroupBox* link = group(names::GroupBox7, tr("Link"));
    auto* linkGrid = new QGridLayout(link);
    linkGrid->addWidget(captionLabel(tr("URL")), 0, 0);
    m_link = suggestionField(&TItemData::ILink,
                             {QStringLiteral("http://"), QStringLiteral("mailto://"), QStringLiteral("javascript:"),
                              QStringLiteral("ftp://"), QStringLiteral("news://")});
    linkGrid->addWidget(m_link, 0, 1);
    m_linkButton = browseButton(names::spdbtnItURL);
    linkGrid->addWidget(m_linkButton, 0, 2);
    linkGrid->addWidget(captionLabel(tr("Target")), 1, 0);
    linkGrid->addWidget(suggestionField(&TItemData::ITarget,
                                        {QStringLiteral("_self"), QStringLiteral("_blank"), QStringLiteral("_parent"),
                                         QStringLiteral("_top"), QStringLiteral("_search"), QStringLiteral("_media")}),
                        1, 1);
    linkGrid->addWidget(helpButton(names::SpeedButton24, 6), 0, 3);
    layout->addWidget(link);

    QGroupBox* description = group(names::GroupBox10, tr("Description"));
    auto* descriptionRow = new QHBoxLayout(description);
    QLineEdit* toolTip = textField(&TItemData::IToolTip);
    descriptionRow->addWidget(toolTip, 1);
    descriptionRow->addWidget(helpButton(names::SpeedButton19, 7));
    layout->addWidget(description);
    layout->addStretch(1);
    m_hintControls << link << m_linkButton << toolTip << m_pictureButton;

    QGroupBox* preview = group(names::GroupBox2, tr("Preview"));
    preview->setMinimumSize(153, 113);
    preview->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* previewLayout = new QVBoxLayout(preview);
    m_preview = named(new QLabel, names::imgPreview);
    m_preview->setFixedSize(120, 90);
    m_preview->setScaledContents(true);
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setWordWrap(true);
    m_preview->hide();
    previewLayout->addWidget(m_preview, 0, Qt::AlignCenter);
    layout->addWidget(preview, 0, Qt::AlignLeft);
    return page;
}

QWidget* ParameterPages::buildPathPage() {
    auto* page = named(new QWidget, names::tbshtPath);
    auto* pageLayout = new QVBoxLayout(page);
    QGroupBox* replacement = group(names::GroupBox5, tr("Path Replacement for Publishing"));
    pageLayout->addWidget(replacement);
    auto* layout = new QVBoxLayout(replacement);

    QLabel* explanation = wrappedLabel(
        tr("If item's URL contains either local or web path you specified here, one path will be replaced by another "
           "depending on the choice below. Local path will be replaced by web path for uploading if you need to upload "
           "the menu to web server to test or publish. "));
    explanation->setForegroundRole(QPalette::PlaceholderText);
    layout->addWidget(explanation);
    layout->addSpacing(6);

    layout->addWidget(captionLabel(tr("Root Directory for Local Computer")));
    layout->addWidget(new QLabel(tr("e.g. file:///C|/projects/websites/tarnwell/")));
    layout->addWidget(textField(&TAppletData::InternalUse_RootDir_Local));
    layout->addSpacing(6);
    layout->addWidget(captionLabel(tr("Root Directory for Web Server")));
    layout->addWidget(new QLabel(tr("e.g. https://www.example.com/")));
    layout->addWidget(textField(&TAppletData::InternalUse_RootDir_Remote));
    layout->addSpacing(6);

    // Both buttons share the group box, which makes them one exclusive pair.
    auto* local = new QRadioButton(tr("Test on Local Computer (Switch to Local Path)"));
    bind(&TAppletData::InternalUse_RootDir_Local_Checked, local);
    // Either button changes the bound one, which reports the edit.
    local->setChecked(true);
    layout->addWidget(local);
    layout->addWidget(named(new QRadioButton(tr("Upload to Web Server (Switch to Web Path)")),
                            names::InternalUse_RootDir_Local_Checked2));
    layout->addSpacing(12);

    auto* leadingPath = named(new TCheckGroupBox, names::CheckGroupBox1);
    auto* leadingLayout = new QVBoxLayout(leadingPath);
    leadingLayout->addWidget(wrappedLabel(tr("Specifies the leading path, e.g. ") +
                                          QStringLiteral("https://www.example.com/images/") +
                                          tr(", to the thumb image filenames. Leave the path blank for testing "
                                             "(preview) locally.")));
    QLineEdit* leadingEdit = textField(&TAppletData::pImageLeadingPath);
    leadingLayout->addWidget(leadingEdit);
    layout->addWidget(leadingPath);
    auto* enabled = new QCheckBox(tr("Image Leading Path"), replacement);
    bind(&TAppletData::pImageLeadingPathEnabled, enabled);
    QFont bold = enabled->font();
    bold.setBold(true);
    enabled->setFont(bold);
    enabled->setChecked(true);
    enabled->adjustSize();
    leadingPath->SetCheckComponent(enabled);
    // The check box sits in the group's caption, above the edit, and comes before it on the way through.
    setTabOrder(enabled, leadingEdit);

    layout->addStretch(1);
    layout->addWidget(helpButton(names::SpeedButton28, 8), 0, Qt::AlignRight);
    return page;
}

} // namespace veskaro
