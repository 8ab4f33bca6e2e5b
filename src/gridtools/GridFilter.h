#pragma once

#include <QRegularExpression>
#include <QString>

// What one cell of a grid's filter row lets through. A text without wildcards passes every value
// that contains it; with "*" (any run of characters) or "?" (one character) the whole value must
// match the pattern. Case is ignored; an empty filter passes everything.
class GridFilter
{
public:
    GridFilter() = default;
    explicit GridFilter(const QString& text);

    const QString& text() const { return m_text; }
    bool isEmpty() const { return m_text.isEmpty(); }
    bool matches(const QString& value) const;
    // Whether every value this filter passes is also passed by other: the rows that pass it
    // need no second look when the filter changes to this one.
    bool narrows(const GridFilter& other) const;

private:
    QString m_text;
    bool m_wildcard = false;
    QRegularExpression m_pattern;
};
