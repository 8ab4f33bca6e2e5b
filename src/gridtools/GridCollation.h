#pragma once

#include <QStringView>
#include <QVariant>

// The order in which the grids sort and group stored values, as a German user expects it: empty
// values first, numbers by value and before text, text letter by letter with umlauts and
// accented letters beside their base letter (Ä with A, ß as ss). Case and accents decide only
// between texts that are otherwise equal, so two values compare equal only when they are equal.
namespace GridCollation {

int compare(const QVariant& left, const QVariant& right);
int compareText(QStringView left, QStringView right);
// The letters of a text without case and accents: texts whose keys differ compare as their keys
// do, code unit by code unit; texts with equal keys need compareText.
QString primaryKey(QStringView text);

} // namespace GridCollation
