#include "gridtools/GridWidgets.h"

#include "gridtools/CatalogueModels.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString mimeType = QStringLiteral("application/x-ordnix-grid-column");

} // namespace

QMimeData* GridDrag::encode(const Payload& payload)
{
    auto* mime = new QMimeData;
    const QString text =
        payload.grid + QLatin1Char('\n') + payload.column + QLatin1Char('\n') + QString::number(int(payload.source));
    mime->setData(mimeType, text.toUtf8());
    return mime;
}

std::optional<GridDrag::Payload> GridDrag::decode(const QMimeData* mime, const QString& grid)
{
    if (!mime || !mime->hasFormat(mimeType))
        return std::nullopt;
    const QStringList parts = QString::fromUtf8(mime->data(mimeType)).split(QLatin1Char('\n'));
    if (parts.size() != 3 || parts[0] != grid || parts[1].isEmpty())
        return std::nullopt;
    bool ok = false;
    const int source = parts[2].toInt(&ok);
    if (!ok || source < int(Source::Header) || source > int(Source::Chooser))
        return std::nullopt;
    return Payload{parts[0], parts[1], Source(source)};
}

// ---------------------------------------------------------------------------------------------
// FilterHeader

FilterHeader::FilterHeader(const QString& gridName, QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent)
    , m_grid(gridName)
{
    setSectionsClickable(true);
    setSectionsMovable(true);
    setHighlightSections(false);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    connect(this, &QHeaderView::sectionResized, this, &FilterHeader::placeEditors);
    connect(this, &QHeaderView::sectionMoved, this, &FilterHeader::placeEditors);
    connect(this, &QHeaderView::sectionCountChanged, this, &FilterHeader::placeEditors);
    connect(this, &QHeaderView::geometriesChanged, this, &FilterHeader::placeEditors);
}

void FilterHeader::createEditors(const QStringList& objectNames)
{
    qDeleteAll(m_editors);
    m_editors.clear();
    for (int i = 0; i < objectNames.size(); ++i) {
        // In the viewport, so that they scroll with the sections.
        auto* edit = new QLineEdit(viewport());
        edit->setObjectName(objectNames[i]);
        edit->setPlaceholderText(tr("Filter"));
        edit->setClearButtonEnabled(true);
        edit->setToolTip(tr("Zeigt nur Zeilen, deren Wert diesen Text enthält (* und ? als Platzhalter)"));
        connect(edit, &QLineEdit::textChanged, this, [this, i](const QString& text) { emit filterEdited(i, text); });
        m_editors.append(edit);
    }
    updateGeometry();
    placeEditors();
}

void FilterHeader::setSortMarks(const QList<QPair<int, Qt::SortOrder>>& marks)
{
    m_marks = marks;
    viewport()->update();
}

int FilterHeader::captionHeight() const
{
    // While the header works out its size hint (polishing, a new font) it reports an empty one.
    const int height = QHeaderView::sizeHint().height();
    return height > 0 ? height : fontMetrics().height() + 8;
}

QSize FilterHeader::sizeHint() const
{
    QSize size = QHeaderView::sizeHint();
    if (!m_editors.isEmpty())
        size.rheight() += m_editors.first()->sizeHint().height() + 2;
    return size;
}

void FilterHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    const int caption = std::min(captionHeight(), rect.height());
    QHeaderView::paintSection(painter, QRect(rect.x(), rect.y(), rect.width(), caption), logicalIndex);
    if (rect.height() > caption) {
        const QRect band(rect.x(), rect.y() + caption, rect.width(), rect.height() - caption);
        painter->fillRect(band, palette().base());
        painter->setPen(palette().mid().color());
        painter->drawLine(band.topRight(), band.bottomRight());
        painter->drawLine(band.bottomLeft(), band.bottomRight());
    }
}

void FilterHeader::initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const
{
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    option->sortIndicator = QStyleOptionHeader::None;
    for (const auto& [column, order] : m_marks) {
        if (column == logicalIndex)
            option->sortIndicator =
                order == Qt::AscendingOrder ? QStyleOptionHeader::SortDown : QStyleOptionHeader::SortUp;
    }
}

void FilterHeader::placeEditors()
{
    const int top = captionHeight();
    const int height = viewport()->height() - top;
    for (int i = 0; i < m_editors.size(); ++i) {
        QLineEdit* edit = m_editors[i];
        if (i >= count() || isSectionHidden(i) || sectionSize(i) <= 4 || height < 8) {
            edit->hide();
            continue;
        }
        edit->setGeometry(sectionViewportPosition(i) + 1, top + 1, sectionSize(i) - 2, height - 2);
        edit->show();
    }
}

void FilterHeader::updateGeometries()
{
    QHeaderView::updateGeometries();
    placeEditors();
    // Once more after the change has settled: a size hint asked for during it may have been stale.
    if (!m_placingQueued) {
        m_placingQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_placingQueued = false;
                placeEditors();
            },
            Qt::QueuedConnection);
    }
}

void FilterHeader::mousePressEvent(QMouseEvent* event)
{
    m_pressed = -1;
    if (event->button() == Qt::LeftButton && event->position().y() < captionHeight()) {
        m_pressAt = event->position().toPoint();
        m_pressed = logicalIndexAt(m_pressAt);
    }
    QHeaderView::mousePressEvent(event);
}

void FilterHeader::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const int margin = QApplication::startDragDistance();
    const bool outside = !rect().adjusted(-margin, -margin, margin, margin).contains(pos);
    if (m_pressed >= 0 && (event->buttons() & Qt::LeftButton) && outside) {
        // The section leaves the header: the header's own press ends where it began, which moves
        // nothing and is no click.
        const int section = m_pressed;
        m_pressed = -1;
        m_leaving = true;
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(m_pressAt), mapToGlobal(QPointF(m_pressAt)),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QHeaderView::mouseReleaseEvent(&release);
        m_leaving = false;
        emit sectionDraggedOut(section);
        return;
    }
    QHeaderView::mouseMoveEvent(event);
}

void FilterHeader::mouseReleaseEvent(QMouseEvent* event)
{
    m_pressed = -1;
    QHeaderView::mouseReleaseEvent(event);
}

int FilterHeader::dropIndexAt(int x) const
{
    const int logical = logicalIndexAt(x);
    if (logical < 0)
        return count();
    const int visual = visualIndex(logical);
    return x > sectionViewportPosition(logical) + sectionSize(logical) / 2 ? visual + 1 : visual;
}

void FilterHeader::dragEnterEvent(QDragEnterEvent* event)
{
    if (GridDrag::decode(event->mimeData(), m_grid))
        event->acceptProposedAction();
    else
        event->ignore();
}

void FilterHeader::dragMoveEvent(QDragMoveEvent* event)
{
    if (GridDrag::decode(event->mimeData(), m_grid))
        event->acceptProposedAction();
    else
        event->ignore();
}

void FilterHeader::dropEvent(QDropEvent* event)
{
    const auto payload = GridDrag::decode(event->mimeData(), m_grid);
    if (!payload) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit columnDropped(*payload, dropIndexAt(event->position().toPoint().x()));
}

// ---------------------------------------------------------------------------------------------
// GroupingPanel

GroupingPanel::GroupingPanel(const QString& gridName, QWidget* parent)
    : QWidget(parent)
    , m_grid(gridName)
{
    setAcceptDrops(true);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0xe8, 0xe8, 0xe8));
    setPalette(p);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setToolTip(hintText());
}

QString GroupingPanel::hintText()
{
    return tr("Ziehen Sie eine Spaltenüberschrift hierher, um nach dieser Spalte zu gruppieren");
}

void GroupingPanel::setGroups(const QList<Group>& groups)
{
    m_groups = groups;
    update();
}

QSize GroupingPanel::sizeHint() const
{
    return {200, fontMetrics().height() + 8 + 14};
}

QList<QRect> GroupingPanel::buttonRects() const
{
    QList<QRect> rects;
    const QFontMetrics fm = fontMetrics();
    const int h = fm.height() + 8;
    int x = 8;
    for (const Group& g : m_groups) {
        const int w = fm.horizontalAdvance(g.caption) + 30;
        rects.append(QRect(x, (height() - h) / 2, w, h));
        x += w + 14;
    }
    return rects;
}

int GroupingPanel::buttonAt(const QPoint& pos) const
{
    const QList<QRect> rects = buttonRects();
    for (int i = 0; i < rects.size(); ++i) {
        if (rects[i].contains(pos))
            return i;
    }
    return -1;
}

int GroupingPanel::levelAt(const QPoint& pos) const
{
    int level = 0;
    for (const QRect& r : buttonRects()) {
        if (pos.x() > r.center().x())
            ++level;
    }
    return level;
}

void GroupingPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_groups.isEmpty()) {
        painter.setPen(QColor(0x55, 0x55, 0x55));
        painter.drawText(rect().adjusted(8, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft, hintText());
        return;
    }
    const QList<QRect> rects = buttonRects();
    for (int i = 0; i < rects.size(); ++i) {
        const QRect r = rects[i];
        if (i > 0) {
            painter.setPen(QColor(0x80, 0x80, 0x80));
            painter.drawLine(rects[i - 1].right() + 1, r.center().y(), r.left() - 1, r.center().y());
        }
        painter.setPen(QColor(0x9a, 0xa8, 0xb8));
        painter.setBrush(QColor(0xf6, 0xf8, 0xfb));
        painter.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(r.adjusted(8, 0, -20, 0), Qt::AlignVCenter | Qt::AlignLeft, m_groups[i].caption);
        // The group order as a small triangle.
        const QPointF c(r.right() - 11, r.center().y());
        QPainterPath arrow;
        if (m_groups[i].order == Qt::AscendingOrder) {
            arrow.moveTo(c + QPointF(-4, 2));
            arrow.lineTo(c + QPointF(4, 2));
            arrow.lineTo(c + QPointF(0, -3));
        } else {
            arrow.moveTo(c + QPointF(-4, -2));
            arrow.lineTo(c + QPointF(4, -2));
            arrow.lineTo(c + QPointF(0, 3));
        }
        arrow.closeSubpath();
        painter.fillPath(arrow, QColor(0x44, 0x55, 0x66));
    }
}

void GroupingPanel::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton ? buttonAt(event->position().toPoint()) : -1;
    m_pressAt = event->position().toPoint();
}

void GroupingPanel::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pressed < 0 || !(event->buttons() & Qt::LeftButton) ||
        (event->position().toPoint() - m_pressAt).manhattanLength() < QApplication::startDragDistance())
        return;
    const QString column = m_groups.value(m_pressed).column;
    m_pressed = -1;
    auto* drag = new QDrag(this);
    drag->setMimeData(GridDrag::encode({m_grid, column, GridDrag::Source::GroupingPanel}));
    m_droppedHere = false;
    drag->exec(Qt::MoveAction);
    // Wherever else it lands, a group dragged out of the panel is no longer a group.
    if (!m_droppedHere)
        emit groupRemoved(column);
}

void GroupingPanel::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_pressed >= 0 && buttonAt(event->position().toPoint()) == m_pressed)
        emit orderToggled(m_groups[m_pressed].column);
    m_pressed = -1;
}

void GroupingPanel::dragEnterEvent(QDragEnterEvent* event)
{
    if (GridDrag::decode(event->mimeData(), m_grid))
        event->acceptProposedAction();
    else
        event->ignore();
}

void GroupingPanel::dragMoveEvent(QDragMoveEvent* event)
{
    if (GridDrag::decode(event->mimeData(), m_grid))
        event->acceptProposedAction();
    else
        event->ignore();
}

void GroupingPanel::dropEvent(QDropEvent* event)
{
    const auto payload = GridDrag::decode(event->mimeData(), m_grid);
    if (!payload) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    if (payload->source == GridDrag::Source::GroupingPanel)
        m_droppedHere = true;
    emit groupDropped(payload->column, levelAt(event->position().toPoint()));
}

// ---------------------------------------------------------------------------------------------
// FooterBar

FooterBar::FooterBar(QTableView* view, CatalogueProxy* proxy, QWidget* parent)
    : QWidget(parent)
    , m_view(view)
    , m_proxy(proxy)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto repaint = [this] { update(); };
    QHeaderView* header = view->horizontalHeader();
    connect(header, &QHeaderView::sectionResized, this, repaint);
    connect(header, &QHeaderView::sectionMoved, this, repaint);
    connect(header, &QHeaderView::geometriesChanged, this, repaint);
    connect(view->horizontalScrollBar(), &QScrollBar::valueChanged, this, repaint);
    connect(proxy, &CatalogueProxy::summariesChanged, this, repaint);
}

QSize FooterBar::sizeHint() const
{
    return {100, fontMetrics().height() + 10};
}

void FooterBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window().color().darker(104));
    painter.setPen(palette().mid().color());
    painter.drawLine(rect().topLeft(), rect().topRight());
    if (!parentWidget())
        return;
    const QWidget* viewport = m_view->viewport();
    const int left = viewport->mapTo(parentWidget(), QPoint()).x() - x();
    painter.setClipRect(QRect(left, 0, viewport->width(), height()));
    const QHeaderView* header = m_view->horizontalHeader();
    // Cells in the order shown; a text longer than its cell runs on over empty neighbours.
    QList<QPair<int, QString>> cells;
    for (int v = 0; v < header->count(); ++v) {
        const int logical = header->logicalIndex(v);
        if (!header->isSectionHidden(logical))
            cells.append({logical, m_proxy->footerText(logical)});
    }
    const int right = left + viewport->width();
    for (int c = 0; c < cells.size(); ++c) {
        const auto& [logical, text] = cells[c];
        if (text.isEmpty())
            continue;
        const int x = left + header->sectionViewportPosition(logical);
        int end = right;
        for (int next = c + 1; next < cells.size(); ++next) {
            if (!cells[next].second.isEmpty()) {
                end = left + header->sectionViewportPosition(cells[next].first);
                break;
            }
        }
        const int wanted = fontMetrics().horizontalAdvance(text) + 12;
        const int width = std::min(std::max(header->sectionSize(logical), wanted), end - x);
        if (width <= 10)
            continue;
        const QRect cell(x, 2, width, height() - 4);
        painter.setPen(palette().mid().color());
        painter.setBrush(palette().base());
        painter.drawRect(cell.adjusted(1, 0, -2, -1));
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(cell.adjusted(5, 0, -5, 0), Qt::AlignVCenter | Qt::AlignLeft,
                         fontMetrics().elidedText(text, Qt::ElideRight, cell.width() - 10));
    }
}

// ---------------------------------------------------------------------------------------------
// ColumnChooser

namespace {

class ChooserList : public QListWidget
{
public:
    ChooserList(const QString& grid, std::function<void(const QString&)> hide, QWidget* parent)
        : QListWidget(parent)
        , m_grid(grid)
        , m_hide(std::move(hide))
    {
        setDragEnabled(true);
        setAcceptDrops(true);
        viewport()->setAcceptDrops(true);
        setSelectionMode(QAbstractItemView::SingleSelection);
    }

protected:
    void startDrag(Qt::DropActions) override
    {
        const QListWidgetItem* item = currentItem();
        if (!item)
            return;
        auto* drag = new QDrag(this);
        drag->setMimeData(GridDrag::encode({m_grid, item->data(Qt::UserRole).toString(), GridDrag::Source::Chooser}));
        drag->exec(Qt::MoveAction);
    }
    bool takes(const QMimeData* mime) const
    {
        const auto payload = GridDrag::decode(mime, m_grid);
        return payload && payload->source != GridDrag::Source::Chooser;
    }
    void dragEnterEvent(QDragEnterEvent* event) override
    {
        if (takes(event->mimeData()))
            event->acceptProposedAction();
        else
            event->ignore();
    }
    void dragMoveEvent(QDragMoveEvent* event) override
    {
        if (takes(event->mimeData()))
            event->acceptProposedAction();
        else
            event->ignore();
    }
    void dropEvent(QDropEvent* event) override
    {
        if (!takes(event->mimeData())) {
            event->ignore();
            return;
        }
        event->acceptProposedAction();
        m_hide(GridDrag::decode(event->mimeData(), m_grid)->column);
    }

private:
    QString m_grid;
    std::function<void(const QString&)> m_hide;
};

} // namespace

ColumnChooser::ColumnChooser(const QString& gridName, QWidget* parent)
    : QWidget(parent, Qt::Tool)
    , m_grid(gridName)
{
    setWindowTitle(tr("Spaltenauswahl"));
    auto* layout = new QVBoxLayout(this);
    auto* hint = new QLabel(tr("Ziehen Sie eine Spalte in die Kopfzeile, um sie anzuzeigen, oder eine "
                               "Spaltenüberschrift hierher, um sie auszublenden."),
                            this);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    m_list = new ChooserList(
        gridName, [this](const QString& column) { emit hideRequested(column); }, this);
    m_list->setObjectName(QStringLiteral("columns"));
    layout->addWidget(m_list, 1);
    connect(m_list, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { emit showRequested(item->data(Qt::UserRole).toString()); });
    resize(240, 320);
}

void ColumnChooser::setHiddenColumns(const QList<Column>& columns)
{
    m_list->clear();
    for (const Column& c : columns) {
        auto* item = new QListWidgetItem(c.caption, m_list);
        item->setData(Qt::UserRole, c.name);
    }
}

QStringList ColumnChooser::hiddenColumns() const
{
    QStringList names;
    for (int i = 0; i < m_list->count(); ++i)
        names.append(m_list->item(i)->data(Qt::UserRole).toString());
    return names;
}
