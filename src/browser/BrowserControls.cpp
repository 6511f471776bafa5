#include "BrowserControls.h"

#include "core/Named.h"
#include "outlook/Collation.h"
#include "outlook/Properties.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStandardItemModel>
#include <QStyleOptionComboBox>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QToolButton>
#include <QVariant>

namespace qel {

void ChangeLabel::setCaption(const QString& caption) {
    if (caption == text())
        return;
    setText(caption);
    Q_EMIT Change();
}

namespace browsertext {
QStringList phoneTooltips() {
    return {QStringLiteral("Home"),         QStringLiteral("Mobile"),    QStringLiteral("Business"),
            QStringLiteral("Business Fax"), QStringLiteral("Home2"),     QStringLiteral("Car Phone"),
            QStringLiteral("Call Back"),    QStringLiteral("Home Fax"),  QStringLiteral("Primary"),
            QStringLiteral("Pager"),        QStringLiteral("Business2"), QStringLiteral("Other Fax"),
            QStringLiteral("Company Main"), QStringLiteral("Assistant"), QStringLiteral("ISDN"),
            QStringLiteral("Other")};
}
QStringList normalPhoneLabels() {
    return {QStringLiteral("Home:"), QStringLiteral("Mobile:"), QStringLiteral("Work:"),
            QStringLiteral("Fax:")};
}
QStringList extraPhoneLabels() {
    return {QStringLiteral("Primary:"), QStringLiteral("Pager:"), QStringLiteral("Work2:"),
            QStringLiteral("Other:")};
}
QStringList normalSecondLabels() {
    return {QStringLiteral("Home 2:"), QStringLiteral("Car:"), QStringLiteral("Callback:"),
            QStringLiteral("Home Fax:")};
}
QStringList extraSecondLabels() {
    return {QStringLiteral("Company:"), QStringLiteral("Assistant:"), QStringLiteral("ISDN:"),
            QStringLiteral("Other Ph.:")};
}
} // namespace browsertext

namespace {

using namespace browserlayout;

// Geometry of the card (pixels in the browser's area).
constexpr int kCardLeft = 40;
constexpr int kCardTop = 46;
constexpr int kCardWidth = 560;
constexpr int kCardHeight = 350;
constexpr int kTabWidth = 128;
constexpr int kTabHeight = 36;
constexpr int kRow = 26;          // pitch of the ruled lines
constexpr int kPhoneTop = 134;    // first phone row
constexpr int kLabelLeft = 52;    // first column's labels
constexpr int kBoxLeft = 116;     // first column's boxes
constexpr int kSecondLabel = 318; // second column
constexpr int kSecondBox = 394;
constexpr int kCardInnerRight = kCardLeft + kCardWidth - 14;
constexpr int kMailTop = kPhoneTop + 4 * kRow + 8;
constexpr int kWebTop = kMailTop + 3 * kRow + 6;
constexpr int kBoxTop = 372;

// Every row of a card list is one ruled line high.
class RuledRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), kRow};
    }
};

// Search results carry their initial after 80 blanks; the list shows the names only.
class ResultNameDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const qsizetype gap = option->text.indexOf(QString(80, QLatin1Char(' ')));
        if (gap >= 0)
            option->text.truncate(gap);
    }
};

// Text on the card: no frame, the card shows through.
void onCard(QWidget* w) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Base, Qt::transparent);
    pal.setColor(QPalette::Text, cardcolours::ink());
    pal.setColor(QPalette::WindowText, cardcolours::ink());
    w->setPalette(pal);
}

QLineEdit* cardBox(QWidget* form, const QString& name) {
    auto* box = named(new QLineEdit(form), name);
    box->setFrame(false);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::ClickFocus);
    onCard(box);
    return box;
}

QLabel* cardLabel(QWidget* form, const QString& name, const QString& caption) {
    auto* label = new QLabel(caption, form);
    if (!name.isEmpty())
        label->setObjectName(name);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, QColor(0x5b, 0x6b, 0x80));
    label->setPalette(pal);
    return label;
}

QListWidget* cardList(QWidget* form, const QString& name) {
    auto* list = named(new QListWidget(form), name);
    list->setFrameShape(QFrame::NoFrame);
    list->setItemDelegate(new RuledRowDelegate(list));
    list->setUniformItemSizes(true);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->viewport()->setAutoFillBackground(false);
    onCard(list);
    return list;
}

QPlainTextEdit* addressBox(QWidget* form, const QString& name) {
    auto* box = named(new QPlainTextEdit(form), name);
    box->setFrameShape(QFrame::NoFrame);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::ClickFocus);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->viewport()->setAutoFillBackground(false);
    onCard(box);
    box->hide();
    return box;
}

QToolButton* arrow(QWidget* form, const QString& name, Qt::ArrowType type, const QString& tip) {
    auto* button = named(new CardArrowButton(type, form), name);
    button->setToolTip(tip);
    return button;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& caption, const QString& tip = {}) {
    auto* b = named(new QPushButton(caption, parent), name);
    if (!tip.isEmpty())
        b->setToolTip(tip);
    return b;
}

// A drop-down list of names: it opens at most 20 rows tall (the style's own kind of pop-up would
// cover the screen) and as wide as its widest entry shows, within the screen.
class NameDropDown : public QComboBox {
public:
    explicit NameDropDown(QWidget* parent) : QComboBox(parent) {
        setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
        setMaxVisibleItems(20);
        if (auto* list = qobject_cast<QListView*>(view()))
            list->setUniformItemSizes(true);
    }
    void showPopup() override {
        QAbstractItemView* list = view();
        // As the entries show (the delegate's width: search results without their initials).
        int width = list->sizeHintForColumn(0) + 2 * list->frameWidth() + 8;
        if (count() > maxVisibleItems())
            width += list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
        if (const QScreen* shown = screen())
            width = qMin(width, shown->availableGeometry().width());
        list->setMinimumWidth(width);
        QComboBox::showPopup();
    }
};

QComboBox* dropDown(QWidget* parent, const QString& name) {
    return named(new NameDropDown(parent), name);
}

// The width a closed drop-down needs to show `text` whole.
int dropDownWidthFor(const QComboBox* list, const QString& text) {
    QStyleOptionComboBox option;
    option.initFrom(list);
    option.currentText = text;
    const QFontMetrics metrics = list->fontMetrics();
    const QSize contents(metrics.horizontalAdvance(text) + 4, metrics.height());
    return list->style()->sizeFromContents(QStyle::CT_ComboBox, &option, contents, list).width();
}

} // namespace

void BrowserControls::buildBrowserControls(QWidget* form) {
    // The card file is built in parts, from the bottom of the picture to the panes on top.
    buildCardPicture(form);
    buildCardHead(form);
    buildPhoneBoxes(form);
    buildMailAndAddress(form);
    buildDetailPanes(form);

    // Stacking: the picture lowest, the back tabs under the front tabs, the container on top.
    picCardFile->lower();
    for (LetterTabBox* tab : letterButtons())
        tab->raise();
    for (QFrame* pane : fmeQuick)
        pane->raise();
    TabStrip1->raise();
    cmdHide->raise();
}

void BrowserControls::buildCardPicture(QWidget* form) {
    // --- The picture and the tabs ---------------------------------------------------------------
    picCardFile = named(new CardFilePicture(form), QStringLiteral("picCardFile"));
    picCardFile->setGeometry(0, 0, kWidth, kHeight);
    picCardFile->setFrontCard(QRect(kCardLeft, kCardTop, kCardWidth, kCardHeight));
    picCardFile->setBoxTop(kBoxTop);

    const std::array<int, 3> tabLeft = {kCardLeft + 10, kCardLeft + (kCardWidth - kTabWidth) / 2,
                                        kCardLeft + kCardWidth - 10 - kTabWidth};
    const std::array<QString, 3> suffix = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};
    std::array<BackTabPicture*, 3> back{};
    std::array<LetterTabBox*, 3> front{};
    for (size_t i = 0; i < 3; ++i) {
        back[i] = named(new BackTabPicture(form), QStringLiteral("BackTab") + suffix[i]);
        back[i]->setGeometry(tabLeft[i] + 4, kCardTop - 4 - kTabHeight + 1, kTabWidth - 8, kTabHeight - 1);
        front[i] = named(new LetterTabBox(form), QStringLiteral("LetterButton") + suffix[i]);
        front[i]->setGeometry(tabLeft[i], kCardTop - kTabHeight + 2, kTabWidth,
                              kTabHeight + LetterTabBox::kOverlap);
        front[i]->hide();
    }
    BackTab1 = back[0];
    BackTab2 = back[1];
    BackTab3 = back[2];
    LetterButton1 = front[0];
    LetterButton2 = front[1];
    LetterButton3 = front[2];

    cmdLeft = arrow(form, QStringLiteral("cmdLeft"), Qt::LeftArrow,
                    QStringLiteral("Click here to go to the previous letter"));
    cmdLeft->setGeometry(6, kCardTop - 30, 28, 28);
    cmdRight = arrow(form, QStringLiteral("cmdRight"), Qt::RightArrow,
                     QStringLiteral("Click here to advance to the next letter"));
    cmdRight->setGeometry(kWidth - 34, kCardTop - 30, 28, 28);
}

void BrowserControls::buildCardHead(QWidget* form) {
    // --- The head of the card: name, "you" marker, special day, list ------------------------------
    txtName = cardBox(form, QStringLiteral("txtName"));
    QFont nameFont = txtName->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.55);
    nameFont.setBold(true);
    txtName->setFont(nameFont);
    txtName->setGeometry(kLabelLeft, kCardTop + 10, 330, 32);

    txtMe = named(new QLineEdit(QStringLiteral("You"), form), QStringLiteral("txtMe"));
    txtMe->setReadOnly(true);
    txtMe->setAlignment(Qt::AlignCenter);
    txtMe->setFocusPolicy(Qt::NoFocus);
    txtMe->setToolTip(QStringLiteral("This contact is set as 'you'.  Double click to remove this as 'you'."));
    txtMe->setStyleSheet(QStringLiteral("QLineEdit#txtMe { background: #2f6f5f; color: white; border: none;"
                                        " border-radius: 9px; font-weight: bold; }"));
    txtMe->setGeometry(kLabelLeft + 336, kCardTop + 16, 44, 20);
    txtMe->hide();

    cmdQELDay = button(form, QStringLiteral("cmdQELDay"), QStringLiteral("QEL Day"));
    cmdQELDay->setGeometry(kCardInnerRight - 84, kCardTop + 12, 84, 28);
    cmdQELDay->setStyleSheet(QStringLiteral("QPushButton#cmdQELDay { background: #f4d35e; color: #4a3b00;"
                                            " border: 1px solid #b89a2c; border-radius: 6px;"
                                            " font-weight: bold; padding: 2px 8px; }"
                                            "QPushButton#cmdQELDay:hover { background: #f7de84; }"
                                            "QPushButton#cmdQELDay:disabled { background: #f3e7b8;"
                                            " color: #8c7c45; border-color: #d2c48e; }"));
    cmdQELDay->hide();

    cmbContacts = dropDown(form, QStringLiteral("cmbContacts"));
    cmbContacts->setToolTip(QStringLiteral("Please Select a Contact Below"));
    cmbContacts->setGeometry(kLabelLeft, kCardTop + 50, 360, 28);
    cmdUp = arrow(form, QStringLiteral("cmdUp"), Qt::UpArrow,
                  QStringLiteral("Click here to go to the previous contact in this letter"));
    cmdUp->setGeometry(kLabelLeft + 366, kCardTop + 50, 28, 28);
    cmdDown = arrow(form, QStringLiteral("cmdDown"), Qt::DownArrow,
                    QStringLiteral("Click here to go to the next contact in this letter"));
    cmdDown->setGeometry(kLabelLeft + 396, kCardTop + 50, 28, 28);
    lblLetterMode =
        named(new QLabel(QStringLiteral("First Name Mode Is On"), form), QStringLiteral("lblLetterMode"));
    lblLetterMode->setStyleSheet(
        QStringLiteral("QLabel#lblLetterMode { color: #fff6d5; font-weight: bold; }"));
    lblLetterMode->setGeometry(kCardLeft - 4, kBoxTop + 12, 170, 22);
    lblLetterMode->hide();

    chkExtra = named(new QCheckBox(QStringLiteral("Extra Info"), form), QStringLiteral("chkExtra"));
    chkExtra->setGeometry(kCardInnerRight - 84, kCardTop + 52, 86, 24);
    onCard(chkExtra);
}

void BrowserControls::buildPhoneBoxes(QWidget* form) {
    // --- Phones: two columns of four; 8..15 lie over 0..7 in the "Extra Info" view ----------------
    const QStringList tips = browsertext::phoneTooltips();
    for (int i = 0; i < 16; ++i) {
        QLineEdit* box = cardBox(form, QStringLiteral("txtNumber%1").arg(i));
        box->setToolTip(tips.at(i));
        const int slot = i % 8;
        const int row = slot % 4;
        const bool second = slot >= 4;
        box->setGeometry(second ? kSecondBox : kBoxLeft, kPhoneTop + row * kRow + 1,
                         second ? kCardInnerRight - kSecondBox : kSecondLabel - 4 - kBoxLeft, kRow - 3);
        box->setVisible(i < 8);
        txtNumber[static_cast<size_t>(i)] = box;
    }
    const QStringList first = browsertext::normalPhoneLabels();
    const std::array<QString, 4> firstNames = {QStringLiteral("lblHome"), QStringLiteral("lblMobile"),
                                               QStringLiteral("lblWork"), QStringLiteral("lblFax")};
    const QStringList second = browsertext::normalSecondLabels();
    std::array<QLabel*, 4> firstLabels{};
    for (int row = 0; row < 4; ++row) {
        firstLabels[static_cast<size_t>(row)] =
            cardLabel(form, firstNames[static_cast<size_t>(row)], first.at(row));
        firstLabels[static_cast<size_t>(row)]->setGeometry(kLabelLeft - 8, kPhoneTop + row * kRow, 64,
                                                           kRow - 2);
        lblPhone2[static_cast<size_t>(row)] =
            cardLabel(form, QStringLiteral("lblPhone2%1").arg(row), second.at(row));
        lblPhone2[static_cast<size_t>(row)]->setGeometry(kSecondLabel - 6, kPhoneTop + row * kRow, 76,
                                                         kRow - 2);
    }
    lblHome = firstLabels[0];
    lblMobile = firstLabels[1];
    lblWork = firstLabels[2];
    lblFax = firstLabels[3];
}

void BrowserControls::buildMailAndAddress(QWidget* form) {
    // --- E-mail and web (normal view) or one address (Extra Info view) ---------------------------
    lblAddress = cardLabel(form, QStringLiteral("lblAddress"), QStringLiteral("E-mail:"));
    lblAddress->setGeometry(kLabelLeft - 8, kMailTop, 64, kRow - 2);
    lstEmail = cardList(form, QStringLiteral("lstEmail"));
    lstEmail->setGeometry(kBoxLeft, kMailTop, kCardInnerRight - kBoxLeft, 3 * kRow);
    lblWeb = cardLabel(form, QStringLiteral("lblWeb"), QStringLiteral("Web Site:"));
    lblWeb->setGeometry(kLabelLeft - 8, kWebTop, 64, kRow - 2);
    lstWebSite = cardList(form, QStringLiteral("lstWebSite"));
    lstWebSite->setGeometry(kBoxLeft, kWebTop, kCardInnerRight - kBoxLeft, kRow);

    auto* addressGroup = new QButtonGroup(form);
    const std::array<QString, 3> options = {QStringLiteral("Business"), QStringLiteral("Home"),
                                            QStringLiteral("Other")};
    for (int i = 0; i < 3; ++i) {
        auto* option = named(new QRadioButton(options[static_cast<size_t>(i)], form),
                             QStringLiteral("optAddress%1").arg(i));
        option->setGeometry(kBoxLeft + i * 92, kMailTop, 90, kRow - 2);
        option->hide();
        onCard(option);
        addressGroup->addButton(option, i);
        optAddress[static_cast<size_t>(i)] = option;
    }
    optAddress[0]->setChecked(true);
    txtBusinessAddress = addressBox(form, QStringLiteral("txtBusinessAddress"));
    txtHomeAddress = addressBox(form, QStringLiteral("txtHomeAddress"));
    txtOtherAddress = addressBox(form, QStringLiteral("txtOtherAddress"));
    for (QPlainTextEdit* box : addressBoxes())
        box->setGeometry(kBoxLeft - 4, kMailTop + kRow, kCardInnerRight - kBoxLeft + 4, 3 * kRow + 4);

    txtFirst = named(new QLineEdit(form), QStringLiteral("txtFirst"));
    txtLast = named(new QLineEdit(form), QStringLiteral("txtLast"));
    txtID = named(new QLineEdit(form), QStringLiteral("txtID"));
    for (QLineEdit* hidden : {txtFirst, txtLast, txtID})
        hidden->hide();

    QList<int> rules;
    for (int row = 1; row <= 4; ++row)
        rules << kPhoneTop + row * kRow - 1;
    for (int row = 1; row <= 3; ++row)
        rules << kMailTop + row * kRow - 1;
    rules << kWebTop + kRow - 1;
    picCardFile->setRules(rules, kCardTop + 84);
}

void BrowserControls::buildDetailPanes(QWidget* form) {
    // --- The container of detail panes ------------------------------------------------------------
    TabStrip1 = named(new QTabBar(form), QStringLiteral("TabStrip1"));
    TabStrip1->setDrawBase(false);
    TabStrip1->setExpanding(false);
    const std::array<std::array<QString, 2>, 5> tabs = {{
        {QStringLiteral("Search"), QStringLiteral("Search for contacts")},
        {QStringLiteral("Contact Folder"), QStringLiteral("Change your Outlook Contact folder here")},
        {QStringLiteral("Contact Categories"), QStringLiteral("Change your Contact Categories here")},
        {QStringLiteral("QEL Reminder"), QStringLiteral("A QEL way not to forget things")},
        {QStringLiteral("Upcoming QEL Days"), QString()},
    }};
    for (const auto& [caption, tip] : tabs) {
        const int index = TabStrip1->addTab(caption);
        if (!tip.isEmpty())
            TabStrip1->setTabToolTip(index, tip);
    }
    const int stripHeight = TabStrip1->sizeHint().height();
    TabStrip1->setGeometry(8, twips(kContainerOpenTop), kWidth - 48, stripHeight);
    cmdHide =
        button(form, QStringLiteral("cmdHide"), QStringLiteral("X"), QStringLiteral("Hide this container"));
    cmdHide->setGeometry(kWidth - 36, twips(kContainerOpenTop) + 2, 28, stripHeight - 4);

    const int paneTop = twips(kContainerOpenTop) + stripHeight - 1;
    for (int i = 0; i < 5; ++i) {
        auto* pane = named(new QFrame(form), QStringLiteral("fmeQuick%1").arg(i));
        pane->setFrameShape(QFrame::StyledPanel);
        pane->setAutoFillBackground(true);
        pane->setGeometry(8, paneTop, kWidth - 16, kHeight - paneTop - 4);
        pane->setVisible(i == 0);
        fmeQuick[static_cast<size_t>(i)] = pane;
    }
    const int rowY = (fmeQuick[0]->height() - 28) / 2;

    QFrame* search = fmeQuick[0];
    Search = named(new QLineEdit(search), QStringLiteral("Search"));
    Search->setToolTip(QStringLiteral("Start Typing Contact's Full Name Here"));
    Search->setPlaceholderText(QStringLiteral("Type a name"));
    Search->setClearButtonEnabled(false);
    PartialSearch =
        button(search, QStringLiteral("PartialSearch"), QStringLiteral("Search for Name"),
               QStringLiteral("Finds every contact whose name contains what you typed, anywhere in "
                              "the name. For example, \"son\" finds both Sonia Miller and Tom "
                              "Jackson."));
    cmbSearch = dropDown(search, QStringLiteral("cmbSearch"));
    cmbSearch->setItemDelegate(new ResultNameDelegate(cmbSearch));
    // The results box is as wide as its prompt needs; the search box gives up the room.
    const int resultsWidth = qBound(160, dropDownWidthFor(cmbSearch, browsertext::kSearchPrompt), 230);
    Search->setGeometry(8, rowY, 350 - resultsWidth, 28);
    PartialSearch->setGeometry(Search->geometry().right() + 7, rowY, 120, 28);
    cmbSearch->setGeometry(PartialSearch->geometry().right() + 7, rowY, resultsWidth, 28);
    cmdFound = button(search, QStringLiteral("cmdFound"), QStringLiteral("Look Up"));
    cmdFound->setGeometry(496, rowY, 62, 28);
    cmdClear = button(search, QStringLiteral("cmdClear"), QStringLiteral("Cancel"));
    cmdClear->setGeometry(562, rowY, 56, 28);
    for (QWidget* hidden : std::initializer_list<QWidget*>{cmbSearch, cmdFound, cmdClear})
        hidden->hide();

    QFrame* folders = fmeQuick[1];
    lblFolders = named(new ChangeLabel(QStringLiteral("Personal Folders\\Contacts"), folders),
                       QStringLiteral("lblFolders"));
    lblFolders->setGeometry(10, rowY, 250, 28);
    QFont bold = lblFolders->font();
    bold.setBold(true);
    lblFolders->setFont(bold);
    cmbFolders = dropDown(folders, QStringLiteral("cmbFolders"));
    cmbFolders->setGeometry(266, rowY, 262, 28);
    cmdFolRefresh = button(folders, QStringLiteral("cmdFolRefresh"), QStringLiteral("Refresh"),
                           QStringLiteral("Click here to refresh the existing outlook contact folders"));
    cmdFolRefresh->setGeometry(534, rowY, 82, 28);

    QFrame* categories = fmeQuick[2];
    lblCategories =
        named(new ChangeLabel(browsertext::kAllCategories, categories), QStringLiteral("lblCategories"));
    lblCategories->setGeometry(10, rowY, 250, 28);
    lblCategories->setFont(bold);
    cmbCategories = dropDown(categories, QStringLiteral("cmbCategories"));
    cmbCategories->setGeometry(266, rowY, 262, 28);
    fillSorted(cmbCategories,
               {browsertext::kPickCategory, browsertext::kAllEntry, browsertext::kNoCategoryEntry});
    cmbCategories->setCurrentIndex(0);
    cmdCatRefresh = button(categories, QStringLiteral("cmdCatRefresh"), QStringLiteral("Refresh"),
                           QStringLiteral("Click here to refresh the existing outlook contact categories"));
    cmdCatRefresh->setGeometry(534, rowY, 82, 28);
    txtCategory = named(new QLineEdit(QStringLiteral(" AND ") + ol::kContactsFilter, categories),
                        QStringLiteral("txtCategory"));
    txtCategory->hide();
}

// --- Sorted lists ---------------------------------------------------------------------------------

void insertSorted(QComboBox* list, const QString& text) {
    const QString key = ol::foldKey(text);
    int low = 0;
    int high = list->count();
    while (low < high) {
        const int mid = (low + high) / 2;
        if (ol::foldKey(list->itemText(mid)) <= key)
            low = mid + 1;
        else
            high = mid;
    }
    list->insertItem(low, text);
}

void fillSorted(QComboBox* list, const QStringList& sortedTexts, const QHash<int, QString>& userData) {
    const QSignalBlocker quiet(list);
    list->clear();
    list->insertItems(0, sortedTexts);
    for (auto it = userData.constBegin(); it != userData.constEnd(); ++it)
        list->setItemData(it.key(), it.value(), Qt::UserRole);
    list->setCurrentIndex(-1);
}

int findIgnoringCase(const QComboBox* list, const QString& text) {
    for (int i = 0, n = list->count(); i < n; ++i) {
        if (list->itemText(i).compare(text, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

} // namespace qel
