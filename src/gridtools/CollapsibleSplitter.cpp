#include "gridtools/CollapsibleSplitter.h"

#include <QMouseEvent>
#include <QSplitterHandle>

namespace {

class ClickHandle : public QSplitterHandle
{
public:
    ClickHandle(Qt::Orientation orientation, CollapsibleSplitter* parent)
        : QSplitterHandle(orientation, parent)
        , m_splitter(parent)
    {}

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        m_pressAt = event->globalPosition().toPoint();
        m_dragged = false;
        QSplitterHandle::mousePressEvent(event);
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if ((event->globalPosition().toPoint() - m_pressAt).manhattanLength() > 3)
            m_dragged = true;
        QSplitterHandle::mouseMoveEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        QSplitterHandle::mouseReleaseEvent(event);
        if (!m_dragged && event->button() == Qt::LeftButton)
            m_splitter->toggle();
    }

private:
    CollapsibleSplitter* m_splitter;
    QPoint m_pressAt;
    bool m_dragged = false;
};

} // namespace

CollapsibleSplitter::CollapsibleSplitter(Qt::Orientation orientation, int collapseIndex, const QString& hint,
                                         QWidget* parent)
    : QSplitter(orientation, parent)
    , m_collapseIndex(collapseIndex)
    , m_hint(hint)
{
    setChildrenCollapsible(true);
    setHandleWidth(7);
}

QSplitterHandle* CollapsibleSplitter::createHandle()
{
    auto* handle = new ClickHandle(orientation(), this);
    handle->setToolTip(m_hint);
    return handle;
}

bool CollapsibleSplitter::isCollapsed() const
{
    const QList<int> s = sizes();
    return m_collapseIndex < s.size() && s[m_collapseIndex] == 0;
}

void CollapsibleSplitter::toggle()
{
    QList<int> s = sizes();
    if (s.size() < 2)
        return;
    if (isCollapsed()) {
        setSizes(m_restoreSizes.size() == s.size() ? m_restoreSizes : QList<int>(s.size(), 1));
        return;
    }
    m_restoreSizes = s;
    const int total = s[0] + s[1];
    s[m_collapseIndex] = 0;
    s[1 - m_collapseIndex] = total;
    setSizes(s);
}
