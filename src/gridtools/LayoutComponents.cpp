#include "gridtools/LayoutComponents.h"

#include "gridtools/CatalogueGrid.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <QTableView>
#include <QWidget>

namespace {

using Options = QList<QPair<QString, bool>>;

QString optionsText(const Options& options)
{
    QStringList parts;
    for (const auto& [name, on] : options)
        parts.append(name + QLatin1Char('=') + WindowComponents::boolText(on));
    return parts.join(QLatin1String("; "));
}

// Calls set for every known option with a usable value; true when at least one was usable.
bool applyOptions(const QString& text, const QHash<QString, std::function<void(bool)>>& setters)
{
    bool any = false;
    const QHash<QString, QString> options = WindowComponents::parseOptions(text);
    for (auto it = options.cbegin(); it != options.cend(); ++it) {
        const auto setter = setters.constFind(it.key());
        if (setter == setters.cend())
            continue;
        bool ok = false;
        const bool on = WindowComponents::parseBool(it.value(), &ok);
        if (ok) {
            setter.value()(on);
            any = true;
        }
    }
    return any;
}

class WidgetComponent : public LayoutComponent
{
public:
    explicit WidgetComponent(QWidget* widget)
        : m_widget(widget)
    {}

    std::optional<QString> read(const QString& property) const override
    {
        if (!m_widget)
            return std::nullopt;
        if (property == u"Enabled")
            return WindowComponents::boolText(!m_widget->testAttribute(Qt::WA_ForceDisabled));
        if (property == u"Visible")
            return WindowComponents::boolText(!m_widget->isHidden());
        if (property == u"ParentFont")
            return WindowComponents::boolText(!m_widget->testAttribute(Qt::WA_SetFont));
        if (property == u"Font")
            return m_widget->font().toString();
        if (property == u"Hint")
            return m_widget->toolTip();
        if (property == u"Tag")
            return QString::number(m_widget->property("Tag").toInt());
        if (property == u"Name")
            return m_widget->objectName();
        return std::nullopt;
    }

    bool write(const QString& property, const QString& value) override
    {
        if (!m_widget)
            return false;
        bool ok = false;
        if (property == u"Enabled" || property == u"Visible" || property == u"ParentFont") {
            const bool on = WindowComponents::parseBool(value, &ok);
            if (!ok)
                return false;
            if (property == u"Enabled")
                m_widget->setEnabled(on);
            else if (property == u"Visible")
                m_widget->setHidden(!on);
            else if (on)
                m_widget->setFont(QFont()); // inherit again
            return true;
        }
        if (property == u"Font") {
            QFont font;
            if (value.isEmpty() || !font.fromString(value))
                return false;
            if (font != m_widget->font())
                m_widget->setFont(font);
            return true;
        }
        if (property == u"Hint") {
            m_widget->setToolTip(value);
            return true;
        }
        if (property == u"Tag") {
            const int tag = value.toInt(&ok);
            if (ok)
                m_widget->setProperty("Tag", tag);
            return ok;
        }
        if (property == u"Name")
            return value == m_widget->objectName(); // a layout never renames a component
        return false;
    }

protected:
    QPointer<QWidget> m_widget;
};

// The main window: its bounds, taken only when they lie on a screen and have a usable size.
class WindowComponent : public WidgetComponent
{
public:
    using WidgetComponent::WidgetComponent;

    std::optional<QString> read(const QString& property) const override
    {
        if (!m_widget)
            return std::nullopt;
        const QRect r = bounds();
        if (property == u"Left")
            return QString::number(r.x());
        if (property == u"Top")
            return QString::number(r.y());
        if (property == u"Width")
            return QString::number(r.width());
        if (property == u"Height")
            return QString::number(r.height());
        return WidgetComponent::read(property);
    }

    bool write(const QString& property, const QString& value) override
    {
        if (property == u"Left" || property == u"Top" || property == u"Width" || property == u"Height") {
            bool ok = false;
            const int n = value.trimmed().toInt(&ok);
            if (ok)
                m_pending.insert(property, n);
            return ok;
        }
        return WidgetComponent::write(property, value);
    }

    void finish() override
    {
        if (!m_widget || m_pending.isEmpty())
            return;
        QRect r = bounds();
        r.moveLeft(m_pending.value(QStringLiteral("Left"), r.x()));
        r.moveTop(m_pending.value(QStringLiteral("Top"), r.y()));
        r.setWidth(m_pending.value(QStringLiteral("Width"), r.width()));
        r.setHeight(m_pending.value(QStringLiteral("Height"), r.height()));
        m_pending.clear();
        if (r.width() < 320 || r.height() < 240 || r.width() > 16384 || r.height() > 16384)
            return;
        const QList<QScreen*> screens = QGuiApplication::screens();
        const bool onScreen = screens.isEmpty() || std::any_of(screens.begin(), screens.end(), [&](QScreen* s) {
                                  const QRect seen = s->availableGeometry().intersected(r);
                                  return seen.width() >= 100 && seen.height() >= 100;
                              });
        // A maximised window keeps its size; its normal bounds are the platform's.
        if (onScreen && !m_widget->isMaximized() && !m_widget->isFullScreen())
            m_widget->setGeometry(r);
    }

private:
    QRect bounds() const
    {
        return m_widget->isMaximized() || m_widget->isFullScreen() ? m_widget->normalGeometry() : m_widget->geometry();
    }

    QHash<QString, int> m_pending;
};

class GridComponent : public WidgetComponent
{
public:
    explicit GridComponent(CatalogueGrid* grid)
        : WidgetComponent(grid)
        , m_grid(grid)
    {}

    std::optional<QString> read(const QString& property) const override
    {
        if (m_grid && property == u"LookAndFeel")
            return QStringLiteral("Kind=UltraFlat; ") +
                   optionsText({{QStringLiteral("NativeStyle"), m_grid->nativeStyle()}});
        return WidgetComponent::read(property);
    }

    bool write(const QString& property, const QString& value) override
    {
        if (m_grid && property == u"LookAndFeel") {
            QPointer<CatalogueGrid> grid = m_grid;
            return applyOptions(value,
                                {{QStringLiteral("NativeStyle"), [grid](bool on) { grid->setNativeStyle(on); }}});
        }
        return WidgetComponent::write(property, value);
    }

private:
    QPointer<CatalogueGrid> m_grid;
};

// A grid's view: the options the grid options commands switch.
class ViewComponent : public WidgetComponent
{
public:
    ViewComponent(QTableView* view, CatalogueGrid* grid)
        : WidgetComponent(view)
        , m_grid(grid)
    {}

    std::optional<QString> read(const QString& property) const override
    {
        if (!m_grid)
            return std::nullopt;
        if (property == u"OptionsSelection")
            return optionsText({{QStringLiteral("MultiSelect"), m_grid->multiSelect()}});
        if (property == u"OptionsView") {
            Options options{{QStringLiteral("ColumnAutoWidth"), m_grid->columnsFitWidth()}};
            if (m_grid->footerBar())
                options.append({QStringLiteral("Footer"), m_grid->footerVisible()});
            options.append({QStringLiteral("GroupByBox"), m_grid->groupingPanelVisible()});
            options.append({QStringLiteral("Indicator"), m_grid->rowIndicatorVisible()});
            return optionsText(options);
        }
        if (property == u"Name" || property == u"Tag")
            return WidgetComponent::read(property);
        return std::nullopt;
    }

    bool write(const QString& property, const QString& value) override
    {
        if (!m_grid)
            return false;
        QPointer<CatalogueGrid> grid = m_grid;
        if (property == u"OptionsSelection")
            return applyOptions(value,
                                {{QStringLiteral("MultiSelect"), [grid](bool on) { grid->setMultiSelect(on); }}});
        if (property == u"OptionsView")
            return applyOptions(value,
                                {{QStringLiteral("ColumnAutoWidth"), [grid](bool on) { grid->setColumnsFitWidth(on); }},
                                 {QStringLiteral("Footer"), [grid](bool on) { grid->setFooterVisible(on); }},
                                 {QStringLiteral("GroupByBox"), [grid](bool on) { grid->setGroupingPanelVisible(on); }},
                                 {QStringLiteral("Indicator"), [grid](bool on) { grid->setRowIndicatorVisible(on); }}});
        if (property == u"Name" || property == u"Tag")
            return WidgetComponent::write(property, value);
        return false;
    }

private:
    QPointer<CatalogueGrid> m_grid;
};

class SplitterComponent : public WidgetComponent
{
public:
    explicit SplitterComponent(QSplitter* splitter)
        : WidgetComponent(splitter)
        , m_splitter(splitter)
    {}

    std::optional<QString> read(const QString& property) const override
    {
        if (m_splitter && property == u"PositionAfterOpen") {
            const QList<int> sizes = m_splitter->sizes();
            // Before the splitter was ever laid out it has no position of its own.
            if (std::all_of(sizes.begin(), sizes.end(), [](int s) { return s == 0; }))
                return std::nullopt;
            QStringList parts;
            for (int s : sizes)
                parts.append(QString::number(s));
            return parts.join(QLatin1Char(','));
        }
        return WidgetComponent::read(property);
    }

    bool write(const QString& property, const QString& value) override
    {
        if (m_splitter && property == u"PositionAfterOpen") {
            const QStringList parts = value.split(QLatin1Char(','));
            if (parts.size() != m_splitter->count())
                return false; // a layout of another arrangement
            QList<int> sizes;
            qint64 total = 0;
            for (const QString& part : parts) {
                bool ok = false;
                const int s = part.trimmed().toInt(&ok);
                if (!ok || s < 0 || s > 100000)
                    return false;
                sizes.append(s);
                total += s;
            }
            if (total == 0)
                return false;
            m_splitter->setSizes(sizes);
            return true;
        }
        return WidgetComponent::write(property, value);
    }

private:
    QPointer<QSplitter> m_splitter;
};

class ActionComponent : public LayoutComponent
{
public:
    explicit ActionComponent(QAction* action)
        : m_action(action)
    {}

    std::optional<QString> read(const QString& property) const override
    {
        if (m_action && property == u"Checked")
            return WindowComponents::boolText(m_action->isChecked());
        return std::nullopt;
    }

    bool write(const QString& property, const QString& value) override
    {
        if (!m_action || property != u"Checked")
            return false;
        bool ok = false;
        const bool on = WindowComponents::parseBool(value, &ok);
        if (ok && m_action->isCheckable())
            m_action->setChecked(on);
        return ok;
    }

private:
    QPointer<QAction> m_action;
};

class StoreComponent : public LayoutComponent
{
public:
    StoreComponent(LayoutStore* store, QStringList knownNames)
        : m_store(store)
        , m_known(std::move(knownNames))
    {}

    std::optional<QString> read(const QString& property) const override
    {
        if (!m_store)
            return std::nullopt;
        if (property == u"Active")
            return WindowComponents::boolText(m_store->isActive());
        if (property == u"StorageName")
            return m_store->storageName();
        if (property == u"StorageType")
            return LayoutStore::typeName(m_store->storageType());
        return std::nullopt;
    }

    bool write(const QString& property, const QString& value) override
    {
        if (!m_store)
            return false;
        if (property == u"Active") {
            bool ok = false;
            const bool on = WindowComponents::parseBool(value, &ok);
            if (ok)
                m_store->setActive(on);
            return ok;
        }
        if (property == u"StorageName") {
            // A hand-edited name could point the store at any file, which storing would overwrite.
            if (!m_known.contains(value))
                return false;
            m_store->setStorageName(value);
            return true;
        }
        if (property == u"StorageType") {
            const auto type = LayoutStore::typeFromName(value);
            if (type)
                m_store->setStorageType(*type);
            return type.has_value();
        }
        return false;
    }

private:
    QPointer<LayoutStore> m_store;
    QStringList m_known;
};

} // namespace

WindowComponents::WindowComponents(QWidget* window)
    : m_window(window)
{}

void WindowComponents::add(const QString& name, Factory factory)
{
    m_factories.insert(name, std::move(factory));
}

std::unique_ptr<LayoutComponent> WindowComponents::find(const QString& name) const
{
    if (const auto it = m_factories.constFind(name); it != m_factories.cend())
        return it.value()();
    if (!m_window || name.isEmpty())
        return nullptr;
    QObject* object = m_window->objectName() == name ? m_window.data() : m_window->findChild<QObject*>(name);
    if (!object)
        return nullptr;
    if (auto* action = qobject_cast<QAction*>(object))
        return std::make_unique<ActionComponent>(action);
    if (auto* grid = qobject_cast<CatalogueGrid*>(object))
        return std::make_unique<GridComponent>(grid);
    if (auto* view = qobject_cast<QTableView*>(object)) {
        for (QObject* p = view->parent(); p; p = p->parent()) {
            if (auto* grid = qobject_cast<CatalogueGrid*>(p); grid && grid->view() == view)
                return std::make_unique<ViewComponent>(view, grid);
        }
    }
    if (auto* splitter = qobject_cast<QSplitter*>(object))
        return std::make_unique<SplitterComponent>(splitter);
    if (auto* widget = qobject_cast<QWidget*>(object)) {
        if (widget->isWindow())
            return std::make_unique<WindowComponent>(widget);
        return std::make_unique<WidgetComponent>(widget);
    }
    return nullptr;
}

bool WindowComponents::parseBool(const QString& text, bool* ok)
{
    const QString t = text.trimmed().toLower();
    *ok = true;
    if (t == u"true" || t == u"1" || t == u"yes")
        return true;
    if (t == u"false" || t == u"0" || t == u"no")
        return false;
    *ok = false;
    return false;
}

QString WindowComponents::boolText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

QHash<QString, QString> WindowComponents::parseOptions(const QString& text)
{
    QHash<QString, QString> options;
    for (const QString& part : text.split(QLatin1Char(';'))) {
        const qsizetype eq = part.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        options.insert(part.left(eq).trimmed(), part.mid(eq + 1).trimmed());
    }
    return options;
}

std::unique_ptr<LayoutComponent> storeComponent(LayoutStore* store, const QStringList& knownNames)
{
    return std::make_unique<StoreComponent>(store, knownNames);
}
