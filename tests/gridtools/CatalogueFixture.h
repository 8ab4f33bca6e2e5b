#pragma once

#include "data/Catalogue.h"
#include "data/DataModule.h"
#include "data/TableObject.h"
#include "gridtools/GridBuilder.h"

#include <QTemporaryDir>

#include <memory>

// A fresh catalogue whose pictures are given as folder, name, description and size, and a grid
// definition over them like the image grid's: folder, name, description, size, and the hidden
// record number.
struct CatalogueFixture
{
    struct Picture
    {
        const char* folder;
        const char* name;
        const char* description = nullptr;
        double size = 0;
    };

    QTemporaryDir dir;
    std::unique_ptr<DataModule> data;

    explicit CatalogueFixture(std::initializer_list<Picture> pictures)
    {
        const QString path = dir.path() + QStringLiteral("/media.db");
        Catalogue::create(path);
        data = std::make_unique<DataModule>(path);
        data->DataModuleCreate();
        for (const Picture& p : pictures)
            add(p);
        table()->first();
    }

    TableObject* table() const { return data->MSBild; }

    void add(const Picture& p) const
    {
        TableObject* t = table();
        t->append();
        t->setValue(QStringLiteral("Dateipfad"), QString::fromUtf8(p.folder));
        t->setValue(QStringLiteral("Dateiname"), QString::fromUtf8(p.name));
        if (p.description)
            t->setValue(QStringLiteral("Beschreibung"), QString::fromUtf8(p.description));
        if (p.size > 0)
            t->setValue(QStringLiteral("Groesse"), p.size);
        t->post();
    }

    // The record showing this name, in table order.
    int rowOf(const char* name) const
    {
        const int field = table()->fieldIndex(QStringLiteral("Dateiname"));
        for (int r = 0; r < table()->recordCount(); ++r) {
            if (table()->valueAt(r, field).toString() == QString::fromUtf8(name))
                return r;
        }
        return -1;
    }

    QStringList names(const QList<int>& rows) const
    {
        QStringList out;
        const int field = table()->fieldIndex(QStringLiteral("Dateiname"));
        for (int r : rows)
            out.append(table()->valueAt(r, field).toString());
        return out;
    }

    static GridDef definition(GroupFooterMode footers = GroupFooterMode::WhileExpanded)
    {
        using namespace GridBuilder;
        GridDef g;
        g.gridName = QStringLiteral("cxGridTest");
        g.viewName = QStringLiteral("ViewTest");
        g.columns = {text(QStringLiteral("Dateipfad"), QStringLiteral("Dateipfad")),
                     text(QStringLiteral("Dateiname"), QStringLiteral("Dateiname")),
                     text(QStringLiteral("Beschreibung"), QStringLiteral("Beschreibung")),
                     text(QStringLiteral("Groesse"), QStringLiteral("Groesse"), QStringLiteral("Größe"), true),
                     text(QStringLiteral("fortlfnr"), QStringLiteral("fortlfnr"), {}, true)};
        g.footerSummaries = {{QStringLiteral("Dateiname"), SummaryKind::Count},
                             {QStringLiteral("Groesse"), SummaryKind::Sum}};
        g.groupSummaries = {{QStringLiteral("Dateiname"), SummaryKind::Count}};
        g.groupSummaryLinks = {QStringLiteral("Dateipfad")};
        g.groupFooters = footers;
        return g;
    }
};
