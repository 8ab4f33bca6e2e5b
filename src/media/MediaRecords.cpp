#include "media/MediaRecords.h"

#include "data/TableObject.h"
#include "platform/FileTimes.h"

namespace {

// A time the file system did not give stays empty (NULL), not an empty text.
QVariant timeOrEmpty(const QDateTime& time)
{
    return time.isValid() ? QVariant(time) : QVariant();
}

} // namespace

MediaRecords::MediaRecords(TableObject* MSMedia)
    : m_table(MSMedia)
    , m_key(QStringLiteral("Dateipfad;Dateiname"))
    , m_pathField(MSMedia->fieldIndex(QStringLiteral("Dateipfad")))
    , m_nameField(MSMedia->fieldIndex(QStringLiteral("Dateiname")))
    , m_typeField(MSMedia->fieldIndex(QStringLiteral("Dateityp")))
    , m_sizeField(MSMedia->fieldIndex(QStringLiteral("Groesse")))
    , m_createdField(MSMedia->fieldIndex(QStringLiteral("Erstelldatum")))
    , m_accessedField(MSMedia->fieldIndex(QStringLiteral("letzterZugriff")))
    , m_modifiedField(MSMedia->fieldIndex(QStringLiteral("letzteAenderung")))
{}

bool MediaRecords::add(const QString& line)
{
    const MediaList::Line parts = MediaList::split(line);
    const FilePlace place = m_places.of(parts.fullName);
    if (m_table->locate(m_key, {place.Dateipfad, place.name}))
        return false;
    // Times that cannot be read leave the dates empty; the file is catalogued all the same.
    const FileTimes times = m_times.read(place.folder, place.name);
    m_table->append();
    try {
        m_table->setValue(m_pathField, place.Dateipfad);
        m_table->setValue(m_nameField, place.name);
        m_table->setValue(m_typeField, place.type);
        m_table->setValue(m_sizeField, double(parts.size));
        m_table->setValue(m_createdField, timeOrEmpty(times.created));
        m_table->setValue(m_accessedField, timeOrEmpty(times.accessed));
        m_table->setValue(m_modifiedField, timeOrEmpty(times.modified));
        m_table->post();
    } catch (...) {
        // A record the database refused must not wait to be posted again at the next move.
        m_table->cancel();
        throw;
    }
    return true;
}
