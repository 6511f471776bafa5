// The categories window on a real store in a temporary folder.

#include "outlook/dialogs/CategoriesDialog.h"
#include "outlook/dialogs/WidgetStoreUi.h"
#include "support/SeamScope.h"
#include "support/TestEnvironment.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <memory>

using ol::CategoriesDialog;

namespace {

QStringList listed(const CategoriesDialog& d) {
    QStringList names;
    for (int row = 0; row < d.lstCategories->count(); ++row)
        names << d.lstCategories->item(row)->text();
    return names;
}

void setTicked(const CategoriesDialog& d, const QString& name, bool ticked) {
    const QList<QListWidgetItem*> found = d.lstCategories->findItems(name, Qt::MatchExactly);
    if (found.size() != 1) {
        QTest::qFail(qPrintable(QStringLiteral("not listed once: ") + name), __FILE__, __LINE__);
        return;
    }
    found.first()->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

void addToList(const CategoriesDialog& d, const QString& name) {
    d.txtNewCategory->setText(name);
    d.cmdAddToList->click();
}

} // namespace

class CategoriesDialogTest : public QObject {
    Q_OBJECT

    QTemporaryDir mDir;
    QString mStoreDir;
    ol::ApplicationPtr mApp;
    ol::NameSpacePtr mNs;
    std::unique_ptr<qeltest::SeamScope> mSeams;
    ol::ItemPtr mItem;

    ol::ItemPtr add(const QString& folderPath, const QString& subject, const QString& categories) {
        ol::ItemPtr item = mNs->folderByPath(folderPath)->Items()->Add();
        item->Set(QStringLiteral("Subject"), subject);
        item->Set(QStringLiteral("Categories"), categories);
        item->Save();
        return item;
    }
    QString storedCategories() {
        return ol::Application::create(mStoreDir)
            ->GetNamespace()
            ->GetItemFromID(mItem->EntryID())
            ->Get(QStringLiteral("Categories"))
            .toString();
    }

private Q_SLOTS:
    void init() {
        QVERIFY(mDir.isValid());
        mStoreDir = mDir.path() + QStringLiteral("/stores-") + QTest::currentTestFunction();
        mApp = ol::Application::create(mStoreDir);
        mNs = mApp->GetNamespace();
        mSeams = std::make_unique<qeltest::SeamScope>();
        const QString contacts = QStringLiteral("Personal Folders\\Contacts");
        mNs->folderByPath(contacts)->Folders()->Add(QStringLiteral("Club"), ol::olContactItem);
        mNs->Folders()
            ->Add(QStringLiteral("Archive"))
            ->Folders()
            ->Add(QStringLiteral("Old"), ol::olContactItem);
        add(contacts, QStringLiteral("One"), QStringLiteral("Work, golf"));
        add(contacts, QStringLiteral("Two"), QStringLiteral("WORK; Family"));
        add(contacts + QStringLiteral("\\Club"), QStringLiteral("Three"), QStringLiteral("Éclair"));
        add(QStringLiteral("Personal Folders\\Calendar"), QStringLiteral("Trip"), QStringLiteral("Holiday"));
        add(QStringLiteral("Personal Folders\\Inbox"), QStringLiteral("Mail"), QStringLiteral("MailOnly"));
        add(QStringLiteral("Archive\\Old"), QStringLiteral("Elsewhere"), QStringLiteral("OtherStore"));
        mItem = add(contacts, QStringLiteral("Ann"), QStringLiteral("zebra, work"));
    }
    void cleanup() {
        QVERIFY(mSeams->dialogs.verify());
        mSeams.reset();
        mItem.reset();
        mNs.reset();
        mApp.reset();
    }

    void listsTheStoresCategoriesOnceAndTicksTheItemsOwn() {
        CategoriesDialog d(mItem);
        QCOMPARE(d.windowTitle(), QStringLiteral("Categories"));
        // Contact and calendar folders of the item's store only; the item's spelling wins.
        QCOMPARE(listed(d), QStringList({"Éclair", "Family", "golf", "Holiday", "work", "zebra"}));
        QCOMPARE(d.checkedCategories(), QStringList({"work", "zebra"}));
        QCOMPARE(d.txtChecked->text(), QStringLiteral("work, zebra"));

        // An item outside the contact and calendar folders sees its own folder's categories too.
        CategoriesDialog mail(mNs->folderByPath(QStringLiteral("Personal Folders\\Inbox"))->Items()->Item(1));
        QVERIFY(listed(mail).contains(QStringLiteral("MailOnly")));
        QCOMPARE(mail.checkedCategories(), QStringList({"MailOnly"}));
    }

    void tickedAddedAndUntickedReachTheItem() {
        CategoriesDialog d(mItem);
        d.show();
        setTicked(d, QStringLiteral("zebra"), false);
        setTicked(d, QStringLiteral("Holiday"), true);
        addToList(d, QStringLiteral("  Books  "));
        QCOMPARE(listed(d).first(), QStringLiteral("Books"));
        QVERIFY(d.txtNewCategory->text().isEmpty());
        // A name already listed in another letter case is ticked, not listed again.
        addToList(d, QStringLiteral("FAMILY"));
        QCOMPARE(listed(d).count(QStringLiteral("Family")), 1);
        QCOMPARE(listed(d).size(), 7);
        QCOMPARE(d.txtChecked->text(), QStringLiteral("Books, Family, Holiday, work"));
        d.cmdOK->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(storedCategories(), QStringLiteral("Books, Family, Holiday, work"));
        QCOMPARE(mItem->Get(QStringLiteral("Categories")).toString(),
                 QStringLiteral("Books, Family, Holiday, work"));
    }

    void badNamesAreRefusedAndEnterAddsWhileTyping() {
        CategoriesDialog d(mItem);
        d.show();
        mSeams->dialogs.expectMessage(QStringLiteral("Type the name of the new category first."));
        mSeams->dialogs.expectMessage(
            QStringLiteral("A category name cannot contain a comma or a semicolon."));
        addToList(d, QStringLiteral("   "));
        addToList(d, QStringLiteral("Red; Blue"));
        QCOMPARE(d.txtNewCategory->text(), QStringLiteral("Red; Blue")); // kept to be mended
        QCOMPARE(listed(d).size(), 6);
        // Enter in the new name adds it; the window stays open.
        d.txtNewCategory->setText(QStringLiteral("Purple"));
        QTest::keyClick(d.txtNewCategory, Qt::Key_Return);
        QVERIFY(d.isVisible());
        QVERIFY(listed(d).contains(QStringLiteral("Purple")));
        QVERIFY(d.cmdOK->isDefault());
    }

    void cancelChangesNothing() {
        CategoriesDialog d(mItem);
        d.show();
        setTicked(d, QStringLiteral("work"), false);
        addToList(d, QStringLiteral("Books"));
        d.cmdCancel->click();
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QCOMPARE(storedCategories(), QStringLiteral("zebra, work"));
        QCOMPARE(mItem->Get(QStringLiteral("Categories")).toString(), QStringLiteral("zebra, work"));
    }

    void saveFailureKeepsTheDialogOpen() {
        CategoriesDialog d(mItem);
        d.show();
        mNs->GetItemFromID(mItem->EntryID())->Delete();
        setTicked(d, QStringLiteral("golf"), true);
        mSeams->dialogs.expectMessage(QStringLiteral("The categories could not be saved: "));
        d.cmdOK->click();
        QVERIFY(d.isVisible());
        QCOMPARE(d.txtChecked->text(), QStringLiteral("golf, work, zebra"));
        QCOMPARE(mItem->Get(QStringLiteral("Categories")).toString(), QStringLiteral("zebra, work"));
    }

    void showCategoriesRunsTheDialogThroughTheSeam() {
        mApp->setUi(std::make_shared<ol::WidgetStoreUi>());
        mSeams->dialogs.expectExec(
            [](QDialog& dialog) {
                auto& d = dynamic_cast<CategoriesDialog&>(dialog);
                setTicked(d, QStringLiteral("golf"), true);
                d.cmdOK->click();
                return d.result();
            },
            QStringLiteral("CategoriesDialog"));
        mItem->ShowCategoriesDialog();
        QCOMPARE(storedCategories(), QStringLiteral("golf, work, zebra"));
    }
};

QEL_TEST_MAIN(CategoriesDialogTest)
#include "test_categories_dialog.moc"
