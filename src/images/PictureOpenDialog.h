#pragma once

#include <QFileDialog>

class QLabel;

// The open-picture dialog: several files can be picked, and the highlighted picture is shown
// beside the file list.
class PictureOpenDialog : public QFileDialog
{
    Q_OBJECT

public:
    PictureOpenDialog(QWidget* parent, const QString& title, const QString& filter);

    // Shows the dialog; the picked files, or none when it was cancelled.
    static QStringList getOpenFileNames(QWidget* parent, const QString& title, const QString& filter);

private:
    void showPreview(const QString& path);

    QLabel* m_preview;
};
