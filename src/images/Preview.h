#pragma once

#include "platform/FileUrl.h"

#include <QSize>
#include <QString>

class TableObject;

// What the image page shows of the current picture record, and when: the file paths of the
// picture and its thumbnail, the status line, which files a trigger reads, the resolution text,
// and the three views of the right-hand area.
namespace Preview {

struct Paths
{
    QString picture;   // PreviewPicturePath
    QString thumbnail; // PreviewThumbnailPath
};

// The catalogue's folder form without its first seven characters, a share name mapped back to
// where the share is mounted now: "file:///home/anna/Bilder/" + "a.jpg" gives
// "/home/anna/Bilder/a.jpg", the thumbnail "/home/anna/Bilder//thumbnail/TN_a.jpg".
Paths BuildPreviewPaths(const QString& dateipfad, const QString& dateiname, const QString& thumbname,
                        const MountTable& mounts = MountTable::system());
// Of the table's current record.
Paths BuildPreviewPaths(const TableObject* bild, const MountTable& mounts = MountTable::system());

// Dateipfad + Dateiname + "**" + Aufloesung + "**" + Automarke + "**" + Beschreibung.
QString statusLine(const TableObject* bild);

// " 1024 x 768": the form Aufloesung is stored in.
QString resolutionText(const QSize& size);

// What shows the current record.
enum class Trigger
{
    CellClick,  // a click on a cell of the image grid
    Editing,    // the grid opens a cell's editor
    Navigate,   // navigator First, Jump Back, Next, Jump Forward, Last
    Previous,   // navigator Previous
    Activation, // the main window was activated
};

enum class LargePicture
{
    Keep,   // not read
    Load,   // read fully and shown
    Header, // only its size read (Previous while the large picture is hidden)
};

// Every trigger sets the status line and shows the thumbnail; the large picture is read only
// while it is visible. Previous stores the resolution of the record it moved to.
struct Steps
{
    LargePicture large = LargePicture::Keep;
    bool storeResolution = false;
};
Steps stepsFor(Trigger trigger, bool largeVisible);

// The right-hand area: the details box, the extra-language panel or the large picture. The
// zoom flag is on exactly while zoomed, except that an activation clears it and leaves the views.
enum class Area
{
    Details,
    Languages,
    Picture,
};

struct Views
{
    Area area = Area::Details;
    bool zoomActive = false;

    friend bool operator==(const Views&, const Views&) = default;
};

// The zoom command: without the flag it opens the large picture (the caller reads both pictures
// and then sets the flag); with it, back to the details box.
bool zoomOpens(const Views& views);
Views afterZoom(const Views& views);
// A click on the large picture ends the zoom.
Views afterLargePictureClick(const Views& views);
// Extra information: the extra-language panel, or from there back to the details box.
Views afterExtraInfo(const Views& views);
Views afterActivation(const Views& views);

} // namespace Preview
