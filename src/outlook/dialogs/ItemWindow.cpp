#include "ItemWindow.h"

#include "CategoriesDialog.h"
#include "DateField.h"
#include "platform/Dialogs.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace ol {

namespace {

struct Labelled {
    int id;
    const char* caption;
};

const Labelled kNameFields[] = {{prop::FullName, "Full name:"},
                                {prop::JobTitle, "Job title:"},
                                {prop::CompanyName, "Company:"},
                                {prop::FileAs, "File as:"}};
const Labelled kInternetFields[] = {{prop::Email1Address, "E-mail:"},
                                    {prop::Email2Address, "E-mail 2:"},
                                    {prop::Email3Address, "E-mail 3:"},
                                    {prop::WebPage, "Web page:"}};
const Labelled kAddressFields[] = {
    {prop::BusinessAddress, "Business:"}, {prop::HomeAddress, "Home:"}, {prop::OtherAddress, "Other:"}};
const Labelled kWorkPhones[] = {{prop::BusinessTelephoneNumber, "Business:"},
                                {prop::Business2TelephoneNumber, "Business 2:"},
                                {prop::BusinessFaxNumber, "Business fax:"},
                                {prop::CompanyMainTelephoneNumber, "Company main:"},
                                {prop::AssistantTelephoneNumber, "Assistant:"},
                                {prop::CallbackTelephoneNumber, "Callback:"},
                                {prop::PrimaryTelephoneNumber, "Primary:"},
                                {prop::TelexNumber, "Telex:"},
                                {prop::ISDNNumber, "ISDN:"},
                                {prop::TTYTDDTelephoneNumber, "TTY/TDD:"}};
const Labelled kOtherPhones[] = {
    {prop::HomeTelephoneNumber, "Home:"},   {prop::Home2TelephoneNumber, "Home 2:"},
    {prop::HomeFaxNumber, "Home fax:"},     {prop::MobileTelephoneNumber, "Mobile:"},
    {prop::CarTelephoneNumber, "Car:"},     {prop::PagerNumber, "Pager:"},
    {prop::RadioTelephoneNumber, "Radio:"}, {prop::OtherTelephoneNumber, "Other:"},
    {prop::OtherFaxNumber, "Other fax:"}};
const Labelled kNameParts[] = {{prop::Title, "Title:"},
                               {prop::FirstName, "First:"},
                               {prop::MiddleName, "Middle:"},
                               {prop::LastName, "Last:"},
                               {prop::Suffix, "Suffix:"}};
const Labelled kDates[] = {{prop::Birthday, "Birthday:"}, {prop::Anniversary, "Anniversary:"}};
const Labelled kUserFields[] = {
    {prop::User1, "User 1:"}, {prop::User2, "User 2:"}, {prop::User3, "User 3:"}, {prop::User4, "User 4:"}};

const int kNameIds[] = {prop::FullName,   prop::Title,    prop::FirstName,
                        prop::MiddleName, prop::LastName, prop::Suffix};

bool isNamePart(int id) {
    return id == prop::Title || id == prop::FirstName || id == prop::MiddleName || id == prop::LastName ||
           id == prop::Suffix;
}

// The order changed properties are written in. The store derives a name's parts from the full
// name, file-as from the name and company, and an appointment's times from all-day and start;
// what the user set explicitly is written after whatever it could be derived from.
int writeRank(int id) {
    switch (id) {
    case prop::FullName:
    case prop::AllDayEvent:
        return 0;
    case prop::Title:
    case prop::FirstName:
    case prop::MiddleName:
    case prop::LastName:
    case prop::Suffix:
    case prop::Start:
        return 1;
    case prop::CompanyName:
    case prop::End:
        return 2;
    case prop::FileAs:
        return 3;
    default:
        return 4;
    }
}

QString kindCaption(ItemClass cls) {
    switch (cls) {
    case kContact:
        return QStringLiteral("Contact");
    case kAppointment:
        return QStringLiteral("Appointment");
    case kDistList:
        return QStringLiteral("Distribution List");
    case kTask:
        return QStringLiteral("Task");
    case kNote:
        return QStringLiteral("Note");
    default:
        return QStringLiteral("Message");
    }
}

// The store keeps "\r\n" line breaks; the editors work with "\n".
QString editorText(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QGroupBox* formGroup(const QString& title, QFormLayout*& form, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    form = new QFormLayout(box);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    return box;
}

QString dayNames(int mask) {
    // Bit 0 is Sunday, bit 6 Saturday.
    const QLocale c = QLocale::c();
    QStringList names;
    for (int bit = 0; bit < 7; ++bit) {
        if (mask & (1 << bit))
            names << c.dayName(bit == 0 ? 7 : bit);
    }
    if (names.size() > 1)
        return names.mid(0, names.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") +
               names.last();
    return names.value(0, QStringLiteral("no day"));
}

QString ordinal(int instance) {
    static const char* const words[] = {"first", "second", "third", "fourth", "last"};
    return QLatin1String(words[std::clamp(instance, 1, 5) - 1]);
}

} // namespace

ItemWindow::ItemWindow(const ItemPtr& item, QWidget* parent)
    : QDialog(parent), mItem(item), mClass(item->Class()) {
    setObjectName(QStringLiteral("ItemWindow"));
    setSizeGripEnabled(true);

    QWidget* body = nullptr;
    if (mClass == kContact)
        body = buildContact();
    else if (mClass == kAppointment)
        body = buildAppointment();
    else
        body = buildOther();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(body, 1);
    layout->addWidget(buildCategoriesRow());
    layout->addLayout(buildButtons());

    std::stable_sort(mFields.begin(), mFields.end(),
                     [](const Field& a, const Field& b) { return writeRank(a.id) < writeRank(b.id); });
    loadValues();
    updateTitle(mItem->Subject());
    resize(sizeHint().expandedTo(mClass == kContact ? QSize(720, 480) : QSize(560, 460)));
}

// --- Building -----------------------------------------------------------------------------------

QWidget* ItemWindow::buildContact() {
    tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabs"));
    QFormLayout* form = nullptr;

    auto* general = new QWidget;
    auto* left = new QVBoxLayout;
    QGroupBox* names = formGroup(QStringLiteral("Name"), form, general);
    for (const Labelled& f : kNameFields)
        form->addRow(QString::fromLatin1(f.caption), addLine(f.id));
    left->addWidget(names);
    QGroupBox* internet = formGroup(QStringLiteral("Internet"), form, general);
    for (const Labelled& f : kInternetFields)
        form->addRow(QString::fromLatin1(f.caption), addLine(f.id));
    left->addWidget(internet);
    left->addStretch(1);
    QGroupBox* addresses = formGroup(QStringLiteral("Addresses"), form, general);
    for (const Labelled& f : kAddressFields)
        form->addRow(QString::fromLatin1(f.caption), addText(f.id, 4));
    auto* right = new QVBoxLayout;
    right->addWidget(addresses);
    right->addStretch(1);
    auto* columns = new QHBoxLayout(general);
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    tabs->addTab(general, QStringLiteral("General"));

    auto* phones = new QWidget;
    QGroupBox* work = formGroup(QStringLiteral("Work"), form, phones);
    for (const Labelled& f : kWorkPhones)
        form->addRow(QString::fromLatin1(f.caption), addLine(f.id));
    QGroupBox* personal = formGroup(QStringLiteral("Home and other"), form, phones);
    for (const Labelled& f : kOtherPhones)
        form->addRow(QString::fromLatin1(f.caption), addLine(f.id));
    auto* phoneColumns = new QHBoxLayout(phones);
    phoneColumns->addWidget(work, 1, Qt::AlignTop);
    phoneColumns->addWidget(personal, 1, Qt::AlignTop);
    tabs->addTab(phones, QStringLiteral("Phone Numbers"));

    auto* details = new QWidget;
    QGroupBox* parts = formGroup(QStringLiteral("Name details"), form, details);
    for (const Labelled& f : kNameParts)
        form->addRow(QString::fromLatin1(f.caption), addLine(f.id));
    QGroupBox* dates = formGroup(QStringLiteral("Dates"), form, details);
    for (const Labelled& f : kDates)
        form->addRow(QString::fromLatin1(f.caption), addDate(f.id, false));
    QGroupBox* user = formGroup(QStringLiteral("User fields"), form, details);
    for (const Labelled& f : kUserFields)
        form->addRow(QString::fromLatin1(f.caption), addLine(f.id));
    auto* detailsLeft = new QVBoxLayout;
    detailsLeft->addWidget(parts);
    detailsLeft->addStretch(1);
    auto* detailsRight = new QVBoxLayout;
    detailsRight->addWidget(dates);
    detailsRight->addWidget(user);
    detailsRight->addStretch(1);
    auto* detailColumns = new QHBoxLayout(details);
    detailColumns->addLayout(detailsLeft, 1);
    detailColumns->addLayout(detailsRight, 1);
    tabs->addTab(details, QStringLiteral("Details"));

    auto* notes = new QWidget;
    auto* notesLayout = new QVBoxLayout(notes);
    notesLayout->addWidget(addText(prop::Body, 0));
    tabs->addTab(notes, QStringLiteral("Notes"));
    return tabs;
}

QWidget* ItemWindow::buildAppointment() {
    auto* page = new QWidget(this);
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->addRow(QStringLiteral("Subject:"), addLine(prop::Subject));
    form->addRow(QStringLiteral("Location:"), addLine(prop::Location));

    auto* startRow = new QHBoxLayout;
    startRow->addWidget(addDate(prop::Start, true), 1);
    startRow->addWidget(addCheck(prop::AllDayEvent, QStringLiteral("All day event")));
    form->addRow(QStringLiteral("Start time:"), startRow);
    auto* endRow = new QHBoxLayout;
    endRow->addWidget(addDate(prop::End, true), 1);
    endRow->addStretch(0);
    form->addRow(QStringLiteral("End time:"), endRow);

    auto* reminderRow = new QHBoxLayout;
    reminderRow->addWidget(addCheck(prop::ReminderSet, QStringLiteral("Remind me")));
    QSpinBox* minutes = addSpin(prop::ReminderMinutesBeforeStart, 0, 4 * 7 * 24 * 60);
    minutes->setSuffix(QStringLiteral(" minutes before the start"));
    reminderRow->addWidget(minutes);
    reminderRow->addStretch(1);
    form->addRow(QStringLiteral("Reminder:"), reminderRow);

    lblRecurrence = new QLabel(recurrenceText(mItem), page);
    lblRecurrence->setObjectName(QStringLiteral("IsRecurring"));
    lblRecurrence->setWordWrap(true);
    lblRecurrence->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(QStringLiteral("Recurrence:"), lblRecurrence);

    lblLabel = new QLabel(page);
    lblLabel->setObjectName(QStringLiteral("lblLabel"));
    const QVariant label = labelOf(*mItem);
    const int value = label.isValid() ? label.toInt() : 0;
    lblLabel->setText(labelName(value).isEmpty() ? QString::number(value) : labelName(value));
    if (value > 0 && value < kLabelCount) {
        lblLabel->setStyleSheet(QStringLiteral("QLabel { background: %1; color: black; padding: 1px 8px; }")
                                    .arg(labelColour(value)));
    }
    lblLabel->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    form->addRow(QStringLiteral("Label:"), lblLabel);

    return withNotes(page, form);
}

QWidget* ItemWindow::withNotes(QWidget* page, QFormLayout* form) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("Notes:"), page));
    layout->addWidget(addText(prop::Body, 0), 1);
    return page;
}

QWidget* ItemWindow::buildOther() {
    auto* page = new QWidget(this);
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->addRow(QStringLiteral("Subject:"), addLine(prop::Subject));
    return withNotes(page, form);
}

QWidget* ItemWindow::buildCategoriesRow() {
    auto* row = new QWidget(this);
    cmdCategories = new QPushButton(QStringLiteral("Categories..."), row);
    cmdCategories->setObjectName(QStringLiteral("cmdCategories"));
    cmdCategories->setAutoDefault(false);
    txtCategories = addLine(prop::Categories);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(cmdCategories);
    layout->addWidget(txtCategories, 1);
    connect(cmdCategories, &QPushButton::clicked, this, &ItemWindow::cmdCategories_Click);
    return row;
}

QLayout* ItemWindow::buildButtons() {
    cmdSave = new QPushButton(QStringLiteral("Save && Close"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdSave->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    connect(cmdSave, &QPushButton::clicked, this, &ItemWindow::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &ItemWindow::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);
    return buttons;
}

QLineEdit* ItemWindow::addLine(int id) {
    auto* line = new QLineEdit(this);
    bind(id, line);
    connect(line, &QLineEdit::textChanged, this, [this, id] { edited(id); });
    return line;
}

QPlainTextEdit* ItemWindow::addText(int id, int lines) {
    auto* text = new QPlainTextEdit(this);
    if (lines > 0) {
        text->setTabChangesFocus(true);
        text->setFixedHeight(text->fontMetrics().lineSpacing() * lines + 2 * text->frameWidth() +
                             int(2 * text->document()->documentMargin()));
    }
    bind(id, text);
    connect(text, &QPlainTextEdit::textChanged, this, [this, id] { edited(id); });
    return text;
}

DateField* ItemWindow::addDate(int id, bool withTime) {
    auto* date = new DateField(withTime, this);
    bind(id, date);
    connect(date, &DateField::valueChanged, this, [this, id] { edited(id); });
    return date;
}

QCheckBox* ItemWindow::addCheck(int id, const QString& caption) {
    auto* check = new QCheckBox(caption, this);
    bind(id, check);
    connect(check, &QCheckBox::toggled, this, [this, id] { edited(id); });
    return check;
}

QSpinBox* ItemWindow::addSpin(int id, int minimum, int maximum) {
    auto* spin = new QSpinBox(this);
    spin->setRange(minimum, maximum);
    bind(id, spin);
    connect(spin, &QSpinBox::valueChanged, this, [this, id] { edited(id); });
    return spin;
}

void ItemWindow::bind(int id, QWidget* editor) {
    editor->setObjectName(propertyDef(id).name);
    mFields.push_back({id, editor, QVariant()});
}

void ItemWindow::loadValues() {
    mLoading = true;
    if (mClass == kAppointment) {
        // The time is hidden first, so that End is shown as an all-day appointment's last day.
        const bool wholeDays = mItem->get(prop::AllDayEvent).toBool();
        static_cast<DateField*>(editor(QStringLiteral("Start")))->setTimeShown(!wholeDays);
        static_cast<DateField*>(editor(QStringLiteral("End")))->setTimeShown(!wholeDays);
        setEditorValue(prop::AllDayEvent, wholeDays);
    }
    for (const Field& f : mFields) {
        QVariant value = mItem->get(f.id);
        const PropType type = propertyDef(f.id).type;
        if (type == PropType::Text || type == PropType::Keywords)
            value = editorText(value.toString());
        setEditorValue(f.id, value);
    }
    for (Field& f : mFields)
        f.original = current(f);
    if (auto* minutes = editor(QStringLiteral("ReminderMinutesBeforeStart")))
        minutes->setEnabled(mItem->get(prop::ReminderSet).toBool());
    measureAppointment();
    mLoading = false;
}

// --- Values -------------------------------------------------------------------------------------

QWidget* ItemWindow::editor(const QString& propertyName) const {
    const PropertyDef* def = findProperty(propertyName);
    const Field* f = def ? field(def->id) : nullptr;
    return f ? f->editor : nullptr;
}

const ItemWindow::Field* ItemWindow::field(int id) const {
    for (const Field& f : mFields) {
        if (f.id == id)
            return &f;
    }
    return nullptr;
}

bool ItemWindow::allDay() const {
    const Field* f = field(prop::AllDayEvent);
    return f && static_cast<QCheckBox*>(f->editor)->isChecked();
}

QDateTime ItemWindow::shownEnd(bool allDayShown) const {
    const Field* f = field(prop::End);
    const QDateTime shown = f ? static_cast<DateField*>(f->editor)->value() : QDateTime();
    // An all-day appointment shows its last day; it ends at the midnight after it.
    if (shown.isValid() && allDayShown)
        return QDateTime(shown.date().addDays(1), QTime(0, 0));
    return shown;
}

QVariant ItemWindow::current(const Field& f) const {
    if (auto* line = qobject_cast<QLineEdit*>(f.editor))
        return line->text();
    if (auto* text = qobject_cast<QPlainTextEdit*>(f.editor))
        return text->toPlainText();
    if (auto* date = qobject_cast<DateField*>(f.editor))
        return f.id == prop::End ? shownEnd(allDay()) : date->value();
    if (auto* check = qobject_cast<QCheckBox*>(f.editor))
        return check->isChecked();
    if (auto* spin = qobject_cast<QSpinBox*>(f.editor))
        return spin->value();
    return {};
}

void ItemWindow::setEditorValue(int id, const QVariant& value) {
    const Field* f = field(id);
    if (!f)
        return;
    const bool wasLoading = mLoading;
    mLoading = true;
    if (auto* line = qobject_cast<QLineEdit*>(f->editor)) {
        if (line->text() != value.toString())
            line->setText(value.toString());
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(f->editor)) {
        text->setPlainText(value.toString());
    } else if (auto* date = qobject_cast<DateField*>(f->editor)) {
        QDateTime shown = value.toDateTime();
        if (id == prop::End && shown.isValid() && allDay()) {
            // The last day of an all-day appointment: the day before the midnight it ends at,
            // never before its first day.
            QDate last = shown.addSecs(-1).date();
            const QDateTime start = static_cast<DateField*>(field(prop::Start)->editor)->value();
            if (start.isValid() && last < start.date())
                last = start.date();
            shown = QDateTime(last, QTime(0, 0));
        }
        date->setValue(shown);
    } else if (auto* check = qobject_cast<QCheckBox*>(f->editor)) {
        check->setChecked(value.toBool());
    } else if (auto* spin = qobject_cast<QSpinBox*>(f->editor)) {
        spin->setValue(value.toInt());
    }
    mLoading = wasLoading;
}

bool ItemWindow::changed(const Field& f) const {
    return current(f) != f.original;
}

bool ItemWindow::hasChanges() const {
    return std::any_of(mFields.begin(), mFields.end(), [this](const Field& f) { return changed(f); });
}

void ItemWindow::applyChanges(Item& target) const {
    for (const Field& f : mFields) {
        if (!changed(f))
            continue;
        // The full name and its parts are kept in step: whichever the user typed in last is
        // written, and the store derives the other from it.
        if (f.id == prop::FullName && mNameSource == NameSource::Parts)
            continue;
        if (isNamePart(f.id) && mNameSource == NameSource::FullName)
            continue;
        // A file-as the user did not type is the store's to derive.
        if (f.id == prop::FileAs && !mFileAsTyped)
            continue;
        target.set(f.id, current(f));
    }
}

// --- Reacting to edits --------------------------------------------------------------------------

void ItemWindow::edited(int id) {
    if (mLoading)
        return;
    if (mClass == kContact) {
        if (id == prop::FullName || isNamePart(id) || id == prop::CompanyName || id == prop::FileAs)
            refreshNames(id);
        return;
    }
    switch (id) {
    case prop::Subject:
        updateTitle(static_cast<QLineEdit*>(field(id)->editor)->text());
        break;
    case prop::Start:
        startMoved();
        break;
    case prop::End:
        measureAppointment();
        break;
    case prop::AllDayEvent:
        allDayToggled(allDay());
        break;
    case prop::ReminderSet:
        editor(QStringLiteral("ReminderMinutesBeforeStart"))
            ->setEnabled(static_cast<QCheckBox*>(field(id)->editor)->isChecked());
        break;
    default:
        break;
    }
}

void ItemWindow::refreshNames(int sourceId) {
    if (sourceId == prop::FullName)
        mNameSource = NameSource::FullName;
    else if (isNamePart(sourceId))
        mNameSource = NameSource::Parts;
    else if (sourceId == prop::FileAs)
        mFileAsTyped = true;

    // A copy of the item with the edits applied shows what saving will make of them.
    Item preview = *mItem;
    try {
        applyChanges(preview);
    } catch (const Error&) {
        return; // what cannot be applied now is reported on saving
    }
    for (int id : kNameIds) {
        if (id != sourceId)
            setEditorValue(id, preview.get(id));
    }
    if (!mFileAsTyped)
        setEditorValue(prop::FileAs, preview.get(prop::FileAs));
    updateTitle(preview.Subject());
}

void ItemWindow::measureAppointment() {
    mAppointmentLength = -1;
    const Field* start = field(prop::Start);
    const Field* end = field(prop::End);
    if (!start || !end)
        return;
    const QDateTime from = current(*start).toDateTime();
    const QDateTime to = current(*end).toDateTime();
    if (from.isValid() && to.isValid() && from <= to)
        mAppointmentLength = from.secsTo(to);
}

void ItemWindow::startMoved() {
    // The end follows the start, keeping the appointment's length.
    const QDateTime start = current(*field(prop::Start)).toDateTime();
    if (start.isValid() && mAppointmentLength >= 0)
        setEditorValue(prop::End, start.addSecs(mAppointmentLength));
    else
        measureAppointment();
}

void ItemWindow::allDayToggled(bool wholeDays) {
    auto* start = static_cast<DateField*>(field(prop::Start)->editor);
    auto* end = static_cast<DateField*>(field(prop::End)->editor);
    const QDateTime oldEnd = shownEnd(!wholeDays); // as shown before the box changed
    start->setTimeShown(!wholeDays);
    end->setTimeShown(!wholeDays);
    const QDateTime from = start->value();
    if (wholeDays && from.isValid()) {
        // As the store makes it: from midnight, for at least one whole day.
        const QDateTime midnight(from.date(), QTime(0, 0));
        setEditorValue(prop::Start, midnight);
        if (oldEnd.isValid()) {
            const qint64 minutes = std::max<qint64>(0, from.secsTo(oldEnd) / 60);
            setEditorValue(prop::End,
                           midnight.addSecs(std::max<qint64>(1440, minutes - minutes % 1440) * 60));
        }
    } else {
        setEditorValue(prop::End, oldEnd);
    }
    measureAppointment();
}

QString ItemWindow::validate() const {
    if (mClass != kAppointment)
        return {};
    const QDateTime start = current(*field(prop::Start)).toDateTime();
    const QDateTime end = current(*field(prop::End)).toDateTime();
    if (start.isValid() && end.isValid() && (end < start || (allDay() && end == start)))
        return QStringLiteral("The end time you entered occurs before the start time.");
    return {};
}

void ItemWindow::updateTitle(const QString& subject) {
    setWindowTitle(subject.trimmed().isEmpty() ? QStringLiteral("Untitled - ") + kindCaption(mClass)
                                               : subject);
}

// --- Buttons ------------------------------------------------------------------------------------

bool ItemWindow::save() {
    const QString problem = validate();
    if (!problem.isEmpty()) {
        qel::dialogs().message(problem, windowTitle(), qel::MsgIcon::Exclamation);
        return false;
    }
    if (!hasChanges() && mItem->Saved())
        return true;
    const Item before = *mItem;
    try {
        applyChanges(*mItem);
        mItem->Save();
    } catch (const Error& e) {
        // The handle goes back to what it held, so that Cancel afterwards leaves it untouched;
        // the editors keep the user's changes for another try.
        *mItem = before;
        qel::dialogs().message(QStringLiteral("Your changes could not be saved: ") + e.message(),
                               windowTitle(), qel::MsgIcon::Exclamation);
        return false;
    }
    for (Field& f : mFields)
        f.original = current(f);
    return true;
}

void ItemWindow::cmdSave_Click() {
    if (save())
        accept();
}

void ItemWindow::reject() {
    if (hasChanges()) {
        switch (qel::dialogs().ask(QStringLiteral("Do you want to save changes?"),
                                   qel::MsgButtons::YesNoCancel, qel::MsgIcon::Question, windowTitle())) {
        case qel::MsgResult::Yes:
            if (save())
                accept();
            return;
        case qel::MsgResult::No:
            break;
        default:
            return; // Cancel: the window stays open with the edits
        }
    }
    QDialog::reject();
}

void ItemWindow::cmdCategories_Click() {
    CategoriesDialog picker(mItem, this);
    picker.setSavesItem(false);
    picker.setCheckedText(txtCategories->text());
    if (qel::dialogs().exec(picker) == QDialog::Accepted)
        txtCategories->setText(picker.checkedText());
}

// --- Recurrence ---------------------------------------------------------------------------------

QString ItemWindow::recurrenceText(const ItemPtr& item) {
    if (!item || item->Class() != kAppointment || !item->hasRecurrencePattern())
        return QStringLiteral("Does not recur.");
    const RecurrencePatternPtr p = item->GetRecurrencePattern();
    const int interval = std::max(1, p->get(pattern::Interval).toInt());
    const int mask = p->get(pattern::DayOfWeekMask).toInt();
    const int instance = p->get(pattern::Instance).toInt();
    const int month = std::clamp(p->get(pattern::MonthOfYear).toInt(), 1, 12);
    const int dayOfMonth = p->get(pattern::DayOfMonth).toInt();
    const QLocale c = QLocale::c();
    const QString everyMonth =
        interval == 1 ? QStringLiteral("every month") : QStringLiteral("every %1 months").arg(interval);

    QString what;
    switch (p->get(pattern::RecurrenceType).toInt()) {
    case 0:
        what = interval == 1 ? QStringLiteral("every day") : QStringLiteral("every %1 days").arg(interval);
        break;
    case 1:
        what =
            (interval == 1 ? QStringLiteral("every week") : QStringLiteral("every %1 weeks").arg(interval)) +
            QStringLiteral(" on ") + dayNames(mask);
        break;
    case 2:
        what = QStringLiteral("day %1 of %2").arg(dayOfMonth).arg(everyMonth);
        break;
    case 3:
        what = QStringLiteral("the %1 %2 of %3").arg(ordinal(instance), dayNames(mask), everyMonth);
        break;
    case 5:
        what = QStringLiteral("every %1 %2").arg(c.monthName(month)).arg(dayOfMonth);
        break;
    case 6:
        what = QStringLiteral("the %1 %2 of %3").arg(ordinal(instance), dayNames(mask), c.monthName(month));
        break;
    default:
        what = QStringLiteral("on a pattern of its own");
        break;
    }

    QString text = QStringLiteral("Occurs ") + what;
    const QDateTime from = p->get(pattern::PatternStartDate).toDateTime();
    if (from.isValid())
        text += QStringLiteral(" effective ") + formatDate(QDateTime(from.date(), QTime(0, 0)));
    const int occurrences = p->get(pattern::Occurrences).toInt();
    const QDateTime until = p->get(pattern::PatternEndDate).toDateTime();
    if (!p->get(pattern::NoEndDate).toBool()) {
        if (occurrences > 0)
            text += QStringLiteral(" for %1 occurrences").arg(occurrences);
        else if (until.isValid())
            text += QStringLiteral(" until ") + formatDate(QDateTime(until.date(), QTime(0, 0)));
    }
    const QDateTime startTime = p->get(pattern::StartTime).toDateTime();
    if (startTime.isValid() && !item->get(prop::AllDayEvent).toBool()) {
        const QTime at = startTime.time();
        const QTime to = at.addSecs(qint64(std::max(0, p->get(pattern::Duration).toInt())) * 60);
        text +=
            QStringLiteral(" from %1 to %2")
                .arg(c.toString(at, QStringLiteral("h:mm AP")), c.toString(to, QStringLiteral("h:mm AP")));
    }
    return text + QLatin1Char('.');
}

} // namespace ol
