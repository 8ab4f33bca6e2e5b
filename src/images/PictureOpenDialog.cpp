#include "images/PictureOpenDialog.h"

#include "images/Pictures.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr int previewSide = 220;
}

PictureOpenDialog::PictureOpenDialog(QWidget* parent, const QString& title, const QString& filter)
    : QFileDialog(parent, title, QString(), filter)
    , m_preview(new QLabel(this))
{
    setObjectName(QStringLiteral("OpenDialog1"));
    // The preview needs the dialog's own layout, which only Qt's dialog has.
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFiles);
    setAcceptMode(QFileDialog::AcceptOpen);
    setSizeGripEnabled(true);
    Pictures::registerReaders();

    m_preview->setObjectName(QStringLiteral("OpenDialog1Preview"));
    m_preview->setFixedSize(previewSide, previewSide);
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setFrameShape(QFrame::StyledPanel);
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(m_preview, 0, grid->columnCount(), grid->rowCount(), 1, Qt::AlignTop);
    connect(this, &QFileDialog::currentChanged, this, &PictureOpenDialog::showPreview);
    resize(900, 540);
}

void PictureOpenDialog::showPreview(const QString& path)
{
    m_preview->clear();
    if (!QFileInfo(path).isFile())
        return;
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > previewSide || size.height() > previewSide))
        reader.setScaledSize(size.scaled(previewSide, previewSide, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    if (image.isNull())
        return;
    m_preview->setPixmap(
        QPixmap::fromImage(image.width() > previewSide || image.height() > previewSide
                               ? image.scaled(previewSide, previewSide, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                               : image));
}

QStringList PictureOpenDialog::getOpenFileNames(QWidget* parent, const QString& title, const QString& filter)
{
    PictureOpenDialog dialog(parent, title, filter);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}
