#pragma once

// The controls of the contact browser on the main window: the card-file picture with its letter
// tabs and arrows, the contact list, the card, and the container of detail panes under it.
// Member names and object names are the design names that the rest of the program uses.

#include "CardFilePicture.h"

#include <QHash>
#include <QLabel>
#include <QString>
#include <QStringList>
#include <array>

class QCheckBox;
class QComboBox;
class QFrame;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabBar;
class QToolButton;

namespace qel {

// A label whose caption changes are an event (Change), as the folder and category labels need:
// setCaption() emits Change when the text differs. setText() stays silent.
class ChangeLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    void setCaption(const QString& caption);
    QString caption() const { return text(); }

Q_SIGNALS:
    void Change();
};

// Layout of the browser in the design's units. A twip is 1/15 of a pixel at the design's 96 dpi.
namespace browserlayout {
constexpr int kTwipsPerPixel = 15;
constexpr int twips(int value) {
    return value / kTwipsPerPixel;
}
constexpr int kContainerOpenTop = 6240;   // TabStrip1's top while the container is open
constexpr int kContainerClosedTop = 6840; // and while it is closed
// The size of the area the browser lays out (the main window's central area).
constexpr int kWidth = 640;
constexpr int kHeight = 486;
} // namespace browserlayout

struct BrowserControls {
    // Card-file picture, letter tabs and arrows.
    CardFilePicture* picCardFile = nullptr;
    BackTabPicture* BackTab1 = nullptr;
    BackTabPicture* BackTab2 = nullptr;
    BackTabPicture* BackTab3 = nullptr;
    LetterTabBox* LetterButton1 = nullptr;
    LetterTabBox* LetterButton2 = nullptr;
    LetterTabBox* LetterButton3 = nullptr;
    QToolButton* cmdLeft = nullptr;
    QToolButton* cmdRight = nullptr;
    QToolButton* cmdUp = nullptr;
    QToolButton* cmdDown = nullptr;
    QComboBox* cmbContacts = nullptr;
    QLabel* lblLetterMode = nullptr; // "First Name Mode Is On" while Ctrl is held

    // The card.
    QLineEdit* txtName = nullptr;
    QLineEdit* txtMe = nullptr;
    QPushButton* cmdQELDay = nullptr;
    QCheckBox* chkExtra = nullptr;
    std::array<QLineEdit*, 16> txtNumber{};
    QLabel* lblHome = nullptr;
    QLabel* lblMobile = nullptr;
    QLabel* lblWork = nullptr;
    QLabel* lblFax = nullptr;
    std::array<QLabel*, 4> lblPhone2{}; // the second column's labels
    QLabel* lblAddress = nullptr;
    QListWidget* lstEmail = nullptr;
    QLabel* lblWeb = nullptr;
    QListWidget* lstWebSite = nullptr;
    std::array<QRadioButton*, 3> optAddress{}; // Business, Home, Other
    QPlainTextEdit* txtBusinessAddress = nullptr;
    QPlainTextEdit* txtHomeAddress = nullptr;
    QPlainTextEdit* txtOtherAddress = nullptr;
    QLineEdit* txtFirst = nullptr; // hidden holders of the contact's names and EntryID
    QLineEdit* txtLast = nullptr;
    QLineEdit* txtID = nullptr;

    // The container of detail panes.
    QTabBar* TabStrip1 = nullptr;
    std::array<QFrame*, 5> fmeQuick{};
    QPushButton* cmdHide = nullptr;
    // Pane 1: search.
    QLineEdit* Search = nullptr;
    QPushButton* PartialSearch = nullptr;
    QComboBox* cmbSearch = nullptr;
    QPushButton* cmdFound = nullptr;
    QPushButton* cmdClear = nullptr;
    // Pane 2: contact folder.
    QComboBox* cmbFolders = nullptr;
    ChangeLabel* lblFolders = nullptr;
    QPushButton* cmdFolRefresh = nullptr;
    // Pane 3: categories.
    QComboBox* cmbCategories = nullptr;
    ChangeLabel* lblCategories = nullptr;
    QPushButton* cmdCatRefresh = nullptr;
    QLineEdit* txtCategory = nullptr; // hidden: the category suffix of every contact query

    // Creates every control above as a child of `form` (the area of browserlayout::kWidth by
    // kHeight pixels) in its design state: normal card view, container open on tab 1.
    void buildBrowserControls(QWidget* form);
    // The parts of the card file, in the order buildBrowserControls makes them.
    void buildCardPicture(QWidget* form);    // the picture, the letter tabs and their arrows
    void buildCardHead(QWidget* form);       // the name, the "you" marker, the special day, the list
    void buildPhoneBoxes(QWidget* form);     // the sixteen phone boxes and their labels
    void buildMailAndAddress(QWidget* form); // e-mail and web, or one address, and the hidden holders
    void buildDetailPanes(QWidget* form);    // the container of detail panes

    std::array<QPlainTextEdit*, 3> addressBoxes() const {
        return {txtBusinessAddress, txtHomeAddress, txtOtherAddress};
    }
    std::array<LetterTabBox*, 3> letterButtons() const {
        return {LetterButton1, LetterButton2, LetterButton3};
    }
    std::array<BackTabPicture*, 3> backTabs() const { return {BackTab1, BackTab2, BackTab3}; }
    std::array<QLabel*, 4> phoneLabels() const { return {lblHome, lblMobile, lblWork, lblFax}; }
};

// Fixed texts of the browser's controls.
namespace browsertext {
const QString kPickFolder = QStringLiteral(" <Pick a Folder or Refresh> ");
const QString kPickCategory = QStringLiteral(" <Pick a Category or Refresh> ");
const QString kAllEntry = QStringLiteral("~All~");
const QString kNoCategoryEntry = QStringLiteral("~No Category Name~");
const QString kAllCategories = QStringLiteral("All Categories");
const QString kUncategorized = QStringLiteral("Uncategorized");
const QString kNoContacts = QStringLiteral("<No Contacts>");
const QString kSearchPrompt = QStringLiteral(" <Select a Search Result>");
// The phone boxes' design tooltips, by index.
QStringList phoneTooltips();
// Captions of the first phone column in the normal and the "Extra Info" view.
QStringList normalPhoneLabels();
QStringList extraPhoneLabels();
QStringList normalSecondLabels();
QStringList extraSecondLabels();
} // namespace browsertext

// Sorted lists. The order is the store's dictionary order (letter case and accents ignored), so
// the lists agree with the store's restrictions and sorts.
void insertSorted(QComboBox* list, const QString& text);
// Replaces the list's entries by `sortedTexts` (already in that order) without selecting any and
// without a signal. `userData` gives some entries (by index) a Qt::UserRole value.
void fillSorted(QComboBox* list, const QStringList& sortedTexts, const QHash<int, QString>& userData = {});
// The index of the first entry equal to text ignoring letter case, -1 when none.
int findIgnoringCase(const QComboBox* list, const QString& text);

} // namespace qel
