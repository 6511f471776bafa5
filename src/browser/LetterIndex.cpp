// The letter index: the current letter tab, the contact list of that letter, and the commands that
// move between letters and between the contacts of a letter.

#include "ContactBrowser.h"

#include "core/DebugLog.h"
#include "platform/Sound.h"

#include <QComboBox>
#include <QLineEdit>
#include <utility>

namespace qel {

namespace {

// The letters form a ring A … Z, MISC.
int ringed(int code) {
    return ((code - 1) % kMiscCode + kMiscCode) % kMiscCode + 1;
}

// The tab position (1 left, 2 middle, 3 right) of a letter code.
int positionOf(int code) {
    return code % 3 + 1;
}

} // namespace

void ContactBrowser::showLetterTab(int code) {
    const int position = positionOf(code);
    const auto front = mUi.letterButtons();
    const auto back = mUi.backTabs();
    for (int p = 1; p <= 3; ++p) {
        LetterTabBox* tab = front[static_cast<size_t>(p - 1)];
        tab->setVisible(p == position);
        // A back tab shows, faintly, the letter that clicking it leads to.
        back[static_cast<size_t>(p - 1)]->setText(p == position ? QString()
                                                                : tabText(ringed(code + p - position)));
    }
    front[static_cast<size_t>(position - 1)]->setText(QString(QChar(64 + code)));
    if (code == kMiscCode)
        mUi.LetterButton1->setText(QStringLiteral("MISC"));
}

void ContactBrowser::LetterChange() {
    if (m.mLetterCode < 1 || m.mLetterCode > kMiscCode)
        m.mLetterCode = 1; // a code from a damaged cache: start at A
    const int code = m.mLetterCode;
    const QString chosenEntryID = std::exchange(mChosenEntryID, QString());
    debug(QStringLiteral(":Determining Letter Position using mLetterCode = ") + QString::number(code));
    showLetterTab(code);

    QComboBox* list = mUi.cmbContacts;
    {
        const QSignalBlocker quiet(list);
        list->clear();
    }
    const QString restriction = letterRestriction(code, mUi.txtCategory->text());
    debug(QStringLiteral(":Restricting last name using ") + restriction);

    mListed.reset();
    QStringList names;
    QHash<int, QString> entryIDs;
    int found = -1;
    try {
        if (!m.gOlContacts)
            throw ol::Error(ol::kErrObjectRequired, QStringLiteral("No contact folder is open."));
        const ol::ItemsPtr result = m.gOlContacts->Restrict(restriction);
        const int count = result->Count();
        if (debugOn()) {
            for (int i = 1; i <= count; ++i)
                debug(QStringLiteral(":Adding Contact to combobox. Subject = ") + result->subject(i));
        }
        // The list is sorted; the store sorts with the same order.
        result->Sort(QStringLiteral("[Subject]"));
        mListed = result;
        names.reserve(count);
        for (int i = 1; i <= count; ++i) {
            const QString subject = result->subject(i);
            if (found < 0 && subject.compare(m.mContactName, Qt::CaseInsensitive) == 0)
                found = i - 1;
            // Entries of the same display name keep their contact's EntryID, so that each shows
            // its own card.
            if (i > 1 && subject.compare(names.last(), Qt::CaseInsensitive) == 0) {
                entryIDs.insert(i - 2, result->value(i - 1, ol::prop::EntryID).toString());
                entryIDs.insert(i - 1, result->value(i, ol::prop::EntryID).toString());
            }
            names.append(subject);
        }
        // Of several entries of that name, the one Look Up chose.
        for (auto it = entryIDs.cbegin(); !chosenEntryID.isEmpty() && it != entryIDs.cend(); ++it) {
            if (it.value() == chosenEntryID)
                found = it.key();
        }
    } catch (const ol::Error& e) {
        debug(QStringLiteral(":Letter list error: ") + e.message());
        names.clear();
        entryIDs.clear();
        mListed.reset();
        found = -1;
    }
    if (names.isEmpty())
        names.append(browsertext::kNoContacts);
    fillSorted(list, names, entryIDs);

    if (found >= 0) {
        debug(QStringLiteral(":Selecting last viewed contact: ") + m.mContactName);
    } else {
        debug(QStringLiteral(":Cannot find last viewed contact (") + m.mContactName +
              QStringLiteral("), selecting top: ") + names.first());
    }
    list->setCurrentIndex(found >= 0 ? found : 0); // shows the card

    if (list->isVisible() && list->isEnabled())
        list->setFocus();
    else
        debug(QStringLiteral(":Combobox not selected!"));
}

void ContactBrowser::cmdLeft_Click() {
    m.mLetterCode = static_cast<qint16>(m.mLetterCode <= 1 ? kMiscCode : m.mLetterCode - 1);
    LetterChange();
}

void ContactBrowser::cmdRight_Click() {
    m.mLetterCode = static_cast<qint16>(m.mLetterCode >= kMiscCode ? 1 : m.mLetterCode + 1);
    LetterChange();
}

void ContactBrowser::moveLetters(int steps) {
    for (; steps < 0; ++steps)
        cmdLeft_Click();
    for (; steps > 0; --steps)
        cmdRight_Click();
}

void ContactBrowser::BackTab1_Click() {
    moveLetters(positionOf(m.mLetterCode) == 3 ? -2 : -1);
}

void ContactBrowser::BackTab2_Click() {
    const int position = positionOf(m.mLetterCode);
    if (position == 1)
        moveLetters(1);
    else if (position == 3)
        moveLetters(-1);
}

void ContactBrowser::BackTab3_Click() {
    moveLetters(positionOf(m.mLetterCode) == 1 ? 2 : 1);
}

void ContactBrowser::cmdDown_Click() {
    QComboBox* list = mUi.cmbContacts;
    list->setFocus();
    if (list->currentIndex() >= list->count() - 1) {
        sound().play(QStringLiteral("chimes.wav"));
        return;
    }
    list->setCurrentIndex(list->currentIndex() + 1);
}

void ContactBrowser::cmdUp_Click() {
    QComboBox* list = mUi.cmbContacts;
    list->setFocus();
    if (list->currentIndex() <= 0) {
        sound().play(QStringLiteral("chimes.wav"));
        return;
    }
    list->setCurrentIndex(list->currentIndex() - 1);
}

void ContactBrowser::menuTrayGotoLetter_Click(int index) {
    m.mLetterCode = static_cast<qint16>(index);
    if (mHooks.restoreWindow)
        mHooks.restoreWindow();
    else
        LetterChange();
}

} // namespace qel
