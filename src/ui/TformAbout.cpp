#include "ui/TformAbout.h"

#include "model/MakerInfo.h"
#include "platform/Shell.h"
#include "ui/Icons.h"
#include "ui/WidgetNaming.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace veskaro {

namespace {

void setTextColor(QLabel* label, const QColor& color) {
    QPalette colored = label->palette();
    colored.setColor(QPalette::WindowText, color);
    label->setPalette(colored);
}

} // namespace

TformAbout::TformAbout(Shell& shell, QWidget* parent) : QDialog(parent), m_shell(shell) {
    buildBox();
    FormCreate();
}

void TformAbout::buildBox() {
    setObjectName(QLatin1String(names::formAbout));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
    setMouseTracking(true);

    auto* icon = named(new QLabel, names::Image1);
    icon->setPixmap(applicationIcon().pixmap(32, 32));
    icon->setFixedSize(32, 32);
    m_productName = named(new QLabel, names::lblProductName);
    QFont bold = m_productName->font();
    bold.setBold(true);
    m_productName->setFont(bold);
    m_productVersion = named(new QLabel, names::lblProductVersion);
    auto* notice = named(new QLabel(QString::fromLatin1(kMakerRightsNotice)), names::Label5);
    m_homePage = linkLabel(names::Label8, kProductPageAddress);
    m_supportPage = linkLabel(names::Label10, kSupportPageAddress);
    auto* ok = named(new QPushButton(tr("OK")), names::Button1);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* titles = new QVBoxLayout;
    titles->addWidget(m_productName);
    titles->addWidget(m_productVersion);
    auto* head = new QHBoxLayout;
    head->addWidget(icon, 0, Qt::AlignTop);
    head->addSpacing(12);
    head->addLayout(titles, 1);
    auto* links = new QGridLayout;
    links->addWidget(named(new QLabel(tr("Web Site")), names::Label2), 0, 0);
    links->addWidget(m_homePage, 0, 1);
    links->addWidget(named(new QLabel(tr("Tech Support")), names::Label3), 1, 0);
    links->addWidget(m_supportPage, 1, 1);
    links->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(notice);
    layout->addLayout(links);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    setFixedSize(QSize(313, 153).expandedTo(sizeHint()));
    centreOnScreen(*this);
}

QLabel* TformAbout::linkLabel(const char* name, const char* address) {
    auto* label = named(new QLabel(QString::fromLatin1(address)), name);
    label->setCursor(Qt::PointingHandCursor);
    label->setMouseTracking(true);
    label->installEventFilter(this);
    setTextColor(label, Qt::blue);
    return label;
}

void TformAbout::FormCreate() {
    // The box always names this product and version, whatever it was built with.
    m_productName->setText(QStringLiteral("Veskaro"));
    setWindowTitle(QStringLiteral("Veskaro"));
    m_productVersion->setText(QStringLiteral("Version 1.0"));
}

void TformAbout::Label8MouseMove() {
    setTextColor(m_homePage, Qt::red);
}

void TformAbout::Label10MouseMove() {
    setTextColor(m_supportPage, Qt::red);
}

void TformAbout::FormMouseMove() {
    setTextColor(m_homePage, Qt::blue);
    setTextColor(m_supportPage, Qt::blue);
}

void TformAbout::Label8Click() {
    m_shell.openAddress(kProductPageAddress);
}

void TformAbout::Label10Click() {
    m_shell.openAddress(kSupportPageAddress);
}

bool TformAbout::eventFilter(QObject* watched, QEvent* event) {
    const bool home = watched == m_homePage;
    const bool leftButton =
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease) &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    // A move over a label is the label's alone: passed on to the box, it would turn the label blue again.
    if (event->type() == QEvent::MouseMove) {
        home ? Label8MouseMove() : Label10MouseMove();
        return true;
    }
    // The press is taken too, so that the release, which makes the click, comes to the same label.
    if (leftButton && event->type() == QEvent::MouseButtonRelease)
        home ? Label8Click() : Label10Click();
    return leftButton || QDialog::eventFilter(watched, event);
}

void TformAbout::mouseMoveEvent(QMouseEvent* event) {
    FormMouseMove();
    QDialog::mouseMoveEvent(event);
}

} // namespace veskaro
