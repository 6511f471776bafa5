// Search: the type-ahead of the search box and the partial search with its result list.

#include "ContactBrowser.h"

#include "core/DebugLog.h"
#include "core/Tag.h"
#include "outlook/Collation.h"
#include "platform/Dialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <algorithm>
#include <vector>

namespace qel {

namespace {

// The blanks between a result's display name and its initial push the initial out of sight.
const QString kResultGap = QString(80, QLatin1Char(' '));
constexpr int kLetterRole = Qt::UserRole + 1;
constexpr int kEntryIDRole = Qt::UserRole + 2;

QString digitsOf(const QString& text) {
    QString digits;
    for (const QChar c : text)
        if (c.isDigit())
            digits += c;
    return digits;
}

// The digits of a search text made mostly of them (at least three, and three in four of the
// characters other than blanks and a number's punctuation: "555 12", "(555) 123-4", "+1 555");
// "" for a text that searches names.
QString numberSearchDigits(const QString& text) {
    const QString digits = digitsOf(text);
    qsizetype characters = 0;
    for (const QChar c : text)
        characters += c.isSpace() || QStringLiteral("()-./+").contains(c) ? 0 : 1;
    return digits.size() >= 3 && digits.size() * 4 >= characters * 3 ? digits : QString();
}

// Whether any phone number of the contact at `index` holds `digits`, whatever its punctuation.
bool anyNumberHolds(const ol::Items& items, int index, const QString& digits) {
    using namespace ol::prop;
    const auto holds = [&](int prop) {
        return digitsOf(items.value(index, prop).toString()).contains(digits);
    };
    return std::any_of(phoneProperties().begin(), phoneProperties().end(), holds) ||
           holds(RadioTelephoneNumber) || holds(TelexNumber) || holds(TTYTDDTelephoneNumber);
}

} // namespace

void ContactBrowser::menuSearch_Click() {
    selectTab(1);
    mUi.Search->setFocus();
}

void ContactBrowser::Search_GotFocus() {
    if (mHooks.setKeyPreview)
        mHooks.setKeyPreview(false);
}

void ContactBrowser::Search_LostFocus() {
    if (mHooks.setKeyPreview && !editing())
        mHooks.setKeyPreview(true);
}

void ContactBrowser::Search_KeyUp(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        PartialSearch_Click();
    } else if (key == Qt::Key_Escape) {
        mUi.Search->clear();
        mUi.cmbContacts->setFocus();
    } else {
        typeAhead();
    }
}

void ContactBrowser::typeAhead() {
    if (!m.gOlContacts)
        return;
    try {
        const ol::ItemsPtr found = m.gOlContacts->Restrict(
            QStringLiteral("[Subject] >= ") + ol::quoteLiteral(mUi.Search->text()) + mUi.txtCategory->text());
        if (found->Count() == 0)
            return;
        found->Sort(QStringLiteral("[Subject]"));
        m.mContactName = found->subject(1);
        const int code = letterCodeOf(found->value(1, ol::prop::LastName).toString());
        if (code == m.mLetterCode) {
            // Still the same letter, whose list is on show: selecting the contact is enough.
            const int index = findIgnoringCase(mUi.cmbContacts, m.mContactName);
            if (index >= 0) {
                if (index == mUi.cmbContacts->currentIndex())
                    cmbContacts_Click();
                else
                    mUi.cmbContacts->setCurrentIndex(index);
                mUi.Search->setFocus();
                return;
            }
        }
        m.mLetterCode = static_cast<qint16>(code);
    } catch (const ol::Error& e) {
        LogDebug(kMainWindowName, QStringLiteral(":Type-ahead error: ") + e.message());
        return;
    }
    LetterChange();
    mUi.Search->setFocus();
}

void ContactBrowser::PartialSearch_Click() {
    QWidget* window = mUi.cmbContacts->window();
    mUi.PartialSearch->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    mUi.cmdQELDay->hide();
    window->setEnabled(false);

    // The matches in display-name order. Only the matches are sorted (stably, in the store's
    // order of display names), which gives the order of sorting all and then picking.
    struct Match {
        QString key;
        QString entry;
        int letter;
        QString entryID;
    };
    std::vector<Match> matches;
    const QString needle = mUi.Search->text();
    // A text of digits also finds the contacts with a number that holds them.
    const QString digits = numberSearchDigits(needle);
    if (m.gOlContacts) {
        try {
            const ol::ItemsPtr all = m.gOlContacts->Restrict(mUi.txtCategory->text().mid(5));
            for (int i = 1, n = all->Count(); i <= n; ++i) {
                const QString subject = all->subject(i);
                if (!subject.contains(needle, Qt::CaseInsensitive) &&
                    (digits.isEmpty() || !anyNumberHolds(*all, i, digits)))
                    continue;
                const QString last = all->value(i, ol::prop::LastName).toString();
                matches.push_back({ol::foldKey(subject), subject + kResultGap + last.left(1),
                                   letterCodeOf(last), all->value(i, ol::prop::EntryID).toString()});
            }
        } catch (const ol::Error& e) {
            LogDebug(kMainWindowName, QStringLiteral(":Partial search error: ") + e.message());
        }
    }
    std::stable_sort(matches.begin(), matches.end(),
                     [](const Match& a, const Match& b) { return a.key < b.key; });
    QStringList entries{browsertext::kSearchPrompt};
    QList<int> letters{0};
    QStringList entryIDs{QString()};
    entries.reserve(static_cast<qsizetype>(matches.size()) + 1);
    letters.reserve(entries.capacity());
    entryIDs.reserve(entries.capacity());
    for (Match& match : matches) {
        entries.append(std::move(match.entry));
        letters.append(match.letter);
        entryIDs.append(std::move(match.entryID));
    }
    fillSorted(mUi.cmbSearch, entries);
    // Each result keeps the letter it is listed under, so Look Up need not guess it from the initial,
    // and its contact's EntryID, so Look Up shows that one of several contacts of one name.
    if (auto* model = qobject_cast<QStandardItemModel*>(mUi.cmbSearch->model())) {
        for (int i = 1; i < letters.size(); ++i) {
            model->item(i)->setData(letters.at(i), kLetterRole);
            model->item(i)->setData(entryIDs.at(i), kEntryIDRole);
        }
    }
    window->setEnabled(true);

    if (mUi.cmbSearch->count() == 1) {
        QApplication::restoreOverrideCursor();
        dialogs().message(QStringLiteral("No contacts found."));
        if (Tag(mUi.cmdQELDay) == QLatin1String("Happy"))
            mUi.cmdQELDay->show();
        mUi.Search->setFocus();
    } else {
        mUi.cmdFound->show();
        mUi.cmdClear->show();
        mUi.cmbSearch->show();
        mUi.cmbSearch->setFocus();
        mUi.cmbSearch->setCurrentIndex(0);
        QApplication::restoreOverrideCursor();
    }
    mUi.PartialSearch->setEnabled(true);
}

void ContactBrowser::cmdFound_Click() {
    const QString text = mUi.cmbSearch->currentText();
    if (text.isEmpty() || text == browsertext::kSearchPrompt) {
        dialogs().message(QStringLiteral("Please choose a valid contact"));
        mUi.cmbSearch->setFocus();
        return;
    }
    const qsizetype gap = text.lastIndexOf(kResultGap);
    const QString name = gap < 0 ? text : text.left(gap);
    const QString initial = gap < 0 ? QString() : text.mid(gap + kResultGap.size());
    m.mContactName = name;
    mChosenEntryID = mUi.cmbSearch->currentData(kEntryIDRole).toString();
    const QVariant letter = mUi.cmbSearch->currentData(kLetterRole);
    if (letter.isValid()) {
        m.mLetterCode = static_cast<qint16>(letter.toInt());
    } else {
        m.mLetterCode = kMiscCode;
        for (int code = 1; code <= 26; ++code) {
            if (initial.toUpper() == QString(QChar(64 + code)))
                m.mLetterCode = static_cast<qint16>(code);
        }
    }
    LetterChange();
    cmdClear_Click();
}

void ContactBrowser::cmdClear_Click() {
    mUi.cmbSearch->hide();
    mUi.cmdFound->hide();
    mUi.cmdClear->hide();
    if (Tag(mUi.cmdQELDay) == QLatin1String("Happy"))
        mUi.cmdQELDay->show();
    mUi.Search->setFocus();
}

} // namespace qel
