// The command table as data: every entry, every menu and toolbar that shows it, and which of them
// follow the active page.

#include "app/commands/CommandEntry.h"
#include "app/commands/CommandLayout.h"

namespace {

using Kind = CommandEntry::Kind;
using Type = CommandContainer::Type;

QStringList names(const QString& list)
{
    return list.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QKeySequence alt(Qt::Key key)
{
    return QKeySequence(Qt::ALT | key);
}

QList<CommandEntry> makeEntries()
{
    return {
        // Menu and context-menu entries
        {.name = QStringLiteral("SelektierteDatenstzeimIEanzeigen2"),
         .caption = QStringLiteral("Selektierte Datensätze im &IE anzeigen"),
         .hint = QStringLiteral("Alle markierten Datensätze werden im Internet Explorer dargestellt"),
         .shortcut = alt(Qt::Key_I),
         .icon = QStringLiteral("web-browser"),
         .handler = QStringLiteral("SelektierteDatenstzeimIEanzeigen1Click")},
        {.name = QStringLiteral("beenden1"),
         .caption = QStringLiteral("E&xit"),
         .hint = QStringLiteral("Press to quit the demo-program"),
         .shortcut = alt(Qt::Key_X),
         .icon = QStringLiteral("application-exit"),
         .handler = QStringLiteral("actExitExecute")},
        {.name = QStringLiteral("newopen"),
         .caption = QStringLiteral("Mit Vorschau einscannen - &alle Datensätze"),
         .hint = QStringLiteral("Mit Vorschau einscannen - alle Datensätze"),
         .shortcut = alt(Qt::Key_A),
         .icon = QStringLiteral("insert-image"),
         .handler = QStringLiteral("newopenClick")},
        {.name = QStringLiteral("ffnenselektierteDatenstze1"),
         .caption = QStringLiteral("Mit Vorschau einscannen - &selektierte Datensätze"),
         .hint = QStringLiteral("Mit Vorschau einscannen - selektierte Datensätze"),
         .icon = QStringLiteral("image-x-generic"),
         .handler = QStringLiteral("ffnenselektierteDatenstze1Click")},
        {.name = QStringLiteral("OhneVorschauffnenalleDatenstze1"),
         .caption = QStringLiteral("Ohne Vorschau einscannen - alle Datensätze"),
         .icon = QStringLiteral("folder-pictures"),
         .handler = QStringLiteral("OhneVorschauffnenalleDatenstze1Click")},
        {.name = QStringLiteral("OhneVorschauffnenselektierteDatenstze1"),
         .caption = QStringLiteral("Ohne Vorschau einscannen - selektierte Datensätze"),
         .icon = QStringLiteral("folder-open"),
         .handler = QStringLiteral("OhneVorschauffnenselektierteDatenstze1Click")},
        {.name = QStringLiteral("AlleMediendatenladen1"),
         .caption = QStringLiteral("Alle Medien einscannen"),
         .icon = QStringLiteral("multimedia-player"),
         .handler = QStringLiteral("AlleMediendatenladen1Click")},
        {.name = QStringLiteral("Aut1"),
         .caption = QStringLiteral("Automarke aus Datei&pfad ableiten"),
         .noHint = true,
         .icon = QStringLiteral("folder"),
         .handler = QStringLiteral("Aut1Click")},
        {.name = QStringLiteral("AutomarkeausDateinameableiten1"),
         .caption = QStringLiteral("Automarke aus Datei&name ableiten"),
         .noHint = true,
         .icon = QStringLiteral("text-x-generic"),
         .handler = QStringLiteral("AutomarkeausDateinameableiten1Click")},
        {.name = QStringLiteral("Bildauflsungberechnen1"),
         .caption = QStringLiteral("&Bildauflösung berechnen"),
         .noHint = true,
         .icon = QStringLiteral("zoom-fit-best"),
         .handler = QStringLiteral("Bildauflsungberechnen1Click")},
        {.name = QStringLiteral("Spaltenhinzufgenentfernen1"),
         .caption = QStringLiteral("&Spalten hinzufügen - entfernen"),
         .noHint = true,
         .icon = QStringLiteral("format-justify-fill"),
         .handler = QStringLiteral("Spaltenhinzufgenentfernen1Click")},
        {.name = QStringLiteral("Optionen1"),
         .caption = QStringLiteral("&Optionen"),
         .noHint = true,
         .shortcut = alt(Qt::Key_O),
         .icon = QStringLiteral("preferences-system"),
         .handler = QStringLiteral("Optionen1Click")},

        // Grid options. Their handlers set the check marks themselves; "Native Style" and
        // "Column Auto Width" show none.
        {.name = QStringLiteral("miNativeStyle"),
         .caption = QStringLiteral("&Native Style"),
         .hint = QStringLiteral("Setting this option changes the appearance of grid items to Native style"),
         .icon = QStringLiteral("preferences-desktop-theme"),
         .handler = QStringLiteral("actGridNativeStyleExecute")},
        {.name = QStringLiteral("MultiSelect1"),
         .caption = QStringLiteral("&Multi Select"),
         .hint = QStringLiteral("Determines whether multiple rows can be selected within a view"),
         .kind = Kind::HandlerCheck,
         .checked = true,
         .icon = QStringLiteral("edit-select-all"),
         .handler = QStringLiteral("actMultiSelectExecute")},
        {.name = QStringLiteral("Indikator1"),
         .caption = QStringLiteral("&Indicator"),
         .hint = QStringLiteral("Determines whether the row indicator is visible"),
         .kind = Kind::HandlerCheck,
         .checked = true,
         .icon = QStringLiteral("go-next"),
         .handler = QStringLiteral("actShowIndicatorExecute")},
        {.name = QStringLiteral("myShowGroupByBox"),
         .caption = QStringLiteral("GroupByBox"),
         .hint = QStringLiteral("Determines whether the grouping panel is visible"),
         .kind = Kind::HandlerCheck,
         .checked = true,
         .icon = QStringLiteral("view-sort-ascending"),
         .handler = QStringLiteral("actShowGroupByBoxExecute")},
        {.name = QStringLiteral("ColumnAutoWith1"),
         .caption = QStringLiteral("Column Auto Width"),
         .hint = QStringLiteral("Determines whether column widths are changed in order to display all columns "
                                "without using the horizontal scrollbar"),
         .icon = QStringLiteral("view-fullscreen"),
         .handler = QStringLiteral("actColumnAutoWidthExecute")},

        // Layout storage
        {.name = QStringLiteral("miStorageActive"),
         .caption = QStringLiteral("Aktuelle Einstellungen speichern"),
         .noHint = true,
         .kind = Kind::Check,
         .checked = true,
         .icon = QStringLiteral("document-save"),
         .handler = QStringLiteral("miStorageActiveClick")},
        {.name = QStringLiteral("miStoringGridLookFeel"),
         .caption = QStringLiteral("Aktuelle Tabelleneinstellungen speichern"),
         .noHint = true,
         .kind = Kind::Check,
         .checked = true,
         .icon = QStringLiteral("document-save-as"),
         .handler = QStringLiteral("miStoringGridLookFeelClick")},
        {.name = QStringLiteral("Store1"),
         .caption = QStringLiteral("Ihre Konfiguration speichern"),
         .noHint = true,
         .shortcut = alt(Qt::Key_S),
         .icon = QStringLiteral("document-save"),
         .handler = QStringLiteral("Store1Click")},
        {.name = QStringLiteral("Restore1"),
         .caption = QStringLiteral("Ihre letzte Konfiguration laden"),
         .noHint = true,
         .shortcut = alt(Qt::Key_L),
         .icon = QStringLiteral("document-revert"),
         .handler = QStringLiteral("Restore1Click")},
        // The three locations form no exclusive group; their handlers set the marks.
        {.name = QStringLiteral("miIniStoreType"),
         .caption = QStringLiteral("&ini File"),
         .noHint = true,
         .kind = Kind::Check,
         .checked = true,
         .icon = QStringLiteral("text-x-generic"),
         .handler = QStringLiteral("miIniStoreTypeClick")},
        {.name = QStringLiteral("miRegistryStoreType"),
         .caption = QStringLiteral("&Registry"),
         .noHint = true,
         .kind = Kind::Check,
         .icon = QStringLiteral("preferences-other"),
         .handler = QStringLiteral("miRegistryStoreTypeClick")},
        {.name = QStringLiteral("miMemoryStoreType"),
         .caption = QStringLiteral("&Memory"),
         .noHint = true,
         .kind = Kind::Check,
         .icon = QStringLiteral("media-flash"),
         .handler = QStringLiteral("miMemoryStoreTypeClick")},

        // Grid look; the submenu holding these is never enabled, so they run nothing.
        {.name = QStringLiteral("miFlat"),
         .caption = QStringLiteral("Flat"),
         .noHint = true,
         .kind = Kind::Check,
         .group = QStringLiteral("Kind")},
        {.name = QStringLiteral("miStandard"),
         .caption = QStringLiteral("Standard"),
         .noHint = true,
         .kind = Kind::Check,
         .group = QStringLiteral("Kind")},
        {.name = QStringLiteral("miUltraFlat"),
         .caption = QStringLiteral("Ultra Flat"),
         .noHint = true,
         .kind = Kind::Check,
         .checked = true,
         .group = QStringLiteral("Kind")},

        // Info
        {.name = QStringLiteral("Info1"),
         .caption = QStringLiteral("&About"),
         .hint = QStringLiteral("About"),
         .icon = QStringLiteral("help-about"),
         .handler = QStringLiteral("Info1Click")},
        {.name = QStringLiteral("dxBarButton10"),
         .caption = QStringLiteral("Hilfe"),
         .icon = QStringLiteral("help-browser"),
         .handler = QStringLiteral("dxBarButton10Click")},
        {.name = QStringLiteral("dxBarButton9"),
         .caption = QStringLiteral("Quorvel"),
         .icon = QStringLiteral("emblem-web"),
         .handler = QStringLiteral("dxBarButton9Click")},

        // Context menus of the disc and media grids
        {.name = QStringLiteral("dxBarButton1"),
         .caption = QStringLiteral("&Spalten hinzufügen - entfernen"),
         .hint = QStringLiteral("Spalten hinzufügen - entfernen"),
         .icon = QStringLiteral("format-justify-fill"),
         .handler = QStringLiteral("dxBarButton1Click")},
        {.name = QStringLiteral("dxBarButton2"),
         .caption = QStringLiteral("einzelner Mediensatz anhören - anschauen"),
         .icon = QStringLiteral("media-playback-start"),
         .handler = QStringLiteral("dxBarButton2Click")},
        {.name = QStringLiteral("dxBarButton3"),
         .caption = QStringLiteral("Spalten hinzufügen - entfernen"),
         .icon = QStringLiteral("format-justify-fill"),
         .handler = QStringLiteral("dxBarButton3Click")},
        {.name = QStringLiteral("dxBarButton4"),
         .caption = QStringLiteral("Sonstiges aus Dateipfad ableiten"),
         .hint = QStringLiteral("Sonstiges aus Dateipfad ableiten"),
         .icon = QStringLiteral("folder"),
         .handler = QStringLiteral("dxBarButton4Click")},
        {.name = QStringLiteral("dxBarButton5"),
         .caption = QStringLiteral("Sonstiges1 aus Dateipfad ableiten"),
         .hint = QStringLiteral("Sonstiges1 aus Dateipfad ableiten"),
         .icon = QStringLiteral("folder"),
         .handler = QStringLiteral("dxBarButton5Click")},
        {.name = QStringLiteral("dxBarButton12"),
         .caption = QStringLiteral("CD Daten einscannen"),
         .icon = QStringLiteral("media-optical"),
         .handler = QStringLiteral("dxBarButton12Click")},
        {.name = QStringLiteral("dxBarButton13"),
         .caption = QStringLiteral("Spalten hinzufügen - entfernen"),
         .icon = QStringLiteral("format-justify-fill"),
         .handler = QStringLiteral("dxBarButton13Click")},
        {.name = QStringLiteral("dxBarButton14"),
         .caption = QStringLiteral("einzelner Mediensatz anhören - anschauen"),
         .icon = QStringLiteral("media-playback-start"),
         .handler = QStringLiteral("dxBarButton14Click")},
        {.name = QStringLiteral("dxBarButton15"),
         .caption = QStringLiteral("CD öffnen"),
         .icon = QStringLiteral("media-eject"),
         .handler = QStringLiteral("dxBarButton15Click")},
        {.name = QStringLiteral("dxBarButton16"),
         .caption = QStringLiteral("CD schliessen"),
         .icon = QStringLiteral("drive-optical"),
         .handler = QStringLiteral("dxBarButton16Click")},

        // Column value replacement
        {.name = QStringLiteral("dxBarEdit3"),
         .caption = QStringLiteral("alle Beschreibungen ersetzen durch:"),
         .kind = Kind::Edit,
         .icon = QStringLiteral("edit-find-replace"),
         .handler = QStringLiteral("dxBarEdit3Change")},
        {.name = QStringLiteral("dxBarEdit2"),
         .caption = QStringLiteral("alle Kategorie2 Werte ersetzen durch:"),
         .noHint = true,
         .kind = Kind::Edit,
         .icon = QStringLiteral("edit-find-replace"),
         .handler = QStringLiteral("dxBarEdit2Change")},
        {.name = QStringLiteral("dxBarEdit4"),
         .caption = QStringLiteral("alle Produktgruppen1 ersetzen durch:"),
         .hint = QStringLiteral("alle Produktgruppen1 ersetzen durch:"),
         .kind = Kind::Edit,
         .icon = QStringLiteral("edit-find-replace"),
         .handler = QStringLiteral("dxBarEdit4Change")},
        {.name = QStringLiteral("dxBarEdit5"),
         .caption = QStringLiteral("alle Produktgruppen2 ersetzen durch:"),
         .hint = QStringLiteral("alle Produktgruppen2 ersetzen durch:"),
         .kind = Kind::Edit,
         .icon = QStringLiteral("edit-find-replace"),
         .handler = QStringLiteral("dxBarEdit5Change")},
        {.name = QStringLiteral("dxBarEdit6"),
         .caption = QStringLiteral("alle Sonstiges1 ersetzen durch:"),
         .hint = QStringLiteral("alle Sonstiges1 ersetzen durch:"),
         .kind = Kind::Edit,
         .icon = QStringLiteral("edit-find-replace"),
         .handler = QStringLiteral("dxBarEdit6Change")},
        {.name = QStringLiteral("dxBarEdit8"),
         .caption = QStringLiteral("alle Beschreibungen ersetzen durch:"),
         .hint = QStringLiteral("alle Beschreibungen ersetzen durch:"),
         .kind = Kind::Edit,
         .icon = QStringLiteral("edit-find-replace"),
         .handler = QStringLiteral("dxBarEdit8Change")},
        {.name = QStringLiteral("dxBarEdit9"),
         .caption = QStringLiteral("alle Sonstiges ersetzen durch:"),
         .hint = QStringLiteral("alle Sonstiges ersetzen durch:"),
         .kind = Kind::Edit,
         .icon = QStringLiteral("edit-find-replace"),
         .handler = QStringLiteral("dxBarEdit9Change")},
        {.name = QStringLiteral("dxBarEdit10"),
         .caption = QStringLiteral("alle Sonstiges1 ersetzen durch:"),
         .hint = QStringLiteral("alle Sonstiges1 ersetzen durch:"),
         .kind = Kind::Edit,
         .icon = QStringLiteral("edit-find-replace"),
         .handler = QStringLiteral("dxBarEdit10Change")},

        // Large toolbar buttons; several share the handler of a menu entry.
        {.name = QStringLiteral("dxBarLargeButton1"),
         .caption = QStringLiteral("Bilder laden"),
         .icon = QStringLiteral("folder-pictures"),
         .handler = QStringLiteral("dxBarLargeButton1Click"),
         .dropDown = QStringLiteral("dxBarPopupMenu1")},
        {.name = QStringLiteral("dxBarLargeButton2"),
         .caption = QStringLiteral("Bildzoom an/aus"),
         .icon = QStringLiteral("zoom-in"),
         .handler = QStringLiteral("Image1Click")},
        {.name = QStringLiteral("dxBarLargeButton3"),
         .caption = QStringLiteral("zus. Infos an/aus"),
         .icon = QStringLiteral("dialog-information"),
         .handler = QStringLiteral("SpeedButton1Click")},
        {.name = QStringLiteral("dxBarLargeButton4"),
         .caption = QStringLiteral("CD einscannen"),
         .icon = QStringLiteral("media-optical"),
         .handler = QStringLiteral("dxBarButton12Click")},
        {.name = QStringLiteral("dxBarLargeButton5"),
         .caption = QStringLiteral("Medien einscannen"),
         .icon = QStringLiteral("multimedia-player"),
         .handler = QStringLiteral("AlleMediendatenladen1Click")},
        {.name = QStringLiteral("dxBarLargeButton6"),
         .caption = QStringLiteral("Mediensatz anschauen/anhören"),
         .icon = QStringLiteral("media-playback-start"),
         .handler = QStringLiteral("dxBarButton2Click")},
        {.name = QStringLiteral("dxBarLargeButton7"),
         .caption = QStringLiteral("Hilfe"),
         .icon = QStringLiteral("help-browser"),
         .handler = QStringLiteral("dxBarButton10Click")},
    };
}

QList<CommandContainer> makeContainers()
{
    const QString replaceTitle = QStringLiteral("Spaltenwerte ersetzen");
    const QString replaceHint =
        QStringLiteral("alle Spaltenwerte in der aktuellen od. gefilterten Sicht werden durch neue Werte ersetzt");

    return {
        {Type::MenuBar, QStringLiteral("Main Menu"), QStringLiteral("Main Menu"),
         names(QStringLiteral("Datei1 Bilderladen1 Medialaden1 Extra1 Setup1 miGridLookandFeel dxBarSubItem4"))},

        {Type::SubMenu, QStringLiteral("Datei1"), QStringLiteral("&Datei"),
         names(QStringLiteral("SelektierteDatenstzeimIEanzeigen2 | beenden1"))},
        {Type::SubMenu, QStringLiteral("Bilderladen1"), QStringLiteral("&Bilder laden"),
         names(QStringLiteral("newopen ffnenselektierteDatenstze1 | "
                              "OhneVorschauffnenalleDatenstze1 OhneVorschauffnenselektierteDatenstze1"))},
        {Type::SubMenu, QStringLiteral("Medialaden1"), QStringLiteral("&Media laden"),
         names(QStringLiteral("AlleMediendatenladen1"))},
        {Type::SubMenu, QStringLiteral("Extra1"), QStringLiteral("&Extra"),
         names(QStringLiteral("Aut1 AutomarkeausDateinameableiten1 | Bildauflsungberechnen1 | "
                              "Spaltenhinzufgenentfernen1"))},
        {Type::SubMenu, QStringLiteral("Setup1"), QStringLiteral("&Setup"), names(QStringLiteral("Optionen1"))},
        {Type::SubMenu, QStringLiteral("miGridLookandFeel"), QStringLiteral("&Tabelleneinstellungen"),
         names(QStringLiteral("KInd1 miNativeStyle Optionen2 Speicherung1"))},
        {Type::SubMenu, QStringLiteral("KInd1"), QStringLiteral("Kind"),
         names(QStringLiteral("miFlat miStandard miUltraFlat")), QString(), QString(), false},
        {Type::SubMenu, QStringLiteral("Optionen2"), QStringLiteral("Optionen"),
         names(QStringLiteral("MultiSelect1 | Indikator1 myShowGroupByBox ColumnAutoWith1"))},
        {Type::SubMenu, QStringLiteral("Speicherung1"), QStringLiteral("Speicherung"),
         names(QStringLiteral("miStorageActive miStoringGridLookFeel | Store1 Restore1 miStorageType"))},
        {Type::SubMenu, QStringLiteral("miStorageType"), QStringLiteral("Storage Location"),
         names(QStringLiteral("miIniStoreType miRegistryStoreType miMemoryStoreType"))},
        {Type::SubMenu, QStringLiteral("dxBarSubItem4"), QStringLiteral("&Info"),
         names(QStringLiteral("Info1 dxBarButton10 | dxBarButton9"))},
        {Type::SubMenu, QStringLiteral("dxBarSubItem7"), replaceTitle,
         names(QStringLiteral("dxBarEdit3 dxBarEdit2 dxBarEdit4 dxBarEdit5 dxBarEdit6")), replaceHint,
         QStringLiteral("edit-find-replace")},
        {Type::SubMenu, QStringLiteral("dxBarSubItem9"), replaceTitle,
         names(QStringLiteral("dxBarEdit8 dxBarEdit9 dxBarEdit10")), replaceHint, QStringLiteral("edit-find-replace")},

        {Type::PopupMenu, QStringLiteral("dxBarPopupMenu1"), QString(),
         names(
             QStringLiteral("newopen ffnenselektierteDatenstze1 | "
                            "OhneVorschauffnenalleDatenstze1 OhneVorschauffnenselektierteDatenstze1 | "
                            "SelektierteDatenstzeimIEanzeigen2 | Aut1 AutomarkeausDateinameableiten1 | "
                            "dxBarSubItem7 | Spaltenhinzufgenentfernen1 | Bildauflsungberechnen1 | Store1 Restore1"))},
        {Type::PopupMenu, QStringLiteral("dxBarPopupMenu2"), QString(),
         names(QStringLiteral("dxBarButton12 | dxBarButton15 dxBarButton16 | dxBarButton1"))},
        {Type::PopupMenu, QStringLiteral("dxBarPopupMenu3"), QString(),
         names(QStringLiteral("AlleMediendatenladen1 | dxBarButton2 | dxBarSubItem9 | dxBarButton3 | "
                              "dxBarButton4 dxBarButton5"))},
        {Type::PopupMenu, QStringLiteral("dxBarPopupMenu4"), QString(), names(QStringLiteral("AlleMediendatenladen1"))},
        {Type::PopupMenu, QStringLiteral("dxBarPopupMenu5"), QString(),
         names(QStringLiteral("dxBarButton12 | dxBarButton14 | dxBarButton15 dxBarButton16 | dxBarButton13"))},

        {Type::ToolBar, QStringLiteral("ButtonsBilder"), QStringLiteral("Buttons Bilder"),
         names(QStringLiteral("dxBarLargeButton1 dxBarLargeButton2 dxBarLargeButton3"))},
        {Type::ToolBar, QStringLiteral("ButtonsDVD"), QStringLiteral("Buttons CD"),
         names(QStringLiteral("dxBarLargeButton4"))},
        {Type::ToolBar, QStringLiteral("ButtonsMedien"), QStringLiteral("Buttons Medien"),
         names(QStringLiteral("dxBarLargeButton5 dxBarLargeButton6"))},
        {Type::ToolBar, QStringLiteral("ButtonsHilfe"), QStringLiteral("Buttons Hilfe"),
         names(QStringLiteral("dxBarLargeButton7"))},
    };
}

QList<PageEnabling> makePageEnabling()
{
    // Enabled on the image, disc, media and setup page.
    return {
        {QStringLiteral("Extra1"), {true, false, false, false}},
        {QStringLiteral("Bilderladen1"), {true, false, false, false}},
        {QStringLiteral("Medialaden1"), {false, false, true, false}},
        {QStringLiteral("SelektierteDatenstzeimIEanzeigen2"), {true, false, false, false}},
        {QStringLiteral("dxBarLargeButton1"), {true, true, true, true}},
        {QStringLiteral("dxBarLargeButton2"), {true, false, false, false}},
        {QStringLiteral("dxBarLargeButton3"), {true, false, false, false}},
        {QStringLiteral("dxBarLargeButton4"), {true, true, true, true}},
        {QStringLiteral("dxBarLargeButton5"), {true, true, true, true}},
        {QStringLiteral("dxBarLargeButton6"), {false, false, true, false}},
    };
}

} // namespace

QString CommandEntry::effectiveHint() const
{
    if (noHint)
        return QString();
    return hint.isEmpty() ? withoutAccessKey(caption) : hint;
}

QString withoutAccessKey(const QString& caption)
{
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&')) {
            if (i + 1 < caption.size() && caption.at(i + 1) == QLatin1Char('&')) {
                plain.append(QLatin1Char('&'));
                ++i;
            }
            continue;
        }
        plain.append(caption.at(i));
    }
    return plain;
}

const QList<CommandEntry>& CommandTables::entries()
{
    static const QList<CommandEntry> table = makeEntries();
    return table;
}

const QList<CommandContainer>& CommandTables::containers()
{
    static const QList<CommandContainer> table = makeContainers();
    return table;
}

const QList<PageEnabling>& CommandTables::pageEnabling()
{
    static const QList<PageEnabling> table = makePageEnabling();
    return table;
}
