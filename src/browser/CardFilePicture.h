#pragma once

// The card-file picture of the main window: the desk, the box with its stack of cards, the front
// card with its ruled lines, the tabs of the cards behind (BackTab1..3) and the tab of the front
// card that shows the current letter (LetterButton1..3). Everything is drawn here, no images.

#include <QAbstractButton>
#include <QList>
#include <QPixmap>
#include <QToolButton>
#include <QWidget>

namespace qel {

// Colours of the card file, shared by the picture and the widgets that sit on the card.
namespace cardcolours {
QColor desk();
QColor cardFace();
QColor cardEdge();
QColor rule();
QColor headerRule();
QColor ink();
} // namespace cardcolours

// The picture behind the card: desk, box, stacked cards and the front card. The controls of the
// card are separate widgets laid over it.
class CardFilePicture : public QWidget {
    Q_OBJECT
public:
    explicit CardFilePicture(QWidget* parent = nullptr);

    // The front card (its top edge is where the front tab joins it).
    void setFrontCard(const QRect& card);
    QRect frontCard() const { return mCard; }
    // Heights (in this widget) of the blue ruled lines and of the red line under the card's head.
    void setRules(const QList<int>& rules, int headerRule);
    // Where the front of the box begins; the box hides the lower edge of the cards.
    void setBoxTop(int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The picture is drawn once into a pixmap; every repaint (the card's transparent boxes cause
    // many) only copies from it.
    void render(QPainter& p);
    QPixmap mRendered;
    QRect mCard;
    QList<int> mRules;
    int mHeaderRule = -1;
    int mBoxTop = -1;
};

// The tab of a card behind the front one. It shows, faintly, the letter that clicking it leads to.
class BackTabPicture : public QAbstractButton {
    Q_OBJECT
public:
    explicit BackTabPicture(QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool mHover = false;
};

// The front card's tab with the current letter ("A" … "Z", "MISC"). Its lower edge reaches a
// little into the card so that tab and card read as one piece.
class LetterTabBox : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
public:
    explicit LetterTabBox(QWidget* parent = nullptr);
    QString text() const { return mText; }
    void setText(const QString& text);
    QSize sizeHint() const override;

    // How far the tab reaches below the card's top edge.
    static constexpr int kOverlap = 2;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString mText;
};

// The round arrow buttons of the card file (previous and next letter, previous and next contact).
class CardArrowButton : public QToolButton {
    Q_OBJECT
public:
    explicit CardArrowButton(Qt::ArrowType type, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {28, 28}; }

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace qel
