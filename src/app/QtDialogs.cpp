#include "app/QtDialogs.h"

#include "images/PictureOpenDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>

bool QtDialogs::confirm(const QString& text)
{
    return QMessageBox::question(m_parent, QApplication::applicationDisplayName(), text,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void QtDialogs::message(const QString& text)
{
    QMessageBox::information(m_parent, QApplication::applicationDisplayName(), text, QMessageBox::Yes);
}

QStringList QtDialogs::openPictures(const QString& title, const QString& filter)
{
    return PictureOpenDialog::getOpenFileNames(m_parent, title, filter);
}

QStringList QtDialogs::openFiles(const QString& filter)
{
    return QFileDialog::getOpenFileNames(m_parent, QString(), QString(), filter);
}

QString QtDialogs::chooseFolder(const QString& title)
{
    return QFileDialog::getExistingDirectory(m_parent, title);
}

QString QtDialogs::chooseFont(const QString& family, int pointSize)
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, QFont(family, pointSize), m_parent);
    return ok ? font.family() : family;
}

void QtDialogs::about()
{
    QMessageBox box(m_parent);
    box.setWindowTitle(QStringLiteral("Über Ordnix"));
    box.setIconPixmap(QApplication::windowIcon().pixmap(64, 64));
    box.setText(QStringLiteral("<h3>Ordnix</h3><p>Version %1</p>").arg(QApplication::applicationVersion()));
    box.setInformativeText(QStringLiteral("Katalog für Bilder, CDs/DVDs und Mediendateien.\n© Quorvel"));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

void QtDialogs::showError(const QString& message)
{
    QMessageBox::critical(m_parent, QApplication::applicationDisplayName(), message);
}
