#include "ui/PictureFileDialog.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QVBoxLayout>

namespace veskaro {

namespace {

constexpr QSize kPreviewSize(160, 120);

} // namespace

PictureFileDialog::PictureFileDialog(const QString& filter, bool several, QWidget* parent)
    : QFileDialog(parent, several ? tr("Import Images") : tr("Open Image")) {
    // The pane is added to Qt's own dialog; a native dialog has no room for it.
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(several ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);
    setNameFilters(filter.split(QStringLiteral(";;")));
    setSizeGripEnabled(true);

    auto* pane = new QGroupBox(tr("Preview"));
    auto* paneLayout = new QVBoxLayout(pane);
    m_picture = new QLabel;
    m_picture->setObjectName(QLatin1String(names::PicturePreview));
    m_picture->setFixedSize(kPreviewSize);
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setWordWrap(true);
    m_size = new QLabel;
    m_size->setObjectName(QLatin1String(names::PictureSize));
    m_size->setAlignment(Qt::AlignCenter);
    paneLayout->addWidget(m_picture);
    paneLayout->addWidget(m_size);
    paneLayout->addStretch(1);
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(pane, 0, grid->columnCount(), grid->rowCount(), 1);

    connect(this, &QFileDialog::currentChanged, this, &PictureFileDialog::showPreview);
}

void PictureFileDialog::showPreview(const QString& path) {
    m_picture->clear();
    m_size->clear();
    if (!QFileInfo(path).isFile())
        return;
    QImageReader reader(path);
    const QSize full = reader.size();
    // Decoded straight to the pane's size, so a huge picture never sits in memory whole; a size the
    // reader refuses to allocate reads as an unreadable picture.
    if (full.isValid())
        reader.setScaledSize(full.scaled(kPreviewSize.boundedTo(full), Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    const QImage image = reader.read();
    if (image.isNull()) {
        m_picture->setText(tr("No preview: %1").arg(reader.errorString()));
        return;
    }
    m_picture->setPixmap(QPixmap::fromImage(image));
    m_size->setText(tr("%1 x %2 pixels").arg(full.width()).arg(full.height()));
}

} // namespace veskaro
