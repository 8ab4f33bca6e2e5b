#include "CatalogueGenerator.h"

#include "data/Catalogue.h"
#include "data/DataModule.h"
#include "data/TableObject.h"
#include "platform/FileUrl.h"

#include <QFile>
#include <QSet>

#include <cmath>

namespace {

QStringList words(const char* text)
{
    return QString::fromUtf8(text).split(QLatin1Char('|'));
}

struct Make
{
    QString name;
    QStringList models;
};

const QList<Make>& makes()
{
    static const QList<Make> list = [] {
        QList<Make> m;
        auto add = [&m](const char* name, const char* models) { m.append({QString::fromUtf8(name), words(models)}); };
        add("Audi", "A3 8V|A4 B8|A4 B9|A6 C7|Q5 8R|TT 8J");
        add("BMW", "1er F20|3er E90|3er F30|5er F10|X3 F25|X5 E70");
        add("Mercedes-Benz", "A-Klasse W176|C-Klasse W204|C-Klasse W205|E-Klasse W213|SLK R171");
        add("VW", "Golf IV|Golf VII|Polo 6R|Passat B8|Tiguan AD|T5 Multivan");
        add("Opel", "Astra J|Corsa D|Insignia A|Zafira B");
        add("Porsche", "911 (997)|911 (991)|Cayenne 9PA|Boxster 987");
        add("Ford", "Fiesta MK7|Focus III|Mondeo MK4|Kuga II");
        add("Škoda", "Octavia III|Fabia II|Superb II");
        add("Seat", "Leon 5F|Ibiza 6J");
        add("Renault", "Clio IV|Mégane III");
        add("Toyota", "Yaris XP13|Corolla E21");
        add("Mini", "Cooper R56|Countryman R60");
        return m;
    }();
    return list;
}

const QStringList groups = words("Felgen|Spoiler|Scheinwerfer|Rückleuchten|Auspuffanlagen|Fahrwerk|Bremsen|"
                                 "Innenausstattung|Lenkräder|Sitze|Karosserie|Zubehör");
const QStringList variants = words("Frontansicht|Seitenansicht|Heckansicht|Detailansicht|Innenraum|Montage|Verpackung");
const QStringList fittings = words("Erstausrüstung|Nachrüstung");
const QStringList others = words("Katalog 2019|Katalog 2021|Messe|Kundenfoto|Werksfoto|Presse|intern|Archiv");
const QStringList parts = words("Felge|Heckspoiler|Frontschürze|Scheinwerfer|Rückleuchte|Außenspiegel|Lenkrad|"
                                "Sportsitz|Auspuffblende|Bremssattel|Kühlergrill|Seitenschweller|Dachträger|"
                                "Armaturenbrett|Schaltknauf|Tieferlegungsfedern");
const QStringList positions = words("vorne links|vorne rechts|hinten links|hinten rechts|Detail|montiert|"
                                    "Gesamtansicht|von oben|Nahaufnahme");
const QStringList extras = words("18 Zoll|19 Zoll|schwarz glänzend|Carbon|lackiert in Wagenfarbe|"
                                 "mit TÜV-Gutachten|Prototyp|Kundenfahrzeug|Edelstahl|Chrom|vor der Reinigung");
const QStringList englishTexts = words("Front left rim, 18 inch|Rear spoiler, painted|Headlight with daytime "
                                       "running light|Tailpipe trim, stainless steel|Sports seat, leather");
const QStringList events =
    words("Urlaub_Italien|Urlaub_Ostsee|Skiurlaub_Österreich|Ausflug_Müritz|Geburtstag_Oma|Weihnachten|"
          "Hochzeit_Lisa_und_Tom|IAA_Frankfurt|Essen_Motor_Show|Tuning_World_Bodensee|Oldtimertreffen|"
          "Werkstatt|Fotoshooting_Halle_3|Tag_der_offenen_Tür|Kundenfahrzeuge|Messestand|Sommerfest|"
          "Katalog_Frühjahr|Katalog_Herbst|Garten|Umzug|Radtour_Mosel|Städtetrip_Prag|Zoo_Leipzig");
const QStringList subFolders = words("Tag_1|Tag_2|Tag_3|Auswahl|bearbeitet|RAW_Export|Handy|Kamera_Tom");
const QStringList scanFolders = words("Prospekte|Rechnungen|Fotoalbum_Eltern|Dias_1985|Kataloge_alt|Zeitschriften");

const QStringList firstNames = words("Anna|Jonas|Lea|Felix|Marie|Paul|Sophie|Lukas|Clara|Max");
const QStringList surnames = words("Berg|Hoffmann|Krüger|Lindner|Vogt|Sommer|Brandt|Hartmann|Weiß|Fuchs");
const QStringList bandNouns = words("Feldlerchen|Nachtfalter|Hafenkinder|Dünenreiter|Stadtfüchse|Glühwürmchen|"
                                    "Zugvögel|Seeräuber");
const QStringList adjectives = words("Blauer|Langer|Stiller|Kalter|Goldener|Später|Letzter|Erster|Leiser|Weiter|"
                                     "Heller|Dunkler");
const QStringList nouns = words("Morgen|Sommer|Winter|Abend|Himmel|Weg|Fluss|Regen|Traum|Hafen|Wind|Tanz|Strand");
const QStringList genres = words("Rock|Pop|Jazz|Klassik|Hörbuch|Schlager|Elektro|Folk");
const QStringList mediaNotes = words("Live-Aufnahme|Remaster|Lieblingslied|aus dem Urlaub|vom Flohmarkt|"
                                     "Geschenk von Jonas|Original-CD im Regal|neu gekauft");
const QStringList documentFolders = words("Rechnungen|Versicherung|Auto|Steuer|Handbücher|Schule|Bank|Reisen");

QString fileType(const QString& extension)
{
    return extension.toLower().left(4);
}

} // namespace

CatalogueGenerator::CatalogueGenerator(quint32 seed)
    : m_random(seed)
{}

const QString& CatalogueGenerator::pick(const QStringList& list)
{
    return list[int(m_random.bounded(quint32(list.size())))];
}

double CatalogueGenerator::logUniform(double low, double high)
{
    return std::round(std::exp(std::log(low) + m_random.generateDouble() * (std::log(high) - std::log(low))));
}

QDateTime CatalogueGenerator::dateTimeIn(int firstYear, int lastYear)
{
    const QDate day = QDate(firstYear, 1, 1).addDays(between(0, (lastYear - firstYear + 1) * 365 - 1));
    return QDateTime(day, QTime(between(7, 21), between(0, 59), between(0, 59), between(0, 999)));
}

QString CatalogueGenerator::sentence()
{
    QString text = pick(parts) + QLatin1Char(' ') + pick(positions);
    if (chance(0.6))
        text += QLatin1String(", ") + pick(extras);
    return text;
}

QList<CatalogueGenerator::Picture> CatalogueGenerator::pictures(int count, const QString& folderPrefix)
{
    enum class Kind
    {
        Camera,
        Phone,
        Product,
        Scan,
        Old
    };
    QList<Picture> result;
    result.reserve(count);
    QSet<QString> folders;
    while (result.size() < count) {
        const double k = m_random.generateDouble();
        const Kind kind = k < 0.40   ? Kind::Camera
                          : k < 0.55 ? Kind::Phone
                          : k < 0.82 ? Kind::Product
                          : k < 0.94 ? Kind::Scan
                                     : Kind::Old;
        const Make& make = makes()[int(m_random.bounded(quint32(makes().size())))];
        const QString& model = pick(make.models);
        const QString& group = pick(groups);
        const int year = kind == Kind::Old ? between(2003, 2008) : between(2009, 2024);

        QString folder;
        switch (kind) {
        case Kind::Camera:
        case Kind::Phone:
        case Kind::Old:
            folder = folderPrefix + QStringLiteral("/%1/%2").arg(year).arg(pick(events));
            if (chance(0.5))
                folder += QLatin1Char('/') + pick(subFolders);
            break;
        case Kind::Product: {
            const double s = m_random.generateDouble();
            const char* root = s < 0.4 ? "Feinbilddaten" : s < 0.7 ? "Grobbilddaten" : "Produktfotos";
            folder = folderPrefix + QLatin1Char('/') + QLatin1String(root) + QLatin1Char('/') + make.name +
                     QLatin1Char('/') + QString(model).replace(QLatin1Char(' '), QLatin1Char('_')) + QLatin1Char('/') +
                     group;
            break;
        }
        case Kind::Scan:
            folder = folderPrefix + QStringLiteral("/Scans/%1/%2").arg(year).arg(pick(scanFolders));
            break;
        }
        if (folders.contains(folder)) {
            int n = 2;
            while (folders.contains(folder + QStringLiteral("_%1").arg(n)))
                ++n;
            folder += QStringLiteral("_%1").arg(n);
        }
        folders.insert(folder);
        const QString url = folderToFileUrl(folder);
        const QString feinGrob = url.contains(QLatin1String("Grobbilddaten"))   ? QStringLiteral("Grobdaten")
                                 : url.contains(QLatin1String("Feinbilddaten")) ? QStringLiteral("Feindaten")
                                                                                : QString();
        // The user classifies product shoots completely, other folders now and then.
        const double classified = kind == Kind::Product ? 1.0 : kind == Kind::Scan ? 0.3 : 0.5;
        const bool folderClassified = chance(classified);

        const int files = std::min(between(5, 60), int(count - result.size()));
        int number = between(1, 9000);
        QDateTime shot = dateTimeIn(year, year);
        QSet<QString> names;
        for (int i = 0; i < files; ++i) {
            Picture p;
            p.folderUrl = url;
            QString stem, extension;
            switch (kind) {
            case Kind::Camera: {
                const bool nikon = (number & 1) != 0;
                stem = nikon ? QStringLiteral("DSC%1").arg(number + i, 5, 10, QLatin1Char('0'))
                             : QStringLiteral("IMG_%1").arg((number + i) % 10000, 4, 10, QLatin1Char('0'));
                extension = chance(0.97) ? QStringLiteral("JPG") : QStringLiteral("jpeg");
                p.resolution = pick(words(" 4000 x 3000| 6000 x 4000| 4608 x 3456| 3000 x 4000"));
                p.size = logUniform(2.0e6, 12.0e6);
                break;
            }
            case Kind::Phone:
                stem = QLatin1String("IMG_") + shot.toString(QStringLiteral("yyyyMMdd_HHmmss"));
                extension = QStringLiteral("jpg");
                p.resolution = QStringLiteral(" 4032 x 3024");
                p.size = logUniform(1.5e6, 6.0e6);
                break;
            case Kind::Product:
                if (chance(0.3)) {
                    stem = QStringLiteral("P%1").arg(1010000 + number + i, 7, 10, QLatin1Char('0'));
                    extension = QStringLiteral("JPG");
                } else {
                    stem = pick(parts) + QLatin1Char(' ') + pick(positions);
                    extension = chance(0.5)   ? QStringLiteral("png")
                                : chance(0.8) ? QStringLiteral("jpg")
                                              : QStringLiteral("tif");
                }
                p.resolution = pick(words(" 1920 x 1280| 2000 x 2000| 1200 x 800| 5472 x 3648"));
                p.size = logUniform(3.0e5, 8.0e6);
                break;
            case Kind::Scan:
                stem = chance(0.7) ? QStringLiteral("Scan_%1").arg(i + 1, 4, 10, QLatin1Char('0'))
                                   : QStringLiteral("Seite %1").arg(i + 1);
                extension = chance(0.6) ? QStringLiteral("tif") : QStringLiteral("jpg");
                p.resolution = QStringLiteral(" 2480 x 3508");
                p.size = logUniform(1.0e6, 12.0e6);
                break;
            case Kind::Old:
                stem = QStringLiteral("Bild%1").arg(number % 1000 + i, 3, 10, QLatin1Char('0'));
                extension = chance(0.8)   ? QStringLiteral("jpg")
                            : chance(0.5) ? QStringLiteral("bmp")
                                          : QStringLiteral("gif");
                p.resolution = chance(0.5) ? QStringLiteral(" 1024 x 768") : QStringLiteral(" 640 x 480");
                p.size = logUniform(5.0e4, 4.0e5);
                break;
            }
            p.type = fileType(extension);
            QString name = stem + QLatin1Char('.') + p.type;
            for (int n = 2; names.contains(name); ++n) {
                stem = stem.section(QStringLiteral(" ("), 0, 0) + QStringLiteral(" (%1)").arg(n);
                name = stem + QLatin1Char('.') + p.type;
            }
            names.insert(name);
            p.name = name;
            p.thumbName = QLatin1String("TN_") + stem + QLatin1String(".jpg");
            if (chance(0.1))
                p.resolution.clear(); // the resolution run has not been there yet
            p.feinGrob = feinGrob;

            shot = shot.addSecs(between(2, 300));
            p.modified = shot;
            p.created = shot.addDays(between(0, 20)).addSecs(between(0, 3600));
            p.accessed = p.created.addDays(between(0, 400));

            if (folderClassified) {
                p.make = make.name;
                p.model = kind == Kind::Product && chance(0.9) ? model
                          : chance(0.1)                        ? QStringLiteral("Universal")
                                                               : model;
                p.group = group;
                p.variant = chance(0.7) ? pick(variants) : QString();
                p.fitting = kind == Kind::Product && chance(0.7) ? pick(fittings) : QString();
            }
            if (chance(0.33))
                p.description = sentence();
            if (chance(0.1))
                p.other = pick(others);
            if (chance(0.04))
                p.notes = QLatin1String("Freigabe für den Katalog liegt vor. ") + sentence() +
                          QLatin1String(".\nOriginal beim Kunden angefragt, Rückmeldung steht aus.");
            if (chance(0.02))
                p.english = pick(englishTexts);
            result.append(std::move(p));
        }
    }
    return result;
}

void CatalogueGenerator::appendPicture(TableObject* t, const Picture& p)
{
    // The import's fields first, in its order, then what the user adds by hand.
    t->append();
    t->setValue(QStringLiteral("Thumbname"), p.thumbName);
    t->setValue(QStringLiteral("Dateipfad"), p.folderUrl);
    t->setValue(QStringLiteral("Groesse"), p.size);
    t->setValue(QStringLiteral("Dateityp"), p.type);
    t->setValue(QStringLiteral("Dateiname"), p.name);
    if (!p.feinGrob.isEmpty())
        t->setValue(QStringLiteral("FeinGrobDaten"), p.feinGrob);
    t->setValue(QStringLiteral("erstelldatum"), p.created);
    t->setValue(QStringLiteral("letzterZugriff"), p.accessed);
    t->setValue(QStringLiteral("letzteAenderung"), p.modified);
    if (!p.resolution.isEmpty())
        t->setValue(QStringLiteral("Aufloesung"), p.resolution);
    if (!p.make.isEmpty()) {
        t->setValue(QStringLiteral("Automarke"), p.make);
        t->setValue(QStringLiteral("SpezialUniversalProdukt"), p.model);
        t->setValue(QStringLiteral("Produktgruppe"), p.group);
    }
    if (!p.variant.isEmpty())
        t->setValue(QStringLiteral("Produktbildvariante"), p.variant);
    if (!p.fitting.isEmpty())
        t->setValue(QStringLiteral("Erstausruestung"), p.fitting);
    if (!p.description.isEmpty())
        t->setValue(QStringLiteral("Beschreibung"), p.description);
    if (!p.other.isEmpty())
        t->setValue(QStringLiteral("Sonstiges"), p.other);
    if (!p.notes.isEmpty())
        t->setValue(QStringLiteral("Hinweise"), p.notes);
    if (!p.english.isEmpty())
        t->setValue(QStringLiteral("engl"), p.english);
    t->post();
}

void CatalogueGenerator::fillLookups(DataModule& data)
{
    auto add = [](TableObject* t, std::initializer_list<std::pair<const char*, QVariant>> values) {
        t->append();
        for (const auto& [field, value] : values)
            t->setValue(QLatin1String(field), value);
        t->post();
    };
    int number = 1;
    for (const Make& make : makes()) {
        add(data.MSTypen, {{"recordid", number++}, {"Typen", make.name}, {"Bezeichnung", make.name}});
        for (const QString& model : make.models)
            add(data.MSSpezialProdukt, {{"SpezialUniversalProdukt", model}, {"Bemerkungen", make.name}});
    }
    add(data.MSSpezialProdukt, {{"SpezialUniversalProdukt", QStringLiteral("Universal")}, {"Bemerkungen", QString()}});
    number = 1;
    for (const QString& group : groups)
        add(data.MSProduktbezeichnung, {{"recordid", number++}, {"Produktbez", group}, {"Beschreibung", group}});
    for (const QString& variant : variants)
        add(data.MSProduktbildvariante, {{"Produktbildvariante", variant}});
    number = 1;
    for (const QString& other : others)
        add(data.MSSonstiges, {{"fortlfnr", number++}, {"Sonstiges", other}});
    number = 1;
    for (const QString& rubric : words("Fotos|Musik|Daten|Filme|Backup|Software"))
        add(data.MScdrubrik, {{"fortlfnr", number++}, {"Rubrik", rubric}});
    number = 1;
    for (const QString& place : words("Regal A1|Regal A2|Regal B1|Keller|Büro|Auto"))
        add(data.MScdlagerort, {{"fortlfnr", number++}, {"Lagerort", place}});
}

void CatalogueGenerator::fillMedia(TableObject* t, int count)
{
    QSet<QString> folders;
    int written = 0;
    while (written < count) {
        const double k = m_random.generateDouble();
        QString folder;
        QStringList names;
        QString extension;
        double low = 0, high = 0;
        QString genre;
        const int year = between(2005, 2024);
        if (k < 0.7) {
            const double a = m_random.generateDouble();
            const QString artist = a < 0.4   ? QString(pick(firstNames) + QLatin1Char(' ') + pick(surnames))
                                   : a < 0.8 ? QString(QLatin1String("Die ") + pick(bandNouns))
                                             : QString(pick(surnames) + QLatin1String(" Quartett"));
            folder = QStringLiteral("/home/anna/Musik/%1/%2 %3 (%4)")
                         .arg(artist, pick(adjectives), pick(nouns))
                         .arg(between(1970, 2024));
            const bool lossless = chance(0.25);
            extension = lossless ? QStringLiteral("flac") : QStringLiteral("mp3");
            low = lossless ? 1.5e7 : 3.0e6;
            high = lossless ? 6.0e7 : 1.2e7;
            genre = pick(genres);
            const int tracks = between(8, 16);
            for (int i = 1; i <= tracks; ++i)
                names.append(
                    QStringLiteral("%1 - %2 %3").arg(i, 2, 10, QLatin1Char('0')).arg(pick(adjectives), pick(nouns)));
        } else if (k < 0.85) {
            folder = QStringLiteral("/home/anna/Videos/%1/%2").arg(year).arg(pick(events));
            const bool phone = chance(0.7);
            extension = phone ? QStringLiteral("mp4") : QStringLiteral("mkv");
            low = 5.0e7;
            high = 2.0e9;
            QDateTime shot = dateTimeIn(year, year);
            const int clips = between(3, 20);
            for (int i = 1; i <= clips; ++i) {
                shot = shot.addSecs(between(30, 3000));
                names.append(phone ? QString(QLatin1String("VID_") + shot.toString(QStringLiteral("yyyyMMdd_HHmmss")))
                                   : QStringLiteral("%1 Teil %2").arg(folder.section(QLatin1Char('/'), -1)).arg(i));
            }
        } else {
            folder = QStringLiteral("/home/anna/Dokumente/%1/%2").arg(pick(documentFolders)).arg(year);
            extension = QStringLiteral("pdf");
            low = 5.0e4;
            high = 1.0e7;
            const int documents = between(5, 40);
            for (int i = 1; i <= documents; ++i)
                names.append(chance(0.5) ? QStringLiteral("Rechnung_%1-%2_%3")
                                               .arg(year)
                                               .arg(between(1, 12), 2, 10, QLatin1Char('0'))
                                               .arg(i)
                                         : QStringLiteral("Dokument %1").arg(i));
        }
        if (folders.contains(folder)) {
            int n = 2;
            while (folders.contains(folder + QStringLiteral(" %1").arg(n)))
                ++n;
            folder += QStringLiteral(" %1").arg(n);
        }
        folders.insert(folder);
        const QString url = folderToFileUrl(folder);
        QSet<QString> seen;
        QDateTime modified = dateTimeIn(year, year);
        for (const QString& stem : std::as_const(names)) {
            if (written == count)
                break;
            const QString name = stem + QLatin1Char('.') + extension;
            if (seen.contains(name))
                continue;
            seen.insert(name);
            modified = modified.addSecs(between(1, 600));
            const QDateTime created = modified.addDays(between(0, 30));
            t->append();
            t->setValue(QStringLiteral("Dateipfad"), url);
            t->setValue(QStringLiteral("Dateiname"), name);
            t->setValue(QStringLiteral("Dateityp"), fileType(extension));
            t->setValue(QStringLiteral("Groesse"), logUniform(low, high));
            t->setValue(QStringLiteral("Erstelldatum"), created);
            t->setValue(QStringLiteral("letzterZugriff"), created.addDays(between(0, 300)));
            t->setValue(QStringLiteral("letzteAenderung"), modified);
            if (!genre.isEmpty() && chance(0.5))
                t->setValue(QStringLiteral("Sonstiges"), genre);
            if (chance(0.33))
                t->setValue(QStringLiteral("Beschreibung"), pick(mediaNotes));
            if (chance(0.03))
                t->setValue(QStringLiteral("Freifeld1"), QStringLiteral("gesichert auf NAS"));
            t->post();
            ++written;
        }
    }
}

void CatalogueGenerator::fillDiscs(DataModule& data, int discs)
{
    const QStringList names = words("Urlaub %1|Backup Fotos %1|MP3-Sammlung %1|Software %1|Filme %1|Steuer %1");
    const QStringList media = words("CD|DVD|Blu-ray");
    const QStringList rubrics = words("Fotos|Musik|Daten|Filme|Backup|Software");
    const QStringList places = words("Regal A1|Regal A2|Regal B1|Keller|Büro|Auto");
    for (int d = 0; d < discs; ++d) {
        TableObject* disc = data.MSarchiv00;
        disc->append();
        disc->setValue(QStringLiteral("Name"), pick(names).arg(between(2001, 2024)));
        disc->setValue(QStringLiteral("Medium"), pick(media));
        disc->setValue(QStringLiteral("Anzahl"), QStringLiteral("1"));
        disc->setValue(QStringLiteral("Rubrik"), pick(rubrics));
        disc->setValue(QStringLiteral("Lagerort"), pick(places));
        disc->setValue(QStringLiteral("Datum"), dateTimeIn(2001, 2024));
        disc->post();
        // The contents follow the disc just posted.
        TableObject* tracks = data.MSarchiv01;
        const int n = between(8, 20);
        for (int i = 1; i <= n; ++i) {
            tracks->append();
            tracks->setValue(QStringLiteral("Liednr"), i);
            tracks->setValue(QStringLiteral("Titel"), QString(pick(adjectives) + QLatin1Char(' ') + pick(nouns)));
            tracks->setValue(QStringLiteral("Interpret"), QString(QLatin1String("Die ") + pick(bandNouns)));
            tracks->setValue(QStringLiteral("Laenge"), between(120, 420));
            tracks->setValue(QStringLiteral("Dateipfad"),
                             QStringLiteral("/media/cdrom/Track%1.mp3").arg(i, 2, 10, QLatin1Char('0')));
            tracks->post();
        }
    }
}

void CatalogueGenerator::fill(DataModule& data, int pictureCount, int mediaCount)
{
    fillLookups(data);
    const QList<Picture> list = pictures(pictureCount, QStringLiteral("/home/anna/Bilder"));
    for (const Picture& p : list)
        appendPicture(data.MSBild, p);
    fillMedia(data.MSMedia, mediaCount);
    fillDiscs(data, 300);
}

void CatalogueGenerator::makeCatalogue(const QString& path, int pictures, int mediaFiles)
{
    QFile::remove(path);
    Catalogue::create(path);
    DataModule data(path);
    data.DataModuleCreate();
    CatalogueGenerator(4711).fill(data, pictures, mediaFiles);
    data.DataModuleDestroy();
}
