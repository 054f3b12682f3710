#include "ui/PictureFileDialog.h"

#include "ui/FileFilter.h"

#include "browse/PictureDialogSize.h"

#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QImageReader>
#include <QLabel>
#include <QLocale>
#include <QMimeDatabase>
#include <QScrollBar>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace veskaro {

namespace {

constexpr QSize kPreviewSize(160, 120);

} // namespace

PictureFileDialog::PictureFileDialog(const QString& filter, bool several, SettingsStore* sizes, QWidget* parent)
    : QFileDialog(parent, several ? tr("Import Images") : tr("Open Image")), m_sizes(sizes) {
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
    const std::optional<DialogSize> kept = m_sizes ? readPictureDialogSize(*m_sizes) : std::nullopt;
    resize(kept ? QSize(kept->width, kept->height) : readableSize());
}

void PictureFileDialog::done(int result) {
    if (m_sizes)
        writePictureDialogSize(*m_sizes, {width(), height()});
    QFileDialog::done(result);
}

// Qt sizes the size column for texts such as "128.88 GB", while sizes read "135.56 KiB", and lets the
// filter box shrink below its text; both end cut off. The size column gets room for the longest size text,
// the filter box asks for its whole text, and the dialog opens wide enough for every column and the
// preview pane beside them.
QSize PictureFileDialog::readableSize() {
    const QFontMetrics metrics(font());
    for (QComboBox* combo : findChildren<QComboBox*>())
        if (combo->count() > 0 && combo->itemText(0) == nameFilters().constFirst())
            combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    QSize size = sizeHint();
    if (auto* details = findChild<QTreeView*>()) {
        // Room for the widest texts of the size, type and date columns, as the file list writes them.
        const QString widestDate =
            QLocale::system().toString(QDateTime(QDate(2028, 12, 28), QTime(23, 58, 58)), QLocale::ShortFormat);
        const int padding = 4 * metrics.averageCharWidth();
        int widestType = metrics.horizontalAdvance(tr("Folder"));
        for (const QString& extension : pictureExtensions())
            widestType =
                std::max(widestType, metrics.horizontalAdvance(QMimeDatabase()
                                                                   .mimeTypeForFile(QStringLiteral("a.") + extension,
                                                                                    QMimeDatabase::MatchExtension)
                                                                   .comment()));
        QHeaderView* header = details->header();
        header->resizeSection(1, metrics.horizontalAdvance(QStringLiteral("1023.99 KiB")) + padding);
        header->resizeSection(2, widestType + padding);
        header->resizeSection(3, metrics.horizontalAdvance(widestDate) + padding);
        const int columns =
            header->length() + details->verticalScrollBar()->sizeHint().width() + 2 * details->frameWidth();
        size.rwidth() += std::max(0, columns - details->sizeHint().width());
    }
    return size.expandedTo(QSize(0, 30 * metrics.height()));
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
