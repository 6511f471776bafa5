// The card's two views (normal, "Extra Info"), the address options, the container of detail panes,
// and the start-up steps that restore the browser's remembered position.

#include "ContactBrowser.h"

#include "core/DebugLog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>

namespace qel {

namespace {

int checkedOption(const std::array<QRadioButton*, 3>& options) {
    for (int i = 0; i < 3; ++i) {
        if (options[static_cast<size_t>(i)]->isChecked())
            return i;
    }
    return 0;
}

void setCaptions(const std::array<QLabel*, 4>& labels, const QStringList& captions) {
    for (int i = 0; i < 4; ++i)
        labels[static_cast<size_t>(i)]->setText(captions.at(i));
}

} // namespace

void ContactBrowser::chkExtra_Click() {
    const bool extra = mUi.chkExtra->isChecked();
    mUi.lstEmail->setVisible(!extra);
    mUi.lstWebSite->setVisible(!extra);
    mUi.lblWeb->setVisible(!extra);
    setCaptions(mUi.phoneLabels(),
                extra ? browsertext::extraPhoneLabels() : browsertext::normalPhoneLabels());
    setCaptions(mUi.lblPhone2, extra ? browsertext::extraSecondLabels() : browsertext::normalSecondLabels());
    // The extra numbers lie over the normal ones; the ones underneath are hidden so that no text
    // shows through the card.
    for (size_t i = 0; i < mUi.txtNumber.size(); ++i)
        mUi.txtNumber[i]->setVisible((i >= 8) == extra);
    mUi.lblAddress->setText(extra ? QStringLiteral("Address") : QStringLiteral("E-mail"));
    for (QRadioButton* option : mUi.optAddress)
        option->setVisible(extra);
    if (extra) {
        showAddressOf(checkedOption(mUi.optAddress));
        pickAddressOption();
    } else {
        for (QPlainTextEdit* box : mUi.addressBoxes())
            box->hide();
    }
    focusContactsUnlessEditing();
}

void ContactBrowser::pickAddressOption() {
    const bool business = mUi.txtBusinessAddress->toPlainText().isEmpty();
    const bool home = mUi.txtHomeAddress->toPlainText().isEmpty();
    const bool other = mUi.txtOtherAddress->toPlainText().isEmpty();
    if (business && !home)
        mUi.optAddress[1]->setChecked(true);
    else if (business && home && !other)
        mUi.optAddress[2]->setChecked(true);
    else if (business && home && other)
        mUi.optAddress[0]->setChecked(true);
}

void ContactBrowser::showAddressOf(int option) {
    const auto boxes = mUi.addressBoxes();
    for (int i = 0; i < 3; ++i)
        boxes[static_cast<size_t>(i)]->setVisible(i == option);
}

void ContactBrowser::optAddress_Click() {
    // In the normal view the e-mail list has the place of the addresses.
    if (mUi.chkExtra->isChecked())
        showAddressOf(checkedOption(mUi.optAddress));
    focusContactsUnlessEditing();
}

void ContactBrowser::focusContactsUnlessEditing() {
    if (!editing())
        mUi.cmbContacts->setFocus();
}

int ContactBrowser::selectedTab() const {
    return mUi.TabStrip1->currentIndex() + 1;
}

bool ContactBrowser::containerOpen() const {
    return !mUi.cmdHide->isHidden();
}

void ContactBrowser::selectTab(int tab) {
    const int index = qBound(1, tab, static_cast<int>(mUi.fmeQuick.size())) - 1;
    if (mUi.TabStrip1->currentIndex() == index)
        TabStrip1_Click();
    else
        mUi.TabStrip1->setCurrentIndex(index); // runs TabStrip1_Click
}

void ContactBrowser::TabStrip1_Click() {
    const int tab = selectedTab();
    if (!containerOpen()) {
        mUi.cmdHide->show();
        mUi.TabStrip1->move(mUi.TabStrip1->x(), browserlayout::twips(browserlayout::kContainerOpenTop));
    }
    // The panes lie on top of each other: only the selected one is shown, so that no control of
    // a covered pane can take the focus.
    for (size_t i = 0; i < mUi.fmeQuick.size(); ++i)
        mUi.fmeQuick[i]->setVisible(static_cast<int>(i) + 1 == tab);
    if (tab >= 1)
        mUi.fmeQuick[static_cast<size_t>(tab - 1)]->raise();
}

void ContactBrowser::cmdHide_Click() {
    for (QFrame* pane : mUi.fmeQuick)
        pane->hide();
    mUi.TabStrip1->move(mUi.TabStrip1->x(), browserlayout::twips(browserlayout::kContainerClosedTop));
    mUi.cmdHide->hide();
}

// --- Start-up ------------------------------------------------------------------------------------

void ContactBrowser::restoreView(const QString& extraInfo) {
    if (extraInfo == QLatin1String("Checked"))
        mUi.chkExtra->setChecked(true);
}

void ContactBrowser::restoreCategory(const QString& currentCategory) {
    LogDebug(kMainWindowName, QStringLiteral(":Last Category"));
    if (!currentCategory.isEmpty())
        mUi.lblCategories->setCaption(currentCategory);
    const QSignalBlocker quiet(mUi.cmbCategories);
    mUi.cmbCategories->setCurrentIndex(0);
}

bool ContactBrowser::openStartFolder(const QString& currentFolder) {
    LogDebug(kMainWindowName, QStringLiteral(":Last Folder"));
    QString folder = currentFolder;
    if (!folder.isEmpty()) {
        fillSorted(mUi.cmbFolders, {browsertext::kPickFolder});
        insertSorted(mUi.cmbFolders, folder);
    } else {
        if (!cmdFolRefresh_Click())
            return false;
        const QString usual = QStringLiteral("Personal Folders\\Contacts");
        folder = mUi.cmbFolders->findText(usual, Qt::MatchExactly) >= 0 ? usual : mUi.cmbFolders->itemText(1);
    }
    // The label is set silently and its handler run once, whether or not the caption changed.
    mUi.lblFolders->setText(folder);
    if (!lblFolders_Change())
        return false;
    const QSignalBlocker quiet(mUi.cmbFolders);
    mUi.cmbFolders->setCurrentIndex(0);
    return true;
}

void ContactBrowser::restoreContainer(int state, int tab) {
    const int t = qBound(1, tab, static_cast<int>(mUi.fmeQuick.size()));
    if (state != 0) {
        QFrame* pane = mUi.fmeQuick[static_cast<size_t>(t - 1)];
        pane->raise();
        pane->show();
        selectTab(t);
    } else {
        selectTab(t);
        cmdHide_Click();
    }
}

} // namespace qel
