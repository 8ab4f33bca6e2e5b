#pragma once

#include <QDateTime>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

class DataModule;
class TableObject;

// Makes catalogue contents that look like a real user's: picture folders from years of camera
// imports and product photo shoots, car makes and models from short lists, descriptions on about
// a third of the pictures, and a music, video and document collection. Every row goes in
// through the table objects, the way the program's own runs write them.
class CatalogueGenerator
{
public:
    explicit CatalogueGenerator(quint32 seed);

    // One picture record as an import run would leave it, plus the user's classification.
    struct Picture
    {
        QString folderUrl; // "file:///home/anna/Bilder/…/"
        QString name;      // "IMG_4711.jpg"
        QString type;      // "jpg"
        QString thumbName; // "TN_IMG_4711.jpg"
        double size = 0;
        QString resolution; // " 4000 x 3000"
        QString feinGrob;
        QString make, model, group, variant, fitting, other, description, notes, english;
        QDateTime created, modified, accessed;
    };

    // Fills the lookup lists, then pictures, media files and a few hundred discs.
    void fill(DataModule& data, int pictures, int mediaFiles);
    // A new catalogue file at path (an old one is replaced), filled with the standard seed.
    static void makeCatalogue(const QString& path, int pictures, int mediaFiles);

    // Pictures in import order: folder after folder, each with one camera's name pattern.
    // folderPrefix places the folders ("/home/anna/Bilder").
    QList<Picture> pictures(int count, const QString& folderPrefix);
    static void appendPicture(TableObject* table, const Picture& picture);

private:
    void fillLookups(DataModule& data);
    void fillMedia(TableObject* table, int count);
    void fillDiscs(DataModule& data, int discs);

    const QString& pick(const QStringList& list);
    bool chance(double p) { return m_random.generateDouble() < p; }
    int between(int low, int high) { return low + int(m_random.bounded(high - low + 1)); }
    double logUniform(double low, double high);
    QDateTime dateTimeIn(int firstYear, int lastYear);
    QString sentence();

    QRandomGenerator m_random;
};
