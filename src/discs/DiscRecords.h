#pragma once

#include "media/MediaList.h"

#include <QDate>

#include <functional>

class TableObject;

// The record step of the disc scan. The first line makes the disc row in archiv00 (named after
// the volume label of the file system that holds its file); every line then becomes one detail
// row of that disc in Archiv01, numbered from 1 in list order. Every scan makes a new disc row.
class DiscRecords
{
public:
    using LabelReader = std::function<QString(const QString& path)>;

    DiscRecords(TableObject* MSarchiv00, TableObject* MSarchiv01, QDate today, LabelReader labelOf = {});

    // A failing post throws OrdnixError; the rows before stay, the disc row included.
    void add(const QString& line);
    int tracks() const { return m_track; }

private:
    void makeDisc(const QString& firstFile);

    TableObject* m_discs;
    TableObject* m_files;
    QDate m_today;
    LabelReader m_labelOf;
    FilePlaces m_places;
    bool m_discMade = false;
    int m_track = 0;
};
