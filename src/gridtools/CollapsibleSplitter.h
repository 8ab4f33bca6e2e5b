#pragma once

#include <QSplitter>

// A splitter whose grip collapses one side with a single click and restores it with the next;
// dragging the grip resizes as usual.
class CollapsibleSplitter : public QSplitter
{
    Q_OBJECT

public:
    // collapseIndex: the widget that a click hides (0 the first, 1 the second).
    CollapsibleSplitter(Qt::Orientation orientation, int collapseIndex, const QString& hint, QWidget* parent = nullptr);

    void toggle();
    bool isCollapsed() const;

protected:
    QSplitterHandle* createHandle() override;

private:
    int m_collapseIndex;
    QString m_hint;
    QList<int> m_restoreSizes;
};
