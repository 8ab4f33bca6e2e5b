#pragma once

#include "gridtools/LayoutStore.h"

#include <QHash>
#include <QPointer>

class QWidget;

// The window's components for the layout stores, found by their object names. What each kind
// keeps, as text:
//
//   every widget   Enabled, Visible, ParentFont (true/false), Font (QFont text), Hint, Tag (number),
//                  Name (never changed by a restore)
//   the window     Left, Top, Width, Height (its normal bounds; bounds off every screen are refused)
//   a grid         LookAndFeel "Kind=UltraFlat; NativeStyle=false"
//   a grid's view  OptionsSelection "MultiSelect=true",
//                  OptionsView "ColumnAutoWidth=false; Footer=true; GroupByBox=true; Indicator=true"
//   a splitter     PositionAfterOpen: the sizes of its parts, "372,400"
//   an action      Checked
//
// Other property names of the entries are not kept.
class WindowComponents
{
public:
    using Factory = std::function<std::unique_ptr<LayoutComponent>()>;

    explicit WindowComponents(QWidget* window);

    // A component not found by its object name, or one of another kind.
    void add(const QString& name, Factory factory);
    std::unique_ptr<LayoutComponent> find(const QString& name) const;

    static bool parseBool(const QString& text, bool* ok);
    static QString boolText(bool value);
    // "Key=value; Key=value" lists
    static QHash<QString, QString> parseOptions(const QString& text);

private:
    QPointer<QWidget> m_window;
    QHash<QString, Factory> m_factories;
};

// The state store's view of a layout store: Active, StorageName, StorageType. Only the names the
// program gives its locations are taken as a StorageName.
std::unique_ptr<LayoutComponent> storeComponent(LayoutStore* store, const QStringList& knownNames);
