#include "images/Preview.h"

#include "data/TableObject.h"

Preview::Paths Preview::BuildPreviewPaths(const QString& dateipfad, const QString& dateiname, const QString& thumbname,
                                          const MountTable& mounts)
{
    return {fileUrlToPath(dateipfad + dateiname, mounts),
            fileUrlToPath(dateipfad + QLatin1String("/thumbnail/") + thumbname, mounts)};
}

Preview::Paths Preview::BuildPreviewPaths(const TableObject* bild, const MountTable& mounts)
{
    if (bild->isEmpty())
        return {};
    return BuildPreviewPaths(bild->value(QStringLiteral("Dateipfad")).toString(),
                             bild->value(QStringLiteral("Dateiname")).toString(),
                             bild->value(QStringLiteral("Thumbname")).toString(), mounts);
}

QString Preview::statusLine(const TableObject* bild)
{
    if (bild->isEmpty())
        return {};
    auto v = [bild](const char* field) { return bild->value(QLatin1String(field)).toString(); };
    return v("Dateipfad") + v("Dateiname") + QLatin1String("**") + v("Aufloesung") + QLatin1String("**") +
           v("Automarke") + QLatin1String("**") + v("Beschreibung");
}

QString Preview::resolutionText(const QSize& size)
{
    return QStringLiteral(" %1 x %2").arg(size.width()).arg(size.height());
}

Preview::Steps Preview::stepsFor(Trigger trigger, bool largeVisible)
{
    switch (trigger) {
    case Trigger::CellClick:
    case Trigger::Navigate:
        return {largeVisible ? LargePicture::Load : LargePicture::Keep, false};
    case Trigger::Previous:
        return {largeVisible ? LargePicture::Load : LargePicture::Header, true};
    case Trigger::Editing:
    case Trigger::Activation:
        break;
    }
    return {};
}

bool Preview::zoomOpens(const Views& views)
{
    return !views.zoomActive;
}

Preview::Views Preview::afterZoom(const Views& views)
{
    return zoomOpens(views) ? Views{Area::Picture, true} : Views{Area::Details, false};
}

Preview::Views Preview::afterLargePictureClick(const Views& views)
{
    return views.area == Area::Picture ? Views{Area::Details, false} : views;
}

Preview::Views Preview::afterExtraInfo(const Views& views)
{
    return {views.area == Area::Languages ? Area::Details : Area::Languages, false};
}

Preview::Views Preview::afterActivation(const Views& views)
{
    return {views.area, false};
}
