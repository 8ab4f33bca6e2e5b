#pragma once

#include "media/MediaList.h"
#include "platform/FileTimes.h"

#include <QStringList>

class TableObject;

// The record step of the media scan: a list line becomes a Media record unless the catalogue
// holds its file already (same Dateipfad and Dateiname). Existing records are never changed.
class MediaRecords
{
public:
    explicit MediaRecords(TableObject* MSMedia);

    // True when a record was appended. A failing post throws OrdnixError; the records before stay.
    bool add(const QString& line);

private:
    TableObject* m_table;
    FilePlaces m_places;
    FolderFileTimes m_times;
    const QString m_key;
    int m_pathField, m_nameField, m_typeField, m_sizeField, m_createdField, m_accessedField, m_modifiedField;
};
