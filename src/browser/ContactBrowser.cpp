#include "ContactBrowser.h"

#include "outlook/Collation.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QToolButton>

namespace qel {

QString tabText(int code) {
    if (code == kMiscCode)
        return QStringLiteral("MISC");
    return QString(QChar(64 + code));
}

QString letterRestriction(int code, const QString& suffix) {
    if (code <= 1)
        return QStringLiteral("[LastName] >= 'A' And [LastName] < 'B'") + suffix;
    if (code <= 25)
        return QStringLiteral("[LastName] >= '") + QChar(64 + code) + QStringLiteral("' AND [LastName] < '") +
               QChar(65 + code) + QStringLiteral("'") + suffix;
    if (code == 26)
        return QStringLiteral("[LastName] >= 'Z' And [LastName] < 'ZZZZ'") + suffix;
    // In parentheses: AND binds tighter than OR, and the suffix must bound both halves.
    return QStringLiteral("([LastName] > 'ZZZZ' OR [LastName] < 'A')") + suffix;
}

QString categorySuffix(const QString& caption) {
    const QString base = QStringLiteral(" AND ") + ol::kContactsFilter;
    if (caption == browsertext::kAllCategories)
        return base;
    if (caption == browsertext::kUncategorized)
        return base + QStringLiteral(" AND [Categories] = ''");
    return base + QStringLiteral(" AND [Categories] = ") + ol::quoteLiteral(caption);
}

int letterCodeOf(const QString& lastName) {
    // The restrictions compare folded texts (lower case, no accents) by code point: every folded
    // text from "a" up to "zzzz" begins with one of the letters, anything else is MISC.
    const QString key = ol::foldKey(lastName);
    if (key < QLatin1String("a") || key >= QLatin1String("zzzz"))
        return kMiscCode;
    return key.at(0).unicode() - u'a' + 1;
}

ContactBrowser::ContactBrowser(BrowserControls& ui, BrowserMembers members, const SettingsModel& settings,
                               BrowserHooks hooks, QObject* parent)
    : QObject(parent), mUi(ui), m(members), mSettings(settings), mHooks(std::move(hooks)) {
    connectControls();
}

void ContactBrowser::connectControls() {
    BrowserControls& u = mUi;
    connect(u.cmdFolRefresh, &QPushButton::clicked, this, [this] { cmdFolRefresh_Click(); });
    connect(u.cmbFolders, &QComboBox::activated, this, &ContactBrowser::cmbFolders_Click);
    connect(u.lblFolders, &ChangeLabel::Change, this, [this] { lblFolders_Change(); });
    connect(u.cmdCatRefresh, &QPushButton::clicked, this, &ContactBrowser::cmdCatRefresh_Click);
    connect(u.cmbCategories, &QComboBox::activated, this, &ContactBrowser::cmbCategories_Click);
    connect(u.lblCategories, &ChangeLabel::Change, this, &ContactBrowser::lblCategories_Change);

    connect(u.cmdLeft, &QToolButton::clicked, this, &ContactBrowser::cmdLeft_Click);
    connect(u.cmdRight, &QToolButton::clicked, this, &ContactBrowser::cmdRight_Click);
    connect(u.BackTab1, &QAbstractButton::clicked, this, &ContactBrowser::BackTab1_Click);
    connect(u.BackTab2, &QAbstractButton::clicked, this, &ContactBrowser::BackTab2_Click);
    connect(u.BackTab3, &QAbstractButton::clicked, this, &ContactBrowser::BackTab3_Click);
    connect(u.cmdUp, &QToolButton::clicked, this, &ContactBrowser::cmdUp_Click);
    connect(u.cmdDown, &QToolButton::clicked, this, &ContactBrowser::cmdDown_Click);
    connect(u.cmbContacts, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            cmbContacts_Click();
    });

    u.Search->installEventFilter(this);
    connect(u.PartialSearch, &QPushButton::clicked, this, &ContactBrowser::PartialSearch_Click);
    connect(u.cmdFound, &QPushButton::clicked, this, &ContactBrowser::cmdFound_Click);
    connect(u.cmdClear, &QPushButton::clicked, this, &ContactBrowser::cmdClear_Click);

    connect(u.chkExtra, &QCheckBox::toggled, this, &ContactBrowser::chkExtra_Click);
    for (QRadioButton* option : u.optAddress) {
        connect(option, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                optAddress_Click();
        });
    }
    connect(u.TabStrip1, &QTabBar::currentChanged, this, &ContactBrowser::TabStrip1_Click);
    // A click on the tab that is already selected still opens a closed container.
    connect(u.TabStrip1, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0 && index == mUi.TabStrip1->currentIndex())
            TabStrip1_Click();
    });
    connect(u.cmdHide, &QPushButton::clicked, this, &ContactBrowser::cmdHide_Click);
}

bool ContactBrowser::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mUi.Search) {
        switch (event->type()) {
        case QEvent::FocusIn:
            Search_GotFocus();
            break;
        case QEvent::FocusOut:
            Search_LostFocus();
            break;
        case QEvent::KeyRelease: {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (!key->isAutoRepeat())
                Search_KeyUp(key->key());
            break;
        }
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

bool ContactBrowser::editing() const {
    return mHooks.editing && mHooks.editing();
}

} // namespace qel
