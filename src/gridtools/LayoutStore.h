#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QIODevice;

// One component of the window as a layout store sees it: named properties whose values are
// readable text. A property the component does not keep reads as nothing; a value it cannot use
// is refused and the component stays as it is.
class LayoutComponent
{
public:
    virtual ~LayoutComponent() = default;
    virtual std::optional<QString> read(const QString& property) const = 0;
    virtual bool write(const QString& property, const QString& value) = 0;
    // After all properties of one restore are written.
    virtual void finish() {}
};

// Property values by component and property name, in the order they were kept.
struct LayoutSnapshot
{
    struct Component
    {
        QString name;
        QList<QPair<QString, QString>> values;
    };
    QList<Component> components;

    const Component* find(const QString& name) const;
    std::optional<QString> value(const QString& component, const QString& property) const;

    // The memory location's form: "[Component]" lines, then "Property=value" lines with "\\",
    // "\n" and "\r" escaped.
    QByteArray toText() const;
    static LayoutSnapshot fromText(const QByteArray& text);
};

// Keeps chosen properties of named window components in one location: an ini file, the
// platform's native settings ("registry") or a memory stream. Storing replaces what the location
// held; restoring writes back what it finds and leaves everything else as designed. Unknown
// components, unknown properties and unusable values in a location are passed over.
class LayoutStore : public QObject
{
    Q_OBJECT

public:
    enum class StorageType
    {
        IniFile,
        Registry,
        Memory,
    };

    struct Entry
    {
        QString component;
        QStringList properties;
    };

    using Resolver = std::function<std::unique_ptr<LayoutComponent>(const QString& component)>;

    explicit LayoutStore(const QString& name, QObject* parent = nullptr);

    const QList<Entry>& entries() const { return m_entries; }
    void setEntries(const QList<Entry>& entries) { m_entries = entries; }
    const Entry* entry(const QString& component) const;
    // Adds the property to the component's entry, or a new entry with that one property.
    void keep(const QString& component, const QString& property);
    void removeEntry(const QString& component);

    bool isActive() const { return m_active; }
    void setActive(bool active) { m_active = active; }
    StorageType storageType() const { return m_type; }
    void setStorageType(StorageType type) { m_type = type; }
    QString storageName() const { return m_storageName; }
    void setStorageName(const QString& name) { m_storageName = name; }

    // Ini names that are not absolute are in the working folder; registry keys are settings of
    // the native format in this folder.
    void setRegistryFolder(const QString& folder) { m_registryFolder = folder; }
    void setMemoryStream(std::function<QIODevice*()> stream) { m_memory = std::move(stream); }
    void setResolver(Resolver resolver) { m_resolver = std::move(resolver); }

    // Where the current location is, for messages and tests: a file path or "memory".
    QString locationText() const;

    // Both raise OrdnixError naming the location when it cannot be written or read.
    void store();
    void restore();

    LayoutSnapshot collect() const;
    void apply(const LayoutSnapshot& snapshot) const;

    static QString typeName(StorageType type);
    static std::optional<StorageType> typeFromName(const QString& name);

private:
    QString iniPath() const;
    QString registryPath() const;
    void writeSettings(const QString& path, bool native, const LayoutSnapshot& snapshot) const;
    LayoutSnapshot readSettings(const QString& path, bool native) const;

    QList<Entry> m_entries;
    bool m_active = true;
    StorageType m_type = StorageType::IniFile;
    QString m_storageName;
    QString m_registryFolder;
    std::function<QIODevice*()> m_memory;
    Resolver m_resolver;
};
