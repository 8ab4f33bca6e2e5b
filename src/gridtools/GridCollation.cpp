#include "gridtools/GridCollation.h"

#include <QString>

#include <algorithm>
#include <array>

namespace {

// Base letters of the Latin-1 letters from U+00C0, lower case; two letters where one is folded
// into two (Æ, ß, Þ). Zero: the character stands for itself.
struct Fold
{
    char16_t first;
    char16_t second;
};

constexpr std::array<Fold, 64> latin1Folds = {{
    {u'a', 0}, {u'a', 0}, {u'a', 0}, {u'a', 0}, {u'a', 0}, {u'a', 0}, {u'a', u'e'}, {u'c', 0},    // À-Ç
    {u'e', 0}, {u'e', 0}, {u'e', 0}, {u'e', 0}, {u'i', 0}, {u'i', 0}, {u'i', 0},    {u'i', 0},    // È-Ï
    {u'd', 0}, {u'n', 0}, {u'o', 0}, {u'o', 0}, {u'o', 0}, {u'o', 0}, {u'o', 0},    {0, 0},       // Ð-×
    {u'o', 0}, {u'u', 0}, {u'u', 0}, {u'u', 0}, {u'u', 0}, {u'y', 0}, {u't', u'h'}, {u's', u's'}, // Ø-ß
    {u'a', 0}, {u'a', 0}, {u'a', 0}, {u'a', 0}, {u'a', 0}, {u'a', 0}, {u'a', u'e'}, {u'c', 0},    // à-ç
    {u'e', 0}, {u'e', 0}, {u'e', 0}, {u'e', 0}, {u'i', 0}, {u'i', 0}, {u'i', 0},    {u'i', 0},    // è-ï
    {u'd', 0}, {u'n', 0}, {u'o', 0}, {u'o', 0}, {u'o', 0}, {u'o', 0}, {u'o', 0},    {0, 0},       // ð-÷
    {u'o', 0}, {u'u', 0}, {u'u', 0}, {u'u', 0}, {u'u', 0}, {u'y', 0}, {u't', u'h'}, {u'y', 0},    // ø-ÿ
}};

// Reads a text as the sequence of its folded letters.
class FoldedText
{
public:
    explicit FoldedText(QStringView text)
        : m_text(text)
    {}

    // The next folded character; -1 at the end.
    int next()
    {
        if (m_pending) {
            const int c = m_pending;
            m_pending = 0;
            return c;
        }
        if (m_pos >= m_text.size())
            return -1;
        const char16_t c = m_text[m_pos++].unicode();
        if (c < 0x80)
            return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c;
        if (c >= 0xC0 && c <= 0xFF) {
            const Fold f = latin1Folds[c - 0xC0];
            if (!f.first)
                return c;
            m_pending = f.second;
            return f.first;
        }
        return slowFold(QChar(c));
    }

private:
    static int slowFold(QChar c)
    {
        if (c.isSurrogate())
            return c.unicode();
        if (c.decompositionTag() == QChar::Canonical) {
            const QString parts = c.decomposition();
            if (!parts.isEmpty())
                return parts.front().toCaseFolded().unicode();
        }
        return c.toCaseFolded().unicode();
    }

    QStringView m_text;
    qsizetype m_pos = 0;
    int m_pending = 0;
};

bool isNumber(int typeId)
{
    switch (typeId) {
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

template <typename T> int threeWay(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

int GridCollation::compareText(QStringView left, QStringView right)
{
    if (left.data() == right.data() && left.size() == right.size())
        return 0;
    // Equal characters fold alike: the letters start to differ where the characters do.
    const qsizetype common = std::min(left.size(), right.size());
    qsizetype same = 0;
    while (same < common && left[same] == right[same])
        ++same;
    if (same == left.size() && same == right.size())
        return 0;
    left = left.mid(same);
    right = right.mid(same);
    FoldedText a(left), b(right);
    for (;;) {
        const int x = a.next();
        const int y = b.next();
        if (x != y)
            return x < y ? -1 : 1;
        if (x < 0)
            break;
    }
    // Equal letters: accents decide, then case.
    if (const int c = left.compare(right, Qt::CaseInsensitive))
        return c < 0 ? -1 : 1;
    const int c = left.compare(right, Qt::CaseSensitive);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

QString GridCollation::primaryKey(QStringView text)
{
    QString key;
    key.reserve(text.size());
    FoldedText folded(text);
    for (int c = folded.next(); c >= 0; c = folded.next())
        key.append(QChar(char16_t(c)));
    return key;
}

int GridCollation::compare(const QVariant& left, const QVariant& right)
{
    const bool leftNull = !left.isValid() || left.isNull();
    const bool rightNull = !right.isValid() || right.isNull();
    if (leftNull || rightNull)
        return leftNull == rightNull ? 0 : (leftNull ? -1 : 1);
    const int lt = left.typeId();
    const int rt = right.typeId();
    if (lt == QMetaType::QString && rt == QMetaType::QString)
        return compareText(*static_cast<const QString*>(left.constData()),
                           *static_cast<const QString*>(right.constData()));
    const bool leftNumber = isNumber(lt);
    const bool rightNumber = isNumber(rt);
    if (leftNumber && rightNumber) {
        if (lt == QMetaType::LongLong && rt == QMetaType::LongLong)
            return threeWay(left.toLongLong(), right.toLongLong());
        if (const int c = threeWay(left.toDouble(), right.toDouble()))
            return c;
        return threeWay(lt, rt); // 2 and 2.0 are different values
    }
    if (leftNumber != rightNumber)
        return leftNumber ? -1 : 1;
    return compareText(left.toString(), right.toString());
}
