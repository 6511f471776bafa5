#include "CardFilePicture.h"

#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

namespace qel {

namespace cardcolours {
QColor desk() {
    return {0xdf, 0xe5, 0xec};
}
QColor cardFace() {
    return {0xff, 0xfd, 0xf4};
}
QColor cardEdge() {
    return {0x9a, 0x8d, 0x6e};
}
QColor rule() {
    return {0xc6, 0xd5, 0xea};
}
QColor headerRule() {
    return {0xdf, 0x8e, 0x8e};
}
QColor ink() {
    return {0x1d, 0x35, 0x57};
}
} // namespace cardcolours

namespace {

// A tab: slanted sides, rounded upper corners, open at the bottom where it meets its card.
QPainterPath tabOutline(const QRectF& r, bool closed) {
    const qreal slant = qMin<qreal>(7, r.width() / 8);
    const qreal radius = qMin<qreal>(7, r.height() / 3);
    QPainterPath path;
    path.moveTo(r.left(), r.bottom());
    path.lineTo(r.left() + slant, r.top() + radius);
    path.quadTo(r.left() + slant, r.top(), r.left() + slant + radius, r.top());
    path.lineTo(r.right() - slant - radius, r.top());
    path.quadTo(r.right() - slant, r.top(), r.right() - slant, r.top() + radius);
    path.lineTo(r.right(), r.bottom());
    if (closed)
        path.closeSubpath();
    return path;
}

QColor mixed(const QColor& a, const QColor& b, qreal t) {
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
}

} // namespace

// --- CardFilePicture ----------------------------------------------------------------------------

CardFilePicture::CardFilePicture(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CardFilePicture::setFrontCard(const QRect& card) {
    mCard = card;
    mRendered = QPixmap();
    update();
}

void CardFilePicture::setRules(const QList<int>& rules, int headerRule) {
    mRules = rules;
    mHeaderRule = headerRule;
    mRendered = QPixmap();
    update();
}

void CardFilePicture::setBoxTop(int y) {
    mBoxTop = y;
    mRendered = QPixmap();
    update();
}

void CardFilePicture::resizeEvent(QResizeEvent* event) {
    mRendered = QPixmap();
    QWidget::resizeEvent(event);
}

void CardFilePicture::paintEvent(QPaintEvent* event) {
    const qreal ratio = devicePixelRatioF();
    if (mRendered.isNull() || mRendered.devicePixelRatio() != ratio) {
        mRendered = QPixmap(size() * ratio);
        mRendered.setDevicePixelRatio(ratio);
        QPainter into(&mRendered);
        render(into);
    }
    QPainter p(this);
    const QRect area = event->rect();
    p.drawPixmap(
        area, mRendered,
        QRectF(area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio).toRect());
}

void CardFilePicture::render(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient desk(0, 0, 0, height());
    desk.setColorAt(0, cardcolours::desk().lighter(104));
    desk.setColorAt(1, cardcolours::desk().darker(108));
    p.fillRect(rect(), desk);
    if (mCard.isEmpty())
        return;

    const QRectF card = QRectF(mCard).adjusted(0.5, 0.5, -0.5, -0.5);

    // The cards behind the front one, each a little higher and narrower.
    for (int layer = 2; layer >= 1; --layer) {
        const QRectF back = card.adjusted(3 * layer, -4 * layer, -3 * layer, -4 * layer);
        p.setPen(QPen(mixed(cardcolours::cardEdge(), cardcolours::desk(), 0.25 * layer), 1));
        p.setBrush(mixed(cardcolours::cardFace(), QColor(0xd8, 0xca, 0xa4), 0.22 * layer));
        p.drawRoundedRect(back, 5, 5);
    }

    // A soft shadow, then the front card.
    p.setPen(Qt::NoPen);
    for (int i = 3; i >= 1; --i) {
        p.setBrush(QColor(0, 0, 0, 14));
        p.drawRoundedRect(card.translated(i * 0.8, i * 1.2).adjusted(-i * 0.5, 0, i * 0.5, i * 0.5), 7, 7);
    }
    QLinearGradient face(card.topLeft(), card.bottomLeft());
    face.setColorAt(0, cardcolours::cardFace());
    face.setColorAt(1, mixed(cardcolours::cardFace(), QColor(0xf1, 0xe7, 0xcc), 0.6));
    p.setBrush(face);
    p.setPen(QPen(cardcolours::cardEdge(), 1.2));
    p.drawRoundedRect(card, 6, 6);

    // Ruled lines, as on an index card.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(cardcolours::rule(), 1));
    for (int y : mRules)
        p.drawLine(mCard.left() + 12, y, mCard.right() - 12, y);
    if (mHeaderRule >= 0) {
        p.setPen(QPen(cardcolours::headerRule(), 1));
        p.drawLine(mCard.left() + 6, mHeaderRule, mCard.right() - 6, mHeaderRule);
        p.drawLine(mCard.left() + 6, mHeaderRule + 3, mCard.right() - 6, mHeaderRule + 3);
    }
    p.setRenderHint(QPainter::Antialiasing);

    // The front of the box the cards stand in.
    if (mBoxTop >= 0) {
        const QRectF box(mCard.left() - 16.5, mBoxTop + 0.5, mCard.width() + 32, height() - mBoxTop + 12);
        QLinearGradient wood(box.topLeft(), box.bottomLeft());
        wood.setColorAt(0, QColor(0x52, 0x74, 0x8f));
        wood.setColorAt(0.08, QColor(0x45, 0x65, 0x7e));
        wood.setColorAt(1, QColor(0x2a, 0x41, 0x54));
        p.setPen(QPen(QColor(0x22, 0x36, 0x47), 1));
        p.setBrush(wood);
        p.drawRoundedRect(box, 10, 10);
        p.setPen(QPen(QColor(255, 255, 255, 60), 1));
        p.drawLine(QPointF(box.left() + 10, box.top() + 1.5), QPointF(box.right() - 10, box.top() + 1.5));

        // The label holder on the box front.
        const QRectF holder(box.center().x() - 54, box.top() + 9, 108, 26);
        QLinearGradient brass(holder.topLeft(), holder.bottomLeft());
        brass.setColorAt(0, QColor(0xe3, 0xcd, 0x8f));
        brass.setColorAt(1, QColor(0xa8, 0x8b, 0x4a));
        p.setPen(QPen(QColor(0x6e, 0x58, 0x2a), 1));
        p.setBrush(brass);
        p.drawRoundedRect(holder, 4, 4);
        const QRectF slip = holder.adjusted(5, 4, -5, -4);
        p.setPen(Qt::NoPen);
        p.setBrush(cardcolours::cardFace());
        p.drawRect(slip);
        QFont f = font();
        f.setPointSizeF(f.pointSizeF() * 0.9);
        f.setItalic(true);
        p.setFont(f);
        p.setPen(cardcolours::ink());
        p.drawText(slip, Qt::AlignCenter, QStringLiteral("Vantrel"));
    }
}

// --- BackTabPicture -----------------------------------------------------------------------------

BackTabPicture::BackTabPicture(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

QSize BackTabPicture::sizeHint() const {
    return {120, 36};
}

void BackTabPicture::enterEvent(QEnterEvent* event) {
    mHover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void BackTabPicture::leaveEvent(QEvent* event) {
    mHover = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void BackTabPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, 0);
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    const QColor base = mHover || isDown() ? QColor(0xf6, 0xee, 0xd8) : QColor(0xec, 0xe1, 0xc4);
    fill.setColorAt(0, base.lighter(103));
    fill.setColorAt(1, base.darker(104));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(tabOutline(r, true));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(mixed(cardcolours::cardEdge(), cardcolours::desk(), 0.2), 1));
    p.drawPath(tabOutline(r, false));
    if (!text().isEmpty()) {
        QFont f = font();
        f.setBold(true);
        f.setPointSizeF(f.pointSizeF() * (text().size() > 1 ? 1.0 : 1.25));
        p.setFont(f);
        p.setPen(mixed(cardcolours::ink(), base, mHover ? 0.35 : 0.6));
        p.drawText(r.adjusted(0, 0, 0, -2), Qt::AlignCenter, text());
    }
}

// --- LetterTabBox -------------------------------------------------------------------------------

LetterTabBox::LetterTabBox(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
}

void LetterTabBox::setText(const QString& text) {
    if (text == mText)
        return;
    mText = text;
    setAccessibleName(text);
    update();
}

QSize LetterTabBox::sizeHint() const {
    return {120, 38};
}

void LetterTabBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.6, 0.6, -0.6, 0);
    p.setPen(Qt::NoPen);
    p.setBrush(cardcolours::cardFace());
    p.drawPath(tabOutline(r, true));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(cardcolours::cardEdge(), 1.2));
    // The outline stops where the tab meets the card, so no line separates them.
    p.drawPath(tabOutline(r.adjusted(0, 0, 0, -kOverlap), false));
    p.setPen(Qt::NoPen);
    p.setBrush(cardcolours::cardFace());
    p.drawRect(QRectF(r.left() + 1.2, r.bottom() - kOverlap - 0.8, r.width() - 2.4, kOverlap + 1));

    QFont f = font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * (mText.size() > 1 ? 1.35 : 1.9));
    p.setFont(f);
    p.setPen(cardcolours::ink());
    p.drawText(r.adjusted(0, 1, 0, -kOverlap), Qt::AlignCenter, mText);
}

// --- CardArrowButton ----------------------------------------------------------------------------

CardArrowButton::CardArrowButton(Qt::ArrowType type, QWidget* parent) : QToolButton(parent) {
    setArrowType(type);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
}

void CardArrowButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal side = qMin(width(), height()) - 2;
    const QRectF circle((width() - side) / 2, (height() - side) / 2, side, side);
    const bool hover = underMouse();
    QColor base = isEnabled() ? cardcolours::ink() : QColor(0x9a, 0xa5, 0xb3);
    if (hover)
        base = base.lighter(135);
    if (isDown())
        base = base.darker(120);
    QLinearGradient fill(circle.topLeft(), circle.bottomLeft());
    fill.setColorAt(0, base.lighter(125));
    fill.setColorAt(1, base);
    p.setPen(QPen(base.darker(130), 1));
    p.setBrush(fill);
    p.drawEllipse(circle);

    // A chevron pointing the arrow's way.
    const QPointF c = circle.center();
    const qreal a = side * 0.18;
    QPolygonF chevron;
    switch (arrowType()) {
    case Qt::LeftArrow:
        chevron << QPointF(c.x() + a * 0.6, c.y() - a * 1.2) << QPointF(c.x() - a * 0.6, c.y())
                << QPointF(c.x() + a * 0.6, c.y() + a * 1.2);
        break;
    case Qt::RightArrow:
        chevron << QPointF(c.x() - a * 0.6, c.y() - a * 1.2) << QPointF(c.x() + a * 0.6, c.y())
                << QPointF(c.x() - a * 0.6, c.y() + a * 1.2);
        break;
    case Qt::UpArrow:
        chevron << QPointF(c.x() - a * 1.2, c.y() + a * 0.6) << QPointF(c.x(), c.y() - a * 0.6)
                << QPointF(c.x() + a * 1.2, c.y() + a * 0.6);
        break;
    default:
        chevron << QPointF(c.x() - a * 1.2, c.y() - a * 0.6) << QPointF(c.x(), c.y() + a * 0.6)
                << QPointF(c.x() + a * 1.2, c.y() - a * 0.6);
        break;
    }
    p.setPen(QPen(Qt::white, qMax<qreal>(2, side / 11), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(chevron);
}

} // namespace qel
