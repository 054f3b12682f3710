#include "ui/TfrmMsgBox_LinkTip.h"

#include "browse/LinkTipSetting.h"
#include "ui/RunCommand.h"
#include "ui/WidgetNaming.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace veskaro {

TfrmMsgBox_LinkTip::TfrmMsgBox_LinkTip(SettingsStore& settings, Prompts& prompts, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_prompts(prompts) {
    setObjectName(QLatin1String(names::frmMsgBox_LinkTip));
    setWindowTitle(tr("Important Tip"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto* text = named(new QLabel(tr("Local link may not work for security reason. Please click the '?' book icon "
                                     "within link group to know more details.")),
                       names::LinkTipLabel1);
    text->setWordWrap(true);
    text->setFixedWidth(266);
    auto* ok = named(new QPushButton(tr("OK")), names::btnOK);
    ok->setMinimumSize(105, 25);
    ok->setDefault(true);
    auto* dontShow = named(new QCheckBox(tr("Do not show this dialog again.")), names::chckbxDontShow);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    layout->addWidget(dontShow, 0, Qt::AlignLeft);
    setFixedSize(QSize(297, 129).expandedTo(sizeHint()));
    centreOnScreen(*this);

    connect(ok, &QPushButton::clicked, this, &TfrmMsgBox_LinkTip::btnOKClick);
    connect(dontShow, &QCheckBox::clicked, this, &TfrmMsgBox_LinkTip::chckbxDontShowClick);
}

void TfrmMsgBox_LinkTip::btnOKClick() {
    accept();
}

void TfrmMsgBox_LinkTip::chckbxDontShowClick(bool ticked) {
    runCommand(m_prompts, [this, ticked] { writeShowLinkTip(m_settings, !ticked); });
}

} // namespace veskaro
