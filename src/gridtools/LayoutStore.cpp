#include "gridtools/LayoutStore.h"

#include "platform/OrdnixError.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

QString escaped(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else
            out += c;
    }
    return out;
}

QString unescaped(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\\') || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const QChar next = text[++i];
        out += next == QLatin1Char('n') ? QChar(u'\n') : next == QLatin1Char('r') ? QChar(u'\r') : next;
    }
    return out;
}

} // namespace

const LayoutSnapshot::Component* LayoutSnapshot::find(const QString& name) const
{
    for (const Component& c : components) {
        if (c.name == name)
            return &c;
    }
    return nullptr;
}

std::optional<QString> LayoutSnapshot::value(const QString& component, const QString& property) const
{
    if (const Component* c = find(component)) {
        for (const auto& [name, value] : c->values) {
            if (name == property)
                return value;
        }
    }
    return std::nullopt;
}

QByteArray LayoutSnapshot::toText() const
{
    QString text;
    for (const Component& c : components) {
        text += QLatin1Char('[') + escaped(c.name) + QLatin1String("]\n");
        for (const auto& [name, value] : c.values)
            text += escaped(name) + QLatin1Char('=') + escaped(value) + QLatin1Char('\n');
    }
    return text.toUtf8();
}

LayoutSnapshot LayoutSnapshot::fromText(const QByteArray& text)
{
    LayoutSnapshot snapshot;
    const QString all = QString::fromUtf8(text);
    for (QStringView line : QStringView(all).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']')) && line.size() > 2) {
            snapshot.components.append({unescaped(line.mid(1, line.size() - 2)), {}});
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0 || snapshot.components.isEmpty())
            continue;
        snapshot.components.last().values.append({unescaped(line.left(eq)), unescaped(line.mid(eq + 1))});
    }
    return snapshot;
}

// ---------------------------------------------------------------------------------------------

LayoutStore::LayoutStore(const QString& name, QObject* parent)
    : QObject(parent)
{
    setObjectName(name);
}

const LayoutStore::Entry* LayoutStore::entry(const QString& component) const
{
    for (const Entry& e : m_entries) {
        if (e.component == component)
            return &e;
    }
    return nullptr;
}

void LayoutStore::keep(const QString& component, const QString& property)
{
    for (Entry& e : m_entries) {
        if (e.component == component) {
            if (!e.properties.contains(property))
                e.properties.append(property);
            return;
        }
    }
    m_entries.append({component, {property}});
}

void LayoutStore::removeEntry(const QString& component)
{
    m_entries.removeIf([&](const Entry& e) { return e.component == component; });
}

QString LayoutStore::typeName(StorageType type)
{
    switch (type) {
    case StorageType::IniFile:
        return QStringLiteral("IniFile");
    case StorageType::Registry:
        return QStringLiteral("Registry");
    case StorageType::Memory:
        return QStringLiteral("Memory");
    }
    return {};
}

std::optional<LayoutStore::StorageType> LayoutStore::typeFromName(const QString& name)
{
    for (StorageType type : {StorageType::IniFile, StorageType::Registry, StorageType::Memory}) {
        if (name.compare(typeName(type), Qt::CaseInsensitive) == 0)
            return type;
    }
    return std::nullopt;
}

QString LayoutStore::iniPath() const
{
    if (m_storageName.isEmpty())
        return {};
    return QDir::cleanPath(QDir::current().absoluteFilePath(m_storageName));
}

QString LayoutStore::registryPath() const
{
    // A key of its own directly below the user's settings; never a path elsewhere.
    if (m_storageName.isEmpty() || m_storageName.contains(QLatin1Char('/')) ||
        m_storageName.contains(QLatin1Char('\\')) || m_storageName.startsWith(QLatin1Char('.')))
        return {};
    return QDir::cleanPath(m_registryFolder + QLatin1Char('/') + m_storageName + QLatin1String(".conf"));
}

QString LayoutStore::locationText() const
{
    switch (m_type) {
    case StorageType::IniFile:
        return QDir::toNativeSeparators(iniPath());
    case StorageType::Registry:
        return QDir::toNativeSeparators(registryPath());
    case StorageType::Memory:
        return tr("Arbeitsspeicher");
    }
    return {};
}

LayoutSnapshot LayoutStore::collect() const
{
    LayoutSnapshot snapshot;
    if (!m_resolver)
        return snapshot;
    for (const Entry& e : m_entries) {
        const std::unique_ptr<LayoutComponent> target = m_resolver(e.component);
        if (!target)
            continue;
        LayoutSnapshot::Component c{e.component, {}};
        for (const QString& property : e.properties) {
            if (const auto value = target->read(property))
                c.values.append({property, *value});
        }
        if (!c.values.isEmpty())
            snapshot.components.append(c);
    }
    return snapshot;
}

void LayoutStore::apply(const LayoutSnapshot& snapshot) const
{
    if (!m_resolver)
        return;
    for (const Entry& e : m_entries) {
        if (!snapshot.find(e.component))
            continue;
        const std::unique_ptr<LayoutComponent> target = m_resolver(e.component);
        if (!target)
            continue;
        for (const QString& property : e.properties) {
            if (const auto value = snapshot.value(e.component, property))
                target->write(property, *value);
        }
        target->finish();
    }
}

void LayoutStore::writeSettings(const QString& path, bool native, const LayoutSnapshot& snapshot) const
{
    const QString shown = QDir::toNativeSeparators(path);
    if (path.isEmpty() || QFileInfo(path).isDir())
        throw OrdnixError(tr("Die Tabelleneinstellungen können nicht in „%1“ gespeichert werden.").arg(shown));
    QSettings settings(path, native ? QSettings::NativeFormat : QSettings::IniFormat);
    settings.clear();
    for (const LayoutSnapshot::Component& c : snapshot.components) {
        settings.beginGroup(c.name);
        for (const auto& [name, value] : c.values)
            settings.setValue(name, value);
        settings.endGroup();
    }
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw OrdnixError(tr("Die Tabelleneinstellungen können nicht in „%1“ gespeichert werden.").arg(shown));
}

LayoutSnapshot LayoutStore::readSettings(const QString& path, bool native) const
{
    LayoutSnapshot snapshot;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return snapshot; // nothing kept there yet
    if (!info.isFile() || !info.isReadable())
        throw OrdnixError(
            tr("Die Tabelleneinstellungen können nicht aus „%1“ gelesen werden.").arg(QDir::toNativeSeparators(path)));
    // A damaged file gives what can be read of it; the rest stays as designed.
    QSettings settings(path, native ? QSettings::NativeFormat : QSettings::IniFormat);
    const QStringList groups = settings.childGroups();
    for (const QString& group : groups) {
        settings.beginGroup(group);
        LayoutSnapshot::Component c{group, {}};
        const QStringList keys = settings.childKeys();
        for (const QString& key : keys) {
            const QVariant value = settings.value(key);
            c.values.append({key, value.typeId() == QMetaType::QStringList ? value.toStringList().join(QLatin1Char(','))
                                                                           : value.toString()});
        }
        settings.endGroup();
        snapshot.components.append(c);
    }
    return snapshot;
}

void LayoutStore::store()
{
    const LayoutSnapshot snapshot = collect();
    switch (m_type) {
    case StorageType::IniFile:
        writeSettings(iniPath(), false, snapshot);
        return;
    case StorageType::Registry:
        writeSettings(registryPath(), true, snapshot);
        return;
    case StorageType::Memory: {
        QIODevice* stream = m_memory ? m_memory() : nullptr;
        if (!stream)
            throw OrdnixError(tr("Die Tabelleneinstellungen können nicht im Arbeitsspeicher abgelegt werden."));
        if (!stream->isOpen())
            stream->open(QIODevice::ReadWrite);
        // One snapshot at most: the new one replaces what the stream held.
        if (auto* buffer = qobject_cast<QBuffer*>(stream)) {
            buffer->buffer() = snapshot.toText();
            buffer->seek(0);
        } else {
            stream->seek(0);
            stream->write(snapshot.toText());
        }
        return;
    }
    }
}

void LayoutStore::restore()
{
    switch (m_type) {
    case StorageType::IniFile:
        apply(readSettings(iniPath(), false));
        return;
    case StorageType::Registry:
        apply(readSettings(registryPath(), true));
        return;
    case StorageType::Memory: {
        QIODevice* stream = m_memory ? m_memory() : nullptr;
        if (!stream || !stream->isOpen())
            return;
        stream->seek(0);
        apply(LayoutSnapshot::fromText(stream->readAll()));
        return;
    }
    }
}
