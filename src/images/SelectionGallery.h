#pragma once

#include "images/GalleryWriter.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

// The gallery of records selected in the image grid: one list line per record in "daten.txt",
// read back into the picture blocks of the gallery pages.
//
// A line is  path ";" description "#" size "§" resolution "%" thumbnail.  A network picture
// keeps its "file:////server/share/…" form, a local one loses the leading "file://". The four
// separator characters, where they occur inside a field, are written percent-encoded ("%3B",
// "%23", "%A7", "%25") and decoded after parsing, so that "50% grau" keeps its place; lines
// without them are written as they stand.
namespace SelectionGallery {

struct Record
{
    QVariant Dateipfad;
    QVariant Dateiname;
    QVariant Beschreibung;
    QVariant Groesse;
    QVariant Aufloesung;
    QVariant Thumbname;
};

// Empty description "leer", empty size and resolution "0"; an empty path, name or thumbnail
// name is empty text.
QString listLine(const Record& record);

// The picture block of one list line (selection variant).
GallerySlots ParseListLine(const QString& line);

// The run after the list file is written: page 1 with its head line in folder, the list read
// back and sorted (letter case ignored, by the user's collation), one block per line, K to a
// page. Failures raise OrdnixError; the pages written up to then stay, the open one closed.
struct Run
{
    QString folder; // ends in '/'; made when missing
    QString listFile;
    GallerySettings settings;
    int imagesPerPage = 5;
    std::function<void(int percent)> progress; // before line i of n: i * 100 div n

    int CreateHTML2(); // the number of pages
};

} // namespace SelectionGallery
