#include "discs/DiscRecords.h"

#include "data/TableObject.h"
#include "platform/VolumeLabel.h"

#include <QDateTime>

#include <utility>

namespace {

// Posts the row being appended, or drops it when the database refuses it.
void postOrDrop(TableObject* table)
{
    try {
        table->post();
    } catch (...) {
        table->cancel();
        throw;
    }
}

} // namespace

DiscRecords::DiscRecords(TableObject* MSarchiv00, TableObject* MSarchiv01, QDate today, LabelReader labelOf)
    : m_discs(MSarchiv00)
    , m_files(MSarchiv01)
    , m_today(today)
    , m_labelOf(labelOf ? std::move(labelOf) : LabelReader([](const QString& path) { return volumeLabel(path); }))
{}

void DiscRecords::makeDisc(const QString& firstFile)
{
    m_discs->append();
    m_discs->setValue(QStringLiteral("Name"), m_labelOf(firstFile));
    m_discs->setValue(QStringLiteral("Medium"), QStringLiteral("CD"));
    m_discs->setValue(QStringLiteral("Anzahl"), QStringLiteral("1 von 1"));
    m_discs->setValue(QStringLiteral("Datum"), QDateTime(m_today, QTime(0, 0)));
    // The database numbers the new disc (recnr); its files are tied to it through that number.
    postOrDrop(m_discs);
    m_discMade = true;
}

void DiscRecords::add(const QString& line)
{
    const MediaList::Line parts = MediaList::split(line);
    if (!m_discMade)
        makeDisc(parts.fullName);
    const FilePlace place = m_places.of(parts.fullName);
    ++m_track;
    m_files->append();
    m_files->setValue(QStringLiteral("Titel"), place.name);
    m_files->setValue(QStringLiteral("Dateipfad"), place.Dateipfad);
    m_files->setValue(QStringLiteral("Liednr"), m_track);
    postOrDrop(m_files);
}
