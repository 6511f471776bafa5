// The item window on a real store in a temporary folder: what it shows, what reaches the store.

#include "outlook/dialogs/CategoriesDialog.h"
#include "outlook/dialogs/DateField.h"
#include "outlook/dialogs/ItemWindow.h"
#include "outlook/dialogs/WidgetStoreUi.h"
#include "support/SeamScope.h"
#include "support/TestEnvironment.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <memory>

using ol::ItemWindow;

namespace {

QString textOf(const ItemWindow& w, const QString& name) {
    if (auto* line = qobject_cast<QLineEdit*>(w.editor(name)))
        return line->text();
    if (auto* text = qobject_cast<QPlainTextEdit*>(w.editor(name)))
        return text->toPlainText();
    return QStringLiteral("<no text editor for %1>").arg(name);
}

void setText(const ItemWindow& w, const QString& name, const QString& value) {
    if (auto* line = qobject_cast<QLineEdit*>(w.editor(name)))
        line->setText(value);
    else if (auto* text = qobject_cast<QPlainTextEdit*>(w.editor(name)))
        text->setPlainText(value);
    else
        QTest::qFail(qPrintable(QStringLiteral("no text editor for ") + name), __FILE__, __LINE__);
}

ol::DateField* dateOf(const ItemWindow& w, const char* name) {
    return qobject_cast<ol::DateField*>(w.editor(QLatin1String(name)));
}

bool isPhoneProperty(const QString& name) {
    return name.endsWith(QLatin1String("TelephoneNumber")) || name.endsWith(QLatin1String("FaxNumber")) ||
           name == QLatin1String("ISDNNumber") || name == QLatin1String("PagerNumber") ||
           name == QLatin1String("TelexNumber");
}

} // namespace

class ItemWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir mDir;
    QString mStoreDir;
    ol::ApplicationPtr mApp;
    ol::NameSpacePtr mNs;
    ol::FolderPtr mContacts;
    ol::FolderPtr mCalendar;
    std::unique_ptr<qeltest::SeamScope> mSeams;

    // The item as a store opened afresh reads it.
    ol::ItemPtr reread(const ol::ItemPtr& item) {
        return ol::Application::create(mStoreDir)->GetNamespace()->GetItemFromID(item->EntryID());
    }

    ol::ItemPtr contact(const QVariantMap& values) {
        ol::ItemPtr c = mContacts->Items()->Add();
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            c->Set(it.key(), it.value());
        c->Save();
        return c;
    }

private Q_SLOTS:
    void init() {
        QVERIFY(mDir.isValid());
        mStoreDir = mDir.path() + QStringLiteral("/stores-") + QTest::currentTestFunction();
        mApp = ol::Application::create(mStoreDir);
        mNs = mApp->GetNamespace();
        mContacts = mNs->folderByPath(QStringLiteral("Personal Folders\\Contacts"));
        mCalendar = mNs->folderByPath(QStringLiteral("Personal Folders\\Calendar"));
        mSeams = std::make_unique<qeltest::SeamScope>();
    }
    void cleanup() {
        QVERIFY(mSeams->dialogs.verify());
        mSeams.reset();
        mContacts.reset();
        mCalendar.reset();
        mNs.reset();
        mApp.reset();
    }

    void contactWindowShowsEveryFieldUnderItsPropertyName() {
        QVariantMap values{{"FullName", "Dr. Ann B. Lee Jr."},
                           {"CompanyName", "Lee & Co"},
                           {"JobTitle", "Surgeon"},
                           {"Email1Address", "ann@lee.example"},
                           {"Email3Address", "a3@lee.example"},
                           {"WebPage", "https://lee.example"},
                           {"HomeAddress", "12 Elm Street\r\nSpringfield, IL 62701"},
                           {"Birthday", QDate(1971, 2, 3)},
                           {"Categories", "Work, Golf"},
                           {"User4", "fourth"},
                           {"Body", "line one\r\nline two"}};
        QStringList phones;
        for (int id = 0; id < ol::prop::Count; ++id) {
            const ol::PropertyDef& def = ol::propertyDef(id);
            if ((def.classes & ol::kContact) && isPhoneProperty(def.name)) {
                phones << def.name;
                values.insert(def.name, QStringLiteral("+1 555 %1").arg(id));
            }
        }
        QCOMPARE(phones.size(), 19);
        ItemWindow w(contact(values));

        QCOMPARE(w.windowTitle(), QStringLiteral("Dr. Ann B. Lee Jr."));
        for (const QString& phone : phones)
            QCOMPARE(textOf(w, phone), values.value(phone).toString());
        QCOMPARE(textOf(w, "FirstName"), QStringLiteral("Ann"));
        QCOMPARE(textOf(w, "Suffix"), QStringLiteral("Jr."));
        QCOMPARE(textOf(w, "FileAs"), QStringLiteral("Lee, Ann B."));
        QCOMPARE(textOf(w, "CompanyName"), QStringLiteral("Lee & Co"));
        QCOMPARE(textOf(w, "Email3Address"), QStringLiteral("a3@lee.example"));
        QCOMPARE(textOf(w, "HomeAddress"), QStringLiteral("12 Elm Street\nSpringfield, IL 62701"));
        QCOMPARE(textOf(w, "Body"), QStringLiteral("line one\nline two"));
        QCOMPARE(textOf(w, "Categories"), QStringLiteral("Work, Golf"));
        QCOMPARE(textOf(w, "User4"), QStringLiteral("fourth"));
        QCOMPARE(dateOf(w, "Birthday")->value(), QDateTime(QDate(1971, 2, 3), QTime(0, 0)));
        QVERIFY(!dateOf(w, "Anniversary")->hasValue());
        QCOMPARE(dateOf(w, "Anniversary")->edtValue->text(), QStringLiteral("None"));
        QCOMPARE(w.tabs->tabText(0), QStringLiteral("General"));
        QCOMPARE(w.tabs->tabText(w.tabs->count() - 1), QStringLiteral("Notes"));
        QVERIFY(!w.hasChanges());

        ItemWindow untitled(mContacts->Items()->Add());
        QCOMPARE(untitled.windowTitle(), QStringLiteral("Untitled - Contact"));
        ItemWindow appointment(mCalendar->Items()->Add());
        QCOMPARE(appointment.windowTitle(), QStringLiteral("Untitled - Appointment"));
    }

    void savedEditsReachTheStoreAndNothingElseIsRewritten() {
        // Parts that the store would split differently if their full texts were written again.
        ol::ItemPtr item = contact({{"FirstName", "Mary Ann"},
                                    {"LastName", "Smith"},
                                    {"BusinessAddressCity", "Paris"},
                                    {"BusinessAddressCountry", "France"},
                                    {"Email2Address", "keep@example.org"}});
        ItemWindow w(item);
        w.show();
        setText(w, "MobileTelephoneNumber", "0777 123456");
        setText(w, "HomeAddress", "1 High Street\nOxford OX1 1AA\nUnited Kingdom");
        setText(w, "User2", "second");
        setText(w, "Body", "Met at the fair.\nLikes tea.");
        w.cmdSave->click();
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QVERIFY(!w.isVisible());

        const ol::ItemPtr stored = reread(item);
        QCOMPARE(stored->Get("MobileTelephoneNumber").toString(), QStringLiteral("0777 123456"));
        QCOMPARE(stored->Get("HomeAddressCity").toString(), QStringLiteral("Oxford"));
        QCOMPARE(stored->Get("HomeAddressCountry").toString(), QStringLiteral("United Kingdom"));
        QCOMPARE(stored->Get("User2").toString(), QStringLiteral("second"));
        QVERIFY(stored->Get("Body").toString().startsWith(QLatin1String("Met at the fair.")));
        QCOMPARE(stored->Get("FirstName").toString(), QStringLiteral("Mary Ann"));
        QCOMPARE(stored->Get("MiddleName").toString(), QString());
        QCOMPARE(stored->Get("BusinessAddressCity").toString(), QStringLiteral("Paris"));
        QCOMPARE(stored->Get("BusinessAddressStreet").toString(), QString());
        QCOMPARE(stored->Get("Email2Address").toString(), QStringLiteral("keep@example.org"));
    }

    void nameFieldsFollowEachOtherAsTheStoreDerivesThem() {
        ol::ItemPtr item = contact({{"FullName", "Jane Doe"}});
        ItemWindow w(item);
        // Each keystroke in the full name splits it afresh: no part is left from an earlier text.
        setText(w, "FullName", "Dr. John Quincy Public");
        setText(w, "FullName", "Dr. John Q. Public");
        QCOMPARE(textOf(w, "Title"), QStringLiteral("Dr."));
        QCOMPARE(textOf(w, "FirstName"), QStringLiteral("John"));
        QCOMPARE(textOf(w, "MiddleName"), QStringLiteral("Q."));
        QCOMPARE(textOf(w, "LastName"), QStringLiteral("Public"));
        QCOMPARE(textOf(w, "FileAs"), QStringLiteral("Public, John Q."));
        QCOMPARE(w.windowTitle(), QStringLiteral("Dr. John Q. Public"));
        setText(w, "LastName", "Citizen");
        QCOMPARE(textOf(w, "FullName"), QStringLiteral("Dr. John Q. Citizen"));
        QCOMPARE(textOf(w, "FileAs"), QStringLiteral("Citizen, John Q."));
        w.cmdSave->click();
        ol::ItemPtr stored = reread(item);
        QCOMPARE(stored->Get("FullName").toString(), QStringLiteral("Dr. John Q. Citizen"));
        QCOMPARE(stored->Get("FileAs").toString(), QStringLiteral("Citizen, John Q."));
        QCOMPARE(stored->Subject(), QStringLiteral("Dr. John Q. Citizen"));

        // A file-as the user typed stays what they typed when the name changes after it.
        ItemWindow again(item);
        setText(again, "FileAs", "Johnny");
        setText(again, "FirstName", "Jon");
        QCOMPARE(textOf(again, "FileAs"), QStringLiteral("Johnny"));
        again.cmdSave->click();
        stored = reread(item);
        QCOMPARE(stored->Get("FileAs").toString(), QStringLiteral("Johnny"));
        QCOMPARE(stored->Get("FullName").toString(), QStringLiteral("Dr. Jon Q. Citizen"));

        // A changed part is written as a part: the full name is not split again.
        ol::ItemPtr mary = contact({{"FirstName", "Mary Ann"}, {"LastName", "Smith"}});
        ItemWindow parts(mary);
        setText(parts, "LastName", "Jones");
        QCOMPARE(textOf(parts, "FullName"), QStringLiteral("Mary Ann Jones"));
        parts.cmdSave->click();
        stored = reread(mary);
        QCOMPARE(stored->Get("FirstName").toString(), QStringLiteral("Mary Ann"));
        QCOMPARE(stored->Get("MiddleName").toString(), QString());
        QCOMPARE(stored->Get("LastName").toString(), QStringLiteral("Jones"));
    }

    void cancelAsksAboutUnsavedChangesAndKeepsTheStore() {
        ol::ItemPtr item = contact({{"FullName", "Ann Lee"}, {"JobTitle", "Clerk"}});
        auto& dialogs = mSeams->dialogs;
        {
            // Nothing changed: Cancel closes without asking.
            ItemWindow w(item);
            w.show();
            w.cmdCancel->click();
            QVERIFY(!w.isVisible());
            QCOMPARE(w.result(), int(QDialog::Rejected));
            QVERIFY(dialogs.prompts().isEmpty());
        }
        ItemWindow w(item);
        w.show();
        setText(w, "JobTitle", "Director");
        // Cancel in the question: the window stays with the edit.
        dialogs.expectQuestion(QStringLiteral("Do you want to save changes?"), qel::MsgResult::Cancel);
        w.cmdCancel->click();
        QVERIFY(w.isVisible());
        QCOMPARE(textOf(w, "JobTitle"), QStringLiteral("Director"));
        // Closing the window asks the same; No closes without saving.
        dialogs.expectQuestion(QStringLiteral("Do you want to save changes?"), qel::MsgResult::No);
        w.close();
        QVERIFY(!w.isVisible());
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QCOMPARE(dialogs.prompts().last().buttons, qel::MsgButtons::YesNoCancel);
        QCOMPARE(reread(item)->Get("JobTitle").toString(), QStringLiteral("Clerk"));
        QCOMPARE(item->Get("JobTitle").toString(), QStringLiteral("Clerk"));

        // Yes saves and closes.
        ItemWindow yes(item);
        yes.show();
        setText(yes, "JobTitle", "Manager");
        dialogs.expectQuestion(QStringLiteral("Do you want to save changes?"), qel::MsgResult::Yes);
        yes.cmdCancel->click();
        QVERIFY(!yes.isVisible());
        QCOMPARE(yes.result(), int(QDialog::Accepted));
        QCOMPARE(reread(item)->Get("JobTitle").toString(), QStringLiteral("Manager"));
    }

    void datesStayEmptyUnlessTheUserSetsOne() {
        ol::ItemPtr item = contact({{"FullName", "Ann Lee"}, {"Anniversary", QDate(2001, 6, 9)}});
        ItemWindow w(item);
        ol::DateField* birthday = dateOf(w, "Birthday");
        // Ticking and unticking again is no change.
        birthday->chkSet->setChecked(true);
        QCOMPARE(birthday->value(), QDateTime(QDate(2024, 1, 15), QTime(0, 0))); // the clock's today
        QVERIFY(w.hasChanges());
        birthday->chkSet->setChecked(false);
        QVERIFY(!w.hasChanges());
        setText(w, "User1", "first");
        w.cmdSave->click();
        ol::ItemPtr stored = reread(item);
        QVERIFY(!stored->isSet(ol::prop::Birthday));
        QVERIFY(!stored->Get("Birthday").toDateTime().isValid());
        QCOMPARE(stored->Get("Anniversary").toDateTime(), QDateTime(QDate(2001, 6, 9), QTime(0, 0)));

        // A date set is stored; one cleared is removed.
        ItemWindow again(item);
        dateOf(again, "Birthday")->chkSet->setChecked(true);
        dateOf(again, "Birthday")->edtValue->setDate(QDate(1980, 5, 17));
        dateOf(again, "Anniversary")->chkSet->setChecked(false);
        again.cmdSave->click();
        stored = reread(item);
        QCOMPARE(stored->Get("Birthday").toDateTime(), QDateTime(QDate(1980, 5, 17), QTime(0, 0)));
        QVERIFY(!stored->isSet(ol::prop::Anniversary));
    }

    void saveFailureKeepsTheWindowOpenWithTheEdits() {
        ol::ItemPtr item = contact({{"FullName", "Ann Lee"}, {"JobTitle", "Clerk"}});
        ItemWindow w(item);
        w.show();
        mNs->GetItemFromID(item->EntryID())->Delete(); // gone meanwhile
        setText(w, "JobTitle", "Director");
        mSeams->dialogs.expectMessage(QStringLiteral("Your changes could not be saved: "));
        w.cmdSave->click();
        QVERIFY(w.isVisible());
        QCOMPARE(textOf(w, "JobTitle"), QStringLiteral("Director"));
        QVERIFY(w.hasChanges());
        QCOMPARE(item->Get("JobTitle").toString(), QStringLiteral("Clerk")); // the handle as it was
        QCOMPARE(mContacts->Items()->Count(), 0);

        // An appointment ending before it starts is refused before anything is written.
        ol::ItemPtr meeting = mCalendar->Items()->Add();
        meeting->Set("Start", QDateTime(QDate(2024, 3, 4), QTime(10, 0)));
        meeting->Save();
        ItemWindow m(meeting);
        m.show();
        dateOf(m, "End")->edtValue->setDateTime(QDateTime(QDate(2024, 3, 4), QTime(9, 0)));
        mSeams->dialogs.expectMessage(
            QStringLiteral("The end time you entered occurs before the start time."));
        m.cmdSave->click();
        QVERIFY(m.isVisible());
        QCOMPARE(reread(meeting)->Get("End").toDateTime(), QDateTime(QDate(2024, 3, 4), QTime(10, 30)));
    }

    void appointmentShowsItsLabelAndKeepsItOnSave() {
        ol::ItemPtr plain = mCalendar->Items()->Add();
        plain->Set("Subject", "Plain");
        plain->Save();
        QCOMPARE(ItemWindow(plain).lblLabel->text(), QStringLiteral("none"));

        ol::ItemPtr meeting = mCalendar->Items()->Add();
        meeting->Set("Subject", "Dentist");
        meeting->Save();
        auto session = ol::MapiSession::create(mApp);
        session->Logon();
        auto message = session->GetMessage(meeting->EntryID(), mCalendar->StoreID());
        ol::setLabelField(*message, 3);
        message->Update();
        session->Logoff();

        // The window shows what the store holds, and a save there leaves the label as it was.
        ItemWindow w(reread(meeting));
        QCOMPARE(w.lblLabel->text(), QStringLiteral("green"));
        QVERIFY(w.lblLabel->styleSheet().contains(ol::labelColour(3)));
        setText(w, "Subject", "Dentist at 10");
        w.cmdSave->click();
        const ol::ItemPtr stored = reread(meeting);
        QCOMPARE(stored->Subject(), QStringLiteral("Dentist at 10"));
        QCOMPARE(ol::labelOf(*stored), QVariant(3));
    }

    void appointmentTimesReminderAndRecurrence() {
        ol::ItemPtr meeting = mCalendar->Items()->Add();
        meeting->Set("Subject", "Review");
        meeting->Set("Location", "Room 4");
        meeting->Set("Start", QDateTime(QDate(2024, 3, 4), QTime(10, 0)));
        meeting->Set("End", QDateTime(QDate(2024, 3, 4), QTime(11, 30)));
        meeting->Set("ReminderSet", true);
        meeting->GetRecurrencePattern()->Set("Occurrences", 6);
        meeting->GetRecurrencePattern()->Set("NoEndDate", false);
        meeting->Save();

        ItemWindow w(meeting);
        QCOMPARE(w.windowTitle(), QStringLiteral("Review"));
        QCOMPARE(textOf(w, "Location"), QStringLiteral("Room 4"));
        QCOMPARE(w.lblRecurrence->text(),
                 QStringLiteral("Occurs every week on Monday effective 03/04/2024 for 6 "
                                "occurrences from 10:00 AM to 11:30 AM."));
        // The end follows the start.
        dateOf(w, "Start")->edtValue->setDateTime(QDateTime(QDate(2024, 3, 5), QTime(14, 0)));
        QCOMPARE(dateOf(w, "End")->value(), QDateTime(QDate(2024, 3, 5), QTime(15, 30)));
        auto* minutes = qobject_cast<QSpinBox*>(w.editor("ReminderMinutesBeforeStart"));
        minutes->setValue(30);
        setText(w, "Subject", "");
        QCOMPARE(w.windowTitle(), QStringLiteral("Untitled - Appointment"));
        setText(w, "Subject", "Review 2");
        w.cmdSave->click();
        ol::ItemPtr stored = reread(meeting);
        QCOMPARE(stored->Get("Start").toDateTime(), QDateTime(QDate(2024, 3, 5), QTime(14, 0)));
        QCOMPARE(stored->Get("End").toDateTime(), QDateTime(QDate(2024, 3, 5), QTime(15, 30)));
        QCOMPARE(stored->Get("Duration").toInt(), 90);
        QCOMPARE(stored->Get("ReminderMinutesBeforeStart").toInt(), 30);
        QCOMPARE(stored->Subject(), QStringLiteral("Review 2"));
        QVERIFY(stored->hasRecurrencePattern());

        // All day: dates only, the last day shown; stored from midnight to the midnight after.
        ItemWindow day(meeting);
        auto* allDay = qobject_cast<QCheckBox*>(day.editor("AllDayEvent"));
        allDay->setChecked(true);
        QVERIFY(!dateOf(day, "End")->timeShown());
        QCOMPARE(dateOf(day, "End")->value(), QDateTime(QDate(2024, 3, 5), QTime(0, 0)));
        dateOf(day, "End")->edtValue->setDate(QDate(2024, 3, 6));
        qobject_cast<QCheckBox*>(day.editor("ReminderSet"))->setChecked(false);
        QVERIFY(!day.editor("ReminderMinutesBeforeStart")->isEnabled());
        day.cmdSave->click();
        stored = reread(meeting);
        QVERIFY(stored->Get("AllDayEvent").toBool());
        QVERIFY(!stored->Get("ReminderSet").toBool());
        QCOMPARE(stored->Get("Start").toDateTime(), QDateTime(QDate(2024, 3, 5), QTime(0, 0)));
        QCOMPARE(stored->Get("End").toDateTime(), QDateTime(QDate(2024, 3, 7), QTime(0, 0)));
        // Reopened, it shows the same last day and has nothing to save.
        ItemWindow reopened(stored);
        QCOMPARE(dateOf(reopened, "End")->value(), QDateTime(QDate(2024, 3, 6), QTime(0, 0)));
        QVERIFY(!reopened.hasChanges());
    }

    void categoriesButtonAndStoreUiGoThroughTheDialogsSeam() {
        contact({{"FullName", "Other"}, {"Categories", "Golf"}});
        ol::ItemPtr item = contact({{"FullName", "Ann Lee"}, {"Categories", "Work"}});
        mApp->setUi(std::make_shared<ol::WidgetStoreUi>());
        // The window runs modally; its categories picker only fills the line until the window saves.
        mSeams->dialogs.expectExec(
            [&](QDialog& dialog) {
                auto& w = dynamic_cast<ItemWindow&>(dialog);
                w.cmdCategories->click();
                if (reread(item)->Get("Categories").toString() != QLatin1String("Work"))
                    return 99;
                setText(w, "Email1Address", "ann@example.org");
                w.cmdSave->click();
                return w.result();
            },
            QStringLiteral("ItemWindow"));
        mSeams->dialogs.expectExec(
            [](QDialog& dialog) {
                auto& picker = dynamic_cast<ol::CategoriesDialog&>(dialog);
                picker.lstCategories->findItems(QStringLiteral("Golf"), Qt::MatchExactly)
                    .value(0)
                    ->setCheckState(Qt::Checked);
                picker.cmdOK->click();
                return picker.result();
            },
            QStringLiteral("CategoriesDialog"));
        item->Display();
        const ol::ItemPtr stored = reread(item);
        QCOMPARE(stored->Get("Categories").toString(), QStringLiteral("Golf, Work"));
        QCOMPARE(stored->Get("Email1Address").toString(), QStringLiteral("ann@example.org"));

        // A new item is created by its window.
        ol::ItemPtr fresh = mContacts->Items()->Add();
        mSeams->dialogs.expectExec([](QDialog& dialog) {
            auto& w = dynamic_cast<ItemWindow&>(dialog);
            setText(w, "FullName", "New Person");
            w.cmdSave->click();
            return w.result();
        });
        fresh->Display();
        QCOMPARE(reread(fresh)->Subject(), QStringLiteral("New Person"));
        QCOMPARE(mContacts->Items()->Count(), 3);
    }
};

QEL_TEST_MAIN(ItemWindowTest)
#include "test_item_window.moc"
