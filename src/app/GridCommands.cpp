#include "app/MainWindow.h"
#include "app/PageCommands.h"
#include "app/commands/CommandTable.h"
#include "discs/DiscPage.h"
#include "gridtools/CatalogueGrid.h"
#include "gridtools/LayoutComponents.h"
#include "gridtools/LayoutStore.h"
#include "images/ImagePage.h"
#include "media/MediaPage.h"
#include "platform/CommandGuard.h"
#include "platform/Context.h"

#include <QAction>
#include <QBuffer>

// The grid options of the image grid, the column choosers, and the two layout stores: the main
// one, whose location the user chooses, and the state store that remembers the main one's
// settings from one run to the next.

namespace {

QStringList words(const char* text)
{
    return QString::fromLatin1(text).split(QLatin1Char(' '));
}

// The properties the stores name for a grid, a grid level and a splitter. What each component
// keeps of them is up to the component (gridtools/LayoutComponents.h).
const QStringList gridProperties =
    words("Align Anchors BevelEdges BevelInner BevelKind BevelOuter BevelWidth BorderStyle BorderWidth Constraints "
          "Cursor DragCursor DragKind DragMode DragOpening DragOpeningWaitTime Enabled Font Height HelpContext "
          "HelpKeyword HelpType Hint Left LookAndFeel Name ParentFont PopupMenu RootLevelOptions RootLevelStyles "
          "TabOrder TabStop Tag Top Visible Width");

const QStringList levelProperties = words("Caption GridView MaxDetailHeight Name Options Styles Tag Visible");

const QStringList splitterProperties =
    words("AlignSplitter AllowHotZoneDrag AutoPosition AutoSnap Color Control Cursor DragThreshold Height "
          "HelpContext HelpKeyword HelpType Hint HotZone HotZoneClassName InvertDirection Left MinSize Name "
          "NativeBackground ParentColor ParentShowHint PositionAfterOpen ResizeIgnoreSnap ResizeUpdate ShowHint Tag "
          "Top Visible Width");

QList<LayoutStore::Entry> mainStoreEntries()
{
    const QStringList checked{QStringLiteral("Checked")};
    return {
        {QStringLiteral("actColumnAutoWidth"), checked},
        {QStringLiteral("actGridNativeStyle"), checked},
        {QStringLiteral("actMultiSelect"), checked},
        {QStringLiteral("actShowGroupByBox"), checked},
        {QStringLiteral("actShowIndicator"), checked},
        {QStringLiteral("cxGrid1"), gridProperties},
        {QStringLiteral("cxGrid2"), gridProperties},
        {QStringLiteral("cxGrid2Level2"), levelProperties},
        {QStringLiteral("cxSplitter1"), splitterProperties},
        {QStringLiteral("cxSplitter2"), splitterProperties},
        {QStringLiteral("Form1"), words("Height Left Top Width")},
        {QStringLiteral("View1"), words("OptionsBehavior OptionsCustomize OptionsData OptionsSelection OptionsView "
                                        "Preview")},
    };
}

QList<LayoutStore::Entry> stateStoreEntries()
{
    return {
        {QStringLiteral("cxGrid1"), gridProperties},
        {QStringLiteral("cxPropertiesStore"), words("Active StorageName StorageType")},
        {QStringLiteral("Level1"), levelProperties},
        {QStringLiteral("View1"), words("BackgroundBitmaps DataController DragMode FakeComponentLink1 "
                                        "FakeComponentLink2 FakeComponentLink3 Filtering Name NavigatorButtons "
                                        "OptionsBehavior OptionsCustomize OptionsData OptionsSelection OptionsView "
                                        "Preview Styles Tag")},
    };
}

// A grid option: an action of the window with a check state. Where a menu entry shows the mark,
// the entry follows the action.
QAction* gridOption(MainWindow& window, const char* name, bool checked, const char* entry)
{
    auto* action = new QAction(&window);
    action->setObjectName(QLatin1String(name));
    action->setCheckable(true);
    action->setChecked(checked);
    if (QAction* shown = window.commands()->action(QLatin1String(entry)); shown && shown->isCheckable()) {
        shown->setChecked(checked);
        QObject::connect(action, &QAction::toggled, shown, &QAction::setChecked);
    }
    return action;
}

void invert(QAction* action)
{
    action->setChecked(!action->isChecked());
}

// Runs a step of the window's creation or destruction, where no command guard may have its
// reporter any more: a failure still reaches the user.
void runStep(MainWindow& window, const std::function<void()>& step)
{
    ErrorReporter* previous = CommandGuard::reporter();
    if (!previous && window.context()->dialogs)
        CommandGuard::setReporter(window.context()->dialogs);
    CommandGuard::run(step);
    CommandGuard::setReporter(previous);
}

} // namespace

void bindGridCommands(MainWindow& window)
{
    CommandTable* c = window.commands();
    CatalogueGrid* images = window.imagePage->cxGrid1;

    // Column choosers
    c->bind(QStringLiteral("Spaltenhinzufgenentfernen1Click"), [images] { images->showColumnChooser(); });
    c->bind(QStringLiteral("dxBarButton1Click"), [&window] { window.discPage->cxGrid2->showColumnChooser(); });
    c->bind(QStringLiteral("dxBarButton13Click"), [&window] { window.discPage->cxGrid3->showColumnChooser(); });
    c->bind(QStringLiteral("dxBarButton3Click"), [&window] { window.mediaPage->cxGrid4->showColumnChooser(); });

    // Grid options of the image grid
    QAction* nativeStyle = gridOption(window, "actGridNativeStyle", false, "miNativeStyle");
    QAction* multiSelect = gridOption(window, "actMultiSelect", true, "MultiSelect1");
    QAction* indicator = gridOption(window, "actShowIndicator", true, "Indikator1");
    QAction* groupByBox = gridOption(window, "actShowGroupByBox", true, "myShowGroupByBox");
    QAction* autoWidth = gridOption(window, "actColumnAutoWidth", false, "ColumnAutoWith1");
    c->bind(QStringLiteral("actGridNativeStyleExecute"), [images, nativeStyle] {
        images->setNativeStyle(!images->nativeStyle());
        nativeStyle->setChecked(images->nativeStyle());
    });
    c->bind(QStringLiteral("actMultiSelectExecute"), [images, multiSelect] {
        // The grid's one view is always its focused view.
        images->setMultiSelect(!images->multiSelect());
        invert(multiSelect);
    });
    c->bind(QStringLiteral("actShowIndicatorExecute"), [images, indicator] {
        invert(indicator);
        images->setRowIndicatorVisible(indicator->isChecked());
    });
    c->bind(QStringLiteral("actShowGroupByBoxExecute"), [images, groupByBox] {
        invert(groupByBox);
        images->setGroupingPanelVisible(groupByBox->isChecked());
    });
    c->bind(QStringLiteral("actColumnAutoWidthExecute"), [images, autoWidth] {
        invert(autoWidth);
        images->setColumnsFitWidth(autoWidth->isChecked());
    });

    // Layout stores
    const QString folder = window.context()->paths.configFolder;
    const QString designedLocation = folder + QLatin1String("/cxPropertiesStore.ini");
    auto* layout = new LayoutStore(QStringLiteral("cxPropertiesStore"), &window);
    auto* state = new LayoutStore(QStringLiteral("cxStorageActiveStore"), &window);
    layout->setEntries(mainStoreEntries());
    layout->setStorageName(designedLocation);
    layout->setRegistryFolder(folder);
    layout->setMemoryStream([&window]() -> QIODevice* { return window.LayoutMemoryStream; });
    state->setEntries(stateStoreEntries());
    state->setStorageName(folder + QLatin1String("/StorageState.ini"));

    auto components = std::make_shared<WindowComponents>(&window);
    const QStringList knownNames = {designedLocation, QStringLiteral("cxPropertiesStore.ini"),
                                    QStringLiteral("cxPropertiesStore")};
    components->add(QStringLiteral("cxPropertiesStore"),
                    [layout, knownNames] { return storeComponent(layout, knownNames); });
    auto resolver = [components](const QString& name) { return components->find(name); };
    layout->setResolver(resolver);
    state->setResolver(resolver);

    auto entry = [c](const char* name) { return c->action(QLatin1String(name)); };
    c->bind(QStringLiteral("miStorageActiveClick"), [layout, entry] {
        const bool on = entry("miStorageActive")->isChecked();
        layout->setActive(on);
        entry("miStoringGridLookFeel")->setEnabled(on);
    });
    c->bind(QStringLiteral("miStoringGridLookFeelClick"), [layout, entry] {
        const QString grid = QStringLiteral("cxGrid1");
        const QString action = QStringLiteral("actGridNativeStyle");
        if (entry("miStoringGridLookFeel")->isChecked()) {
            layout->keep(grid, QStringLiteral("LookAndFeel"));
            layout->keep(action, QStringLiteral("Checked"));
        } else if (layout->entry(grid)) {
            layout->removeEntry(grid);
            layout->removeEntry(action);
        }
    });
    // The two stores both keep the image grid's view but only the main one keeps the options'
    // check marks; where a restore leaves them apart, the marks follow the grid.
    auto markOptions = [images, nativeStyle, multiSelect, indicator, groupByBox, autoWidth] {
        nativeStyle->setChecked(images->nativeStyle());
        multiSelect->setChecked(images->multiSelect());
        indicator->setChecked(images->rowIndicatorVisible());
        groupByBox->setChecked(images->groupingPanelVisible());
        autoWidth->setChecked(images->columnsFitWidth());
    };
    c->bind(QStringLiteral("Store1Click"), [layout] { layout->store(); });
    c->bind(QStringLiteral("Restore1Click"), [&window, layout, markOptions] {
        if (window.LayoutMemoryStream)
            window.LayoutMemoryStream->seek(0);
        layout->restore();
        markOptions();
    });
    auto location = [layout, entry](const char* name, LayoutStore::StorageType type) {
        entry(name)->setChecked(true);
        layout->setStorageType(type);
        layout->setStorageName(type == LayoutStore::StorageType::IniFile ? layout->objectName() + QLatin1String(".ini")
                                                                         : layout->objectName());
    };
    c->bind(QStringLiteral("miIniStoreTypeClick"),
            [location] { location("miIniStoreType", LayoutStore::StorageType::IniFile); });
    c->bind(QStringLiteral("miRegistryStoreTypeClick"),
            [location] { location("miRegistryStoreType", LayoutStore::StorageType::Registry); });
    c->bind(QStringLiteral("miMemoryStoreTypeClick"),
            [location] { location("miMemoryStoreType", LayoutStore::StorageType::Memory); });

    // The window's components all exist, and its own creation step comes next: the main store
    // reads from its designed place, then the state store gives the main store the settings of
    // the last run.
    if (layout->isActive())
        runStep(window, [layout] { layout->restore(); });
    runStep(window, [state] { state->restore(); });
    markOptions();

    // When the window goes: the state first, then the layout where the user chose to keep it.
    QObject::connect(&window, &MainWindow::destroying, layout, [&window, layout, state] {
        runStep(window, [state] { state->store(); });
        if (layout->isActive() && layout->storageType() != LayoutStore::StorageType::Memory)
            runStep(window, [layout] { layout->store(); });
    });
}
