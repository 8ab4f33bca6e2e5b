#include "gridtools/GridFilter.h"

GridFilter::GridFilter(const QString& text)
    : m_text(text)
{
    m_wildcard = text.contains(QLatin1Char('*')) || text.contains(QLatin1Char('?'));
    if (m_wildcard) {
        // A filter text is typed by the user: everything but the two wildcards is taken literally.
        QString pattern;
        for (const QChar c : text) {
            if (c == QLatin1Char('*'))
                pattern += QLatin1String(".*");
            else if (c == QLatin1Char('?'))
                pattern += QLatin1Char('.');
            else
                pattern += QRegularExpression::escape(QString(c));
        }
        m_pattern = QRegularExpression(QRegularExpression::anchoredPattern(pattern),
                                       QRegularExpression::CaseInsensitiveOption |
                                           QRegularExpression::DotMatchesEverythingOption |
                                           QRegularExpression::UseUnicodePropertiesOption);
        m_pattern.optimize();
    }
}

bool GridFilter::matches(const QString& value) const
{
    if (m_text.isEmpty())
        return true;
    if (m_wildcard)
        return m_pattern.match(value).hasMatch();
    return value.contains(m_text, Qt::CaseInsensitive);
}

bool GridFilter::narrows(const GridFilter& other) const
{
    if (other.isEmpty())
        return true;
    if (m_wildcard || other.m_wildcard)
        return false;
    return m_text.contains(other.m_text, Qt::CaseInsensitive);
}
